#pragma once
// What the property and demand record forms share: the navigators, the three deal-condition
// rows, the region note, the stored combo lists, Enter as Tab, money keys, the save question
// on close and the owner's or customer's phones to the phone book.
//
// A form sets up its layout, then hands the shared controls and its own data to
// setupRecordForm(); bindRecordForm() binds them once the data module exists.

#include "registry/DealConditionRows.h"

#include <QHash>
#include <QList>
#include <QWidget>
#include <functional>
#include <utility>

class QAbstractButton;
namespace db { class DataSet; }
namespace widgets {
class DBComboBox;
class DBEdit;
class DBLookupComboBox;
class DBNavigator;
}

class TRecordForm : public QWidget {
    Q_OBJECT
public:
    ~TRecordForm() override;

    // Labels and enabled states of the three condition rows by their stored types.
    void RelabelDealConditions();
    // One row (1..3); sets the second amount to 0 for a single-amount type while editing.
    void RelabelRow(int row);
    // The delete button of a stored combo list.
    void DeleteComboItemClick(widgets::DBComboBox* combo);
    // Leaving a combo: a new typed text joins its stored list.
    void ComboExit(widgets::DBComboBox* combo);
    void SpeedButton1Click(); // help
    void BitBtn10Click();     // phones to the phone book

protected:
    // The controls both layouts name alike.
    struct Parts {
        widgets::DBNavigator* DBNavigator1 = nullptr; // new, save, cancel, refresh
        widgets::DBNavigator* DBNavigator2 = nullptr; // prior, next
        widgets::DBEdit* DBEdit5 = nullptr;           // key, read-only
        widgets::DBEdit* DBEdit6 = nullptr;           // entry date, read-only
        widgets::DBEdit* DBEdit7 = nullptr;           // region note
        widgets::DBEdit* DBEdit13 = nullptr;          // amount
        widgets::DBLookupComboBox* DBLookupComboBox1 = nullptr; // region
        QAbstractButton* SpeedButton1 = nullptr;
        QAbstractButton* BitBtn10 = nullptr;
        DealConditionRows::Rows rows;

        template <class Form>
        static Parts Of(const Form* ui, const std::array<QString, 3>& typeFields)
        {
            Parts p;
            p.DBNavigator1 = ui->DBNavigator1;
            p.DBNavigator2 = ui->DBNavigator2;
            p.DBEdit5 = ui->DBEdit5;
            p.DBEdit6 = ui->DBEdit6;
            p.DBEdit7 = ui->DBEdit7;
            p.DBEdit13 = ui->DBEdit13;
            p.DBLookupComboBox1 = ui->DBLookupComboBox1;
            p.SpeedButton1 = ui->SpeedButton1;
            p.BitBtn10 = ui->BitBtn10;
            p.rows = DealConditionRows::RowsOf(ui, typeFields);
            return p;
        }
    };
    // Where the twins differ.
    struct Design {
        std::function<db::DataSet*()> dataSet;     // the record's dataset
        std::function<db::DataSet*()> regions;     // the region lookup's list
        QString regionField;                       // key of the region in the record
        QStringList dealTypes;                     // items of the type lists
        QString firstPrice;                        // first amount's label for the first type
        bool enterOnTypeMovesToAmount = false;     // Enter in a type list goes to its amount
        QList<QWidget*> enterMovesOn;              // controls where Enter acts as Tab
        QHash<QWidget*, QWidget*> enterJumps;      // Enter here focuses there
        QList<widgets::DBComboBox*> storedLists;   // combos with stored item lists
        QList<std::pair<QAbstractButton*, widgets::DBComboBox*>> deleteButtons;
        QString help;                              // the help button's text
        QWidget* firstFocus = nullptr;             // where a new record starts
        const char* nameField;                     // phones to the phone book
        const char* homeField;
        const char* jobField;
        const char* mobileField;
    };

    explicit TRecordForm(QWidget* parent = nullptr);
    void setupRecordForm(const Parts& parts, const Design& design);
    // Binds the shared controls to the record's dataset (once, when the data module exists).
    void bindRecordForm();
    db::DataSet* dataSet() const;
    void showRegionNote();
    // Before the shared work of showing the form.
    virtual void prepareShow() {}

    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    Parts parts_;
    Design design_;
    DealConditionRows rows_;
};
