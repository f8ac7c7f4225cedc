#pragma once
// What the list windows share: the find bar (column, text, partial match, find next, found
// rows only), the title-click sort, the empty-list message and the delete question, the
// grid layout file, the refresh that keeps the current row, and the grid printout.
//
// A list window keeps its own widgets (named as its layout names them) and hands them over:
//
//     frame_ = new TListFrame(this, TListFrame::PartsOf(ui.get()), "GMelk");
//
// and calls frame_->LoadLayout() when shown, SaveLayout() when closed, DeleteCurrent(...) from
// its delete button, Print(title) from its print button. Each time the window opens, after its
// own opening work, the frame widens it to hold the grid's visible columns.

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <functional>
#include <initializer_list>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace db {
class DataSet;
class Field;
}
namespace widgets { class DBGrid; }

class TListFrame : public QObject {
    Q_OBJECT
public:
    // Any part may be null when the window has no such control.
    struct Parts {
        widgets::DBGrid* grid = nullptr;
        QComboBox* CmbSearch = nullptr;       // column titles
        QLineEdit* edtsearch = nullptr;       // find text; every change runs the find
        QAbstractButton* btnsearch = nullptr; // "جستجو"
        QAbstractButton* BitBtn3 = nullptr;   // "~": find next
        QCheckBox* chkfilter = nullptr;       // only the found rows
        QCheckBox* chkjozi = nullptr;         // partial match
    };
    // The parts of a layout that names them as usual (dbgrid1, CmbSearch, edtsearch,
    // btnsearch, BitBtn3, chkfilter, chkjozi).
    template <class Form>
    static Parts PartsOf(const Form* ui)
    {
        Parts p;
        p.grid = ui->dbgrid1;
        p.CmbSearch = ui->CmbSearch;
        p.edtsearch = ui->edtsearch;
        p.btnsearch = ui->btnsearch;
        p.BitBtn3 = ui->BitBtn3;
        p.chkfilter = ui->chkfilter;
        p.chkjozi = ui->chkjozi;
        return p;
    }

    // layoutKey: the grid layout file in the program folder ("GMelk", "GTels", ...).
    TListFrame(QWidget* form, const Parts& parts, const QString& layoutKey);

    db::DataSet* dataSet() const;
    const Parts& parts() const { return parts_; }

    // Titles of date columns: a partly typed date finds the dates beginning with its
    // complete parts (1403/05/__ finds 1403/05/...).
    void setDateTitles(const QSet<QString>& titles) { dateTitles_ = titles; }
    // Titles of amount columns: their find text is read without thousands separators and
    // grouped as it is typed.
    void setAmountTitles(const QSet<QString>& titles) { amountTitles_ = titles; }
    // Fills CmbSearch with the grid's column titles from the given column on.
    void FillSearchTitles(int firstColumn);

    // The filter text the find bar gives for a column title and a find text; empty when
    // the title names no column.
    QString FilterFor(const QString& title, const QString& text, bool partial) const;
    // btnsearchClick: sets the filter and moves to the first match; an empty text clears
    // the filter. Errors (a filter the dataset cannot read) are swallowed.
    void Find();
    void FindNext();
    void SetFoundOnly(bool on);

    // The empty-list message "هيچ رديفي انتخاب نشده است"; true when there is a current row.
    bool RequireRow(const QString& text = QString()) const;
    // Asks the question and deletes the current row only (whatever else is selected).
    // deleter, when given, deletes instead of the dataset's Delete. True when deleted.
    bool DeleteCurrent(const QString& caption, const QString& question, int fontSize,
                       const std::function<void()>& deleter = {});
    // Reopens the dataset with its SQL and returns to the current row when it is still there;
    // a record being edited is offered for saving first (Cancel keeps it and stops);
    // the datasets given alongside (the sums) are reopened too.
    void Refresh(std::initializer_list<db::DataSet*> alongside = {});

    // Double click and Enter in the grid run change (the "تغيير" button's action).
    void SetChangeAction(std::function<void()> change);
    // Hands each row selected in the grid to add (rows are read in place with ValueAt; the
    // current row stays). An error stops the walk with "خطايي در روند برنامه پيش آمد" under
    // the caption "خطا"; what was added before it stays. False after an error.
    bool ForSelectedRows(const std::function<void(db::DataSet& ds, int row)>& add) const;

    void LoadLayout();
    void SaveLayout();
    // Widens the window so that the grid shows its visible columns whole, up to the screen's
    // width (a wider window is brought within the screen); a window already wide enough keeps
    // its size. The window keeps its centre.
    void FitWindowToColumns();
    // The window width the grid's visible columns need.
    int WidthForColumns() const;
    // The grid printout under the title with the program's list print settings.
    void Print(const QString& title, const QString& footer = QString(), const QString& sumField = QString(),
               const QString& sumLabel = QString());
    // The same without the all-rows question: every row, or the selected ones.
    void PrintRows(const QString& title, const QString& footer, bool allRows);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* form_;
    Parts parts_;
    QString layoutKey_;
    QSet<QString> dateTitles_;
    QSet<QString> amountTitles_;
    std::function<void()> change_;
    bool grouping_ = false;
};

// "هيچ رديفي انتخاب نشده است", information, empty caption, tahoma 8.
void ShowNoRowMessage(const QString& text = QString());
