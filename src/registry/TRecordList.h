#pragma once
// What the property and demand lists share: the grid with its deal-kind marks and column
// chooser, the cards, the criteria panel's common part, the match panel, the find bar, and
// the change, refresh and print buttons.
//
// A list sets up its layout, then hands the shared controls and its own data to setupList().

#include "forms/FormShared.h"
#include "forms/TListFrame.h"

#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
namespace db { class DataSet; }
namespace widgets {
class DBCtrlGrid;
class DBGrid;
class DBLookupComboBox;
class MaskEdit;
}

class TRecordList : public QWidget {
    Q_OBJECT
public:
    ~TRecordList() override;

    // 0: list mode; 1: the rows come from a match run and are kept on showing.
    int MatchMode = 0;

    // Runs the criteria search (the search button).
    virtual void btnokClick() = 0;
    void btnchangeClick();
    virtual void btndelClick() = 0;
    void btnprintClick();
    virtual void BitBtn1Click() = 0; // detailed listing
    void btnrefreshClick();

    TListFrame* frame() const { return frame_; }

    // A grid column and a card's caption with its field, as a list declares them.
    struct Column {
        const char* field;
        const char* title;
        int width;
        bool visible;
    };
    struct Card {
        const char* caption;
        const char* field;
    };

protected:
    struct MatchRow {
        QCheckBox* box;
        QLabel* label;
        QLineEdit* edit;
        bool decimals;
    };
    // The controls both layouts name alike.
    struct Parts {
        TListFrame::Parts find;
        QWidget* Panel1 = nullptr; // criteria
        QWidget* Panel4 = nullptr; // match settings
        widgets::DBCtrlGrid* DBCtrlGrid1 = nullptr;
        QLabel* Image1 = nullptr;
        QLabel* Image2 = nullptr;
        QCheckBox* chktarikh = nullptr;
        widgets::MaskEdit* edtt1 = nullptr;
        widgets::MaskEdit* edtt2 = nullptr;
        QLabel* Label2 = nullptr;
        QCheckBox* chkf = nullptr;
        QLineEdit* edtf = nullptr;
        QLineEdit* edtr = nullptr;
        QLabel* Label17 = nullptr;
        QCheckBox* chkmn = nullptr;
        widgets::DBLookupComboBox* DBLookupComboBox1 = nullptr;
        QCheckBox* chkre = nullptr;
        QList<QCheckBox*> dealBoxes; // chksell, ChkRahn, ChkEjareh
        std::vector<MatchRow> matchRows;
        QList<QLineEdit*> matchAmounts; // regrouped while typed
        QAbstractButton* btnok = nullptr;
        QAbstractButton* BitBtn2 = nullptr;      // shows the criteria
        QAbstractButton* SpeedButton2 = nullptr; // hides them
        QAbstractButton* BitBtn4 = nullptr;      // shows the match settings
        QAbstractButton* SpeedButton1 = nullptr; // hides them
        QAbstractButton* btnchange = nullptr;
        QAbstractButton* btndel = nullptr;
        QAbstractButton* btnrefresh = nullptr;
        QAbstractButton* btnprint = nullptr;
        QAbstractButton* BitBtn1 = nullptr;
        QRadioButton* RadioButton1 = nullptr; // grid or cards

        template <class Form>
        static Parts Of(const Form* ui)
        {
            Parts p;
            p.find = TListFrame::PartsOf(ui);
            p.Panel1 = ui->Panel1;
            p.Panel4 = ui->Panel4;
            p.DBCtrlGrid1 = ui->DBCtrlGrid1;
            p.Image1 = ui->Image1;
            p.Image2 = ui->Image2;
            p.chktarikh = ui->chktarikh;
            p.edtt1 = ui->edtt1;
            p.edtt2 = ui->edtt2;
            p.Label2 = ui->Label2;
            p.chkf = ui->chkf;
            p.edtf = ui->edtf;
            p.edtr = ui->edtr;
            p.Label17 = ui->Label17;
            p.chkmn = ui->chkmn;
            p.DBLookupComboBox1 = ui->DBLookupComboBox1;
            p.chkre = ui->chkre;
            p.dealBoxes = {ui->chksell, ui->ChkRahn, ui->ChkEjareh};
            p.matchRows = {{ui->chkRoom, ui->lblRoomFlexability, ui->edtRoomFlexability, false},
                           {ui->chkLivingArea, ui->lblLivingArea, ui->edtLivingArea, true},
                           {ui->chkArea, ui->lblArea, ui->EdtArea, true},
                           {ui->chkFloor, ui->lblFloor, ui->edtFloor, false},
                           {ui->chkSellMatch, ui->lblSellMatch, ui->edtSellMatch, true},
                           {ui->chkTel, ui->lblTel, ui->edtTel, false},
                           {ui->ChkMortgage, ui->lblMortgage, ui->edtMortgage, true},
                           {ui->chkRent, ui->lblRent, ui->edtRent, true}};
            p.matchAmounts = {ui->edtSellMatch, ui->edtMortgage, ui->edtRent};
            p.btnok = ui->btnok;
            p.BitBtn2 = ui->BitBtn2;
            p.SpeedButton2 = ui->SpeedButton2;
            p.BitBtn4 = ui->BitBtn4;
            p.SpeedButton1 = ui->SpeedButton1;
            p.btnchange = ui->btnchange;
            p.btndel = ui->btndel;
            p.btnrefresh = ui->btnrefresh;
            p.btnprint = ui->btnprint;
            p.BitBtn1 = ui->BitBtn1;
            p.RadioButton1 = ui->RadioButton1;
            return p;
        }
    };
    // Where the twins differ.
    struct Design {
        std::function<db::DataSet*()> dataSet;
        std::function<QWidget*()> recordForm; // opened by the change button
        QString layoutKey;                    // grid layout file
        std::vector<Column> columns;
        std::vector<const char*> searchTitles;
        QStringList dealFields;   // drawn as marks
        QStringList personFields; // shaded
        QStringList leftFields;   // left-aligned
        QString dateField;        // shaded blue when given
        std::vector<Card> cards;  // in threes, then one a line
        int cardsInThrees = 0;
        std::vector<Card> cardBoxes; // the deal kinds
        QString panel1Section;       // defSearch.ini section of the criteria
        QString panel4Section;       // matchState.ini section of the match settings
        QList<QComboBox*> storedLists; // filled when shown
        QString printTitle;
        QString key;   // the table's key: the order of statements that give none
    };

    explicit TRecordList(QWidget* parent = nullptr);
    void setupList(const Parts& parts, const Design& design);
    db::DataSet* dataSet() const;
    QMenu* gridMenu() const { return gridMenu_; }
    // Enter and the other keys of a money edit; digits as MoneyEditKeyDown takes them.
    void watchMoney(QLineEdit* edit, int digits, bool decimals);
    // What is being typed on the record form is saved or dropped first, never lost.
    bool askSaveRecord();
    // Reopens the list's dataset on a statement.
    void reopen(const QString& sql);

    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void setupGrid();
    void setupCards();
    void setupCriteria();
    void setupMatchPanel();

    Parts parts_;
    Design design_;
    TListFrame* frame_ = nullptr;
    QMenu* gridMenu_ = nullptr;
    PanelDesign panel1Design_;
    PanelDesign panel4Design_;
    QPixmap yes_, no_;
    bool dealBoxesFromRe_ = false;
};
