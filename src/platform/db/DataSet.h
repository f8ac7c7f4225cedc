#pragma once
// A dataset over one connection: rows read into compact typed columns when first needed, a
// current record, states, events, calculated and lookup fields, client-side filter and sort,
// key bookmarks, row selection, and writes to one base table by key.
//
// Reading: Open reads the first rows; the rest follow in idle time (never inside another
// long work), all from the snapshot of the first on the server. The file database's read
// lets go of the file between two reads (other workstations may write meanwhile): the rest
// is the statement's rows past the last key read, in the order of the key, so no row comes
// twice and none that stayed is missed. A list in another order (stored columns, then the
// key) shows its first rows until the rest is all here, then the engine tells the keys in
// the statement's order once and the rows take it. A read that finds the server gone is
// asked for anew the same way, once, through the connection's reconnect. Whatever needs
// every row (the count, Last, sort, filter, find, a key that has not arrived) reads the
// rest first, under a progress window. OpenDeferred reads nothing: the first row, count or value asked for reads them.
// To every reader the dataset looks as if it held every row from the start.

#include "platform/db/Connection.h"
#include "platform/db/Field.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariant>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace db {

enum class DataSetState { Inactive, Browse, Edit, Insert };

class ColumnStore;
class FilterExpr;
class RowCursor;

class DataSet : public QObject {
    Q_OBJECT
public:
    explicit DataSet(Connection* conn = nullptr, QObject* parent = nullptr);
    ~DataSet() override;

    using Handler = std::function<void(DataSet&)>;
    Handler BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeInsert, AfterInsert, BeforeEdit, AfterEdit,
        BeforePost, AfterPost, BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll, AfterScroll,
        OnCalcFields;

    void setConnection(Connection* c) { conn_ = c; }
    Connection* connection() const { return conn_; }
    const QString& SQL() const { return sql_; }
    void setSQL(const QString& sql) { sql_ = sql; }
    // The base table written by Post and Delete; by default the table of the key column.
    void setUpdateTable(const QString& t) { updateTableOverride_ = t; }
    QString updateTable() const { return updateTable_; }
    QString keyFieldName() const;

    // Field definitions kept across opens: labels, formats, handlers, calculated and lookup fields.
    FieldDef& fieldDef(const QString& name);
    Field* addCalcField(const QString& name, FieldType type, int size = 0, const QString& label = {});
    Field* addLookupField(const QString& name, const QString& keyField, DataSet* lookup, const QString& lookupKey,
                          const QString& lookupResult, int size = 0, const QString& label = {});

    // Opening and closing. Open checks the statement and reads the first rows; errors are
    // thrown and the dataset stays closed.
    void Open();
    // Opens without reading a row: the statement is checked and the fields made, and the rows
    // are read when first needed. An error of that later reading is shown (in the platform's
    // plain message box) and closes the dataset.
    void OpenDeferred();
    void Close();
    void Reopen();          // close and open, back on the same record when it is still there
    bool Active() const { return state_ != DataSetState::Inactive; }
    // Runs the SQL as a statement without rows; returns the number of rows changed.
    int ExecSQL();

    // Fields.
    int FieldCount() const { return int(fields_.size()); }
    Field* FieldAt(int i) const { return fields_[size_t(i)]; }
    Field* FindField(const QString& name) const;
    Field* FieldByName(const QString& name) const;   // throws when missing
    QStringList FieldNames() const;

    // Navigation.
    int RecordCount() const;
    bool IsEmpty() const;
    int RecNo() const;                 // 1-based; 0 when empty
    void SetRecNo(int recNo);
    void First();
    void Last();
    void Next();
    void Prior();
    void MoveBy(int n);
    bool Eof() const;
    bool Bof() const;

    // Reading. The rows read so far in the current order (nothing is read); what a grid shows.
    int FetchedCount() const { return int(view_.size()); }
    // Open and not a row read yet (OpenDeferred).
    bool Deferred() const { return Active() && !started_; }
    // Every row of the statement has been read (a list cut off by an error never is).
    bool AllRowsRead() const { return Active() && started_ && !reader_ && cutOff_.isNull(); }
    // Reads the next rows now (a grid scrolled to its end); false when none was left.
    bool FetchMore();
    // Reads every row still to come, under a progress window once it takes long. Cancellable:
    // the user may stop it (shell::Cancelled is thrown; the rows read stay and the rest still
    // comes later).
    void FetchAll(bool cancellable = false);
    // Whether a row follows the current one (reads at most the next rows).
    bool HasNext();
    // States.
    DataSetState State() const { return state_; }
    bool Modified() const { return modified_; }
    void Insert();
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Posts or cancels an edit in progress (posts when something changed).
    void CheckBrowseMode();

    // Sort by one or more fields: "Esm", "Esm DESC", "a, b DESC"; empty for the query's order.
    // Equal values keep the order of the key. A sort on stored columns of the statement is
    // done by the engine while rows are still to come (the first rows come sorted, the rest
    // follow in idle time): on a sorted open, and on a new sort before every row is read,
    // which reopens the statement and keeps the current record. Calculated fields refuse.
    void setSort(const QString& spec);
    const QString& Sort() const { return sort_; }
    // Client filter: f = n, f <> n, f like '%x%', combined with and/or and parentheses.
    void setFilter(const QString& expr);
    const QString& Filter() const { return filter_; }
    void setFiltered(bool on);
    bool Filtered() const { return filtered_; }
    // Moves to the first or next record that meets the filter text, filtered or not.
    bool FindFirst();
    bool FindNext();
    bool Locate(const QString& field, const QVariant& value, bool caseInsensitive = true, bool partial = false);

    // Key bookmarks survive a close and reopen.
    QVariant GetBookmark() const;
    bool GotoBookmark(const QVariant& key);

    // Selection of rows by key.
    void SelectCurrent(bool on);
    void SelectRow(int row, bool on);   // any row of the current order, without moving
    // Rows first..last of those read, at once: one selectionChanged, no rowChanged.
    void SelectRange(int first, int last, bool on);
    // Only this row stays selected (rows not read yet included): one selectionChanged.
    void SelectOnly(int row);
    bool IsSelected() const;
    bool IsRowSelected(int row) const;
    void ClearSelection();
    int SelectedCount() const { return int(selected_.size()); }
    QList<QVariant> SelectedBookmarks() const;

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disabled_ > 0; }

    // Reading any row without moving the current record (0-based row of the current order).
    QVariant ValueAt(int row, int field);
    QString DisplayTextAt(int row, int field);
    int CurrentRow() const { return cur_; }

    // Internal: used by Field.
    QVariant fieldValue(const Field* f) const;
    QByteArray fieldBytes(const Field* f) const;
    // typed: a text is checked whole (the validation sees it uncut; longer than the field is refused).
    void setFieldValue(Field* f, const QVariant& v, bool typed = false);

signals:
    void stateChanged();
    void layoutChanged();              // opened, closed, sorted, filtered, refreshed
    void currentChanged();             // another record became current
    void fieldChanged(int field);      // a value of the current record changed
    void rowChanged(int row);          // a stored row changed (post)
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowsArrived(int first, int count);   // rows read after the others, at the end; 0: the read ended
    void selectionChanged();           // rows selected or deselected at once

private:
    bool markSelected(int row, bool on);
    void setState(DataSetState s);
    void buildFields(Cursor& cur);
    void settleTypes();
    // ---- reading (DataSetRead.cpp) ----
    void openStatement(int firstRows, const QString& text = QString());
    void closeStatement();
    void finishOpen();
    bool viewNeedsAllRows() const;
    // The rows asked for: all of them (-1) or up to n in the view. Errors close the dataset
    // afterwards (a deferred read) or are thrown (throwErrors).
    void need(int rows, bool cancellable = false) const;
    void fetch(int rows, bool cancellable, bool throwErrors);
    void fetchUntil(const std::function<bool(int from)>& found, bool cancellable, bool throwErrors);
    int readRows(int max);
    void rowsRead(bool first, int before);
    void readFailed(const std::exception& e);
    void reportFailure();
    void idleRead();
    void scheduleIdleRead();
    // ---- the rest asked for anew, past the last key read (DataSetRead.cpp) ----
    void learnOrder();
    void noteKeys(int first, int count);
    void resumeRead(int firstRows);
    void pauseRead();
    void readBeforeWrite();
    bool retryRead(const std::exception_ptr& error);
    void restByKey();
    bool keyOrderedRest();
    void arrange();
    void findKey();
    void rebuildView();
    void applySort(std::vector<int>& rows);
    // The ORDER BY terms (key last) of the sort when the engine can sort it; else empty.
    QString engineOrder() const;
    // Reads the first rows through the engine's order and sets the rest coming behind them.
    void openSorted(const QString& order);
    void restRead();
    void reopenSorted(const QString& oldSort);
    bool matches(int phys, const FilterExpr& e);
    QVariant storedValue(int phys, const Field* f) const;
    QVariant lookupValue(const Field* f, const QVariant& key) const;
    void ensureCalc(int phys, int row) const;
    void calcBuffer();
    void scrollTo(int row);
    bool findFrom(int start);
    void refilter();
    void invalidateCalc();
    int physOfCurrent() const { return cur_ >= 0 && cur_ < int(view_.size()) ? view_[size_t(cur_)] : -1; }
    void beginInsert(bool append);
    void postInsert();
    void postEdit();
    int findKey(const QVariant& key, int from) const;
    QString keyText(const QVariant& key) const;
    void emitLayout();
    void fire(const Handler& h) { if (h) h(*this); }

    Connection* conn_ = nullptr;
    QString sql_;
    std::unique_ptr<RowCursor> reader_;   // rows still to come
    std::vector<ColumnStore*> readInto_;
    bool started_ = false;                // the first rows were asked for
    unsigned openCount_ = 0;              // every open and close counts, so a late error report knows its open
    QString failure_;                     // a reading error still to be shown
    mutable bool failureTold_ = false;    // ... already told by an error thrown to an action
    // The first rows came in the engine's order; the rest, read unsorted behind them, joins
    // the view sorted once every row is read. Rows of the rest already among the first are
    // dropped (changed in between).
    bool restPending_ = false;
    QSet<qint64> firstKeys_;
    QSet<qint64> postedKeys_;            // inserted here while rows were still to come: dropped from the rest
    QString cutOff_;                      // why the rows stopped short of the statement's end
    ErrorCategory cutOffKind_ = ErrorCategory::Other;
    unsigned failureOpen_ = 0;
    bool resumable_ = false;              // rows come in ascending order of the key, each key once
    bool lastKeyKnown_ = false;
    qint64 lastKey_ = 0;                  // the key of the last row read
    bool retried_ = false;                // a lost read was asked for anew and no row has come since
    QString restSql_;                     // read past the last key, in the key's order
    // The rest came in the key's order: the rows take the order of arrangeSql_ (the keys in the
    // statement's order) once all are here, and keep it in base_ (physical rows before baseEnd_).
    QString arrangeSql_;
    std::vector<int> base_;
    int baseEnd_ = 0;
    QTimer* idle_ = nullptr;
    QString updateTableOverride_;
    QString updateTable_;
    int keyField_ = -1;
    bool keyAuto_ = false;

    std::vector<std::unique_ptr<Field>> allFields_;  // every field ever made (pointers stay valid)
    std::vector<Field*> fields_;                     // active fields in column order
    QHash<QString, Field*> byName_;                  // lower-case name -> field

    std::vector<std::unique_ptr<ColumnStore>> stores_;      // data columns
    mutable std::vector<std::unique_ptr<ColumnStore>> calcStores_;
    mutable std::vector<bool> calcValid_;
    std::vector<bool> deleted_;
    int physCount_ = 0;

    std::vector<int> order_;      // physical rows in sort order, unfiltered
    std::vector<int> view_;       // rows visible: filtered order; -1 is the row being inserted
    int cur_ = -1;
    bool eof_ = true;
    bool bof_ = true;

    DataSetState state_ = DataSetState::Inactive;
    std::vector<QVariant> buf_;       // values of the record being edited or inserted (all fields)
    std::vector<QVariant> orig_;      // stored values when the edit began
    std::vector<bool> changed_;
    bool modified_ = false;

    // Calculation context: the row whose calculated fields are being computed.
    mutable bool calcMode_ = false;
    mutable int calcPhys_ = -1;       // -1: the edit buffer
    mutable int calcRow_ = -1;
    mutable std::vector<QVariant> calcBuf_;

    QString sort_;
    QString filter_;
    bool filtered_ = false;
    std::unique_ptr<FilterExpr> filterExpr_;

    QSet<QString> selected_;
    int disabled_ = 0;
};

} // namespace db
