#pragma once
// The entry window of one phone-book row; it closes when the row is posted or cancelled.

#include <QDialog>
#include <memory>

namespace Ui { class TFrmTelsNEw; }

class TFrmTelsNEw : public QDialog {
    Q_OBJECT
public:
    explicit TFrmTelsNEw(QWidget* owner);
    ~TFrmTelsNEw() override;

    Ui::TFrmTelsNEw* form() const { return ui.get(); }

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc and the close box: the save question while the row is being edited.
    void reject() override;

private:
    std::unique_ptr<Ui::TFrmTelsNEw> ui;
};
