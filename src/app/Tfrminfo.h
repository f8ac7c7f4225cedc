#pragma once
// The about window: the program, its version and its maker.

#include <QDialog>
#include <memory>

namespace Ui { class Tfrminfo; }

class Tfrminfo : public QDialog {
    Q_OBJECT
public:
    explicit Tfrminfo(QWidget* parent = nullptr);
    ~Tfrminfo() override;
    Ui::Tfrminfo* form() const { return ui.get(); }

private:
    std::unique_ptr<Ui::Tfrminfo> ui;
};
