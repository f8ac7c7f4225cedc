#pragma once
// The property record form: every control bound to the current row of Dm.QMelk.

#include <QWidget>
#include <memory>

namespace Ui { class TFRmMelk; }
class QComboBox;
class QLabel;
namespace widgets {
class DBComboBox;
class DBEdit;
}

class TFRmMelk : public QWidget {
    Q_OBJECT
public:
    explicit TFRmMelk(QWidget* parent = nullptr);
    ~TFRmMelk() override;

    // The fixed items of the three type lists.
    static const QStringList& DealTypes();

    // Labels and enabled states of the three condition rows by their stored types.
    void RelabelDealConditions();
    // One row (1..3); sets the second amount to 0 for a single-amount type while editing.
    void RelabelRow(int row);

    void BitBtn9Click();      // set price
    void btnDocsClick();      // documents of the current property
    void BitBtn10Click();     // owner's phones to the phone book
    void SaveTitlesAsDefault();
    // The delete button of one of the eight combos.
    void DeleteComboItemClick(widgets::DBComboBox* combo);
    // Leaving a combo: a new typed text joins its stored list.
    void ComboExit(widgets::DBComboBox* combo);
    void SpeedButton1Click();

    Ui::TFRmMelk* form() const { return ui.get(); }

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
    void updateDocsButton();
    void showRegionNote();
    bool isTypeList(QObject* o, int* row) const;

    std::unique_ptr<Ui::TFRmMelk> ui;
    Row rows_[3];
    QList<widgets::DBComboBox*> combos_;
};

extern TFRmMelk* FRmMelk;
