#pragma once
// The demand record form: every control bound to the current row of Dm.QNiyaz.

#include <QWidget>
#include <memory>

namespace Ui { class TFrmNiyaz; }
class QComboBox;
class QLabel;
namespace widgets { class DBEdit; }

class TFrmNiyaz : public QWidget {
    Q_OBJECT
public:
    explicit TFrmNiyaz(QWidget* parent = nullptr);
    ~TFrmNiyaz() override;

    // The fixed items of the three type lists.
    static const QStringList& DealTypes();

    void RelabelDealConditions();
    // One row (1..3); sets the second amount to 0 for a single-amount type while editing.
    void RelabelRow(int row);
    void BitBtn2Click();      // removes the chosen type of property from the stored list
    void BitBtn10Click();     // customer's phones to the phone book
    void SpeedButton1Click();

    Ui::TFrmNiyaz* form() const { return ui.get(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QComboBox* type;
        QLabel* lblf;
        widgets::DBEdit* edtf;
        QLabel* lblf2;
        widgets::DBEdit* edtf2;
        QLabel* lblsh;
        widgets::DBEdit* edtsh;
        QString typeField, secondField;
    };
    void bind();
    void showRegionNote();
    void comboExit();

    std::unique_ptr<Ui::TFrmNiyaz> ui;
    Row rows_[3];
};

extern TFrmNiyaz* FrmNiyaz;
