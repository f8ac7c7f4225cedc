#pragma once
// The column chooser: a check list of the grid's column titles, checked when visible.

#include <QDialog>
#include <memory>

namespace Ui { class Tfrmgridcols; }
namespace widgets { class DBGrid; }

class Tfrmgridcols : public QDialog {
    Q_OBJECT
public:
    explicit Tfrmgridcols(widgets::DBGrid* grid, QWidget* parent = nullptr);
    ~Tfrmgridcols() override;

    // Shows and hides the grid's columns by the checks; a column shown again gets width 100.
    void apply();

private:
    std::unique_ptr<Ui::Tfrmgridcols> ui_;
    widgets::DBGrid* grid_;
};
