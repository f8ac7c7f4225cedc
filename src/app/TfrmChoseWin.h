#pragma once
// The picture-help chooser: one picture per Windows version, each opening its help window.

#include <QWidget>
#include <memory>

class QLabel;
namespace Ui { class TfrmChoseWin; }

class TfrmChoseWin : public QWidget {
    Q_OBJECT
public:
    explicit TfrmChoseWin(QWidget* parent = nullptr);
    ~TfrmChoseWin() override;

    // The window a picture opens: Image2 TForm5, Image4 TForm4, Image5 TForm3, Image3 TForm2000.
    QWidget* WindowOf(QLabel* image) const;
    Ui::TfrmChoseWin* form() const { return ui.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TfrmChoseWin> ui;
};

// Shows a long-lived window in normal state and brings it forward.
void ShowNormal(QWidget* window);

extern TfrmChoseWin* frmChoseWin;
