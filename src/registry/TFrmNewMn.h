#pragma once
// Entering or changing one region: the current row of Dm.QMantagheh.

#include <QDialog>
#include <memory>

namespace Ui { class TFrmNewMn; }

class TFrmNewMn : public QDialog {
    Q_OBJECT
public:
    explicit TFrmNewMn(QWidget* parent = nullptr);
    ~TFrmNewMn() override;

    // Saves the region and reopens the region lookups; the form closes after a save.
    void BitBtn1Click();

    Ui::TFrmNewMn* form() const { return ui.get(); }

protected:
    void done(int result) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TFrmNewMn> ui;
};
