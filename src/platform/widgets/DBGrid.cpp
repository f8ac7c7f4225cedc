#include "platform/widgets/DBGrid.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/GridDelegate.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace widgets {

namespace {

class SyncGuard {
public:
    explicit SyncGuard(int& n) : n_(n) { ++n_; }
    ~SyncGuard() { --n_; }

private:
    int& n_;
};

} // namespace

DBGrid::DBGrid(QWidget* parent)
    : QTableView(parent), model_(new DataSetModel(this)), delegate_(new GridDelegate(this))
{
    model_->viewShown = [this] { return isVisible(); };
    setModel(model_);
    setItemDelegate(delegate_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        emit titleClicked(column);
        if (sortOnTitle_)
            sortBy(column);
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (filling_ || column < 0 || column >= cols_.size() || isColumnHidden(column) || size <= 0)
            return;
        // the width the last column takes to fill the grid is not its own
        if (column != lastVisibleColumn() || size > viewport()->width() - othersWidth(column))
            cols_[column].width = size;
        fillWidth();
    });
    // row moves inside the model shift the view's selection: not the dataset's
    auto hold = [this] { ++syncing_; };
    auto release = [this] { --syncing_; };
    connect(model_, &QAbstractItemModel::rowsAboutToBeInserted, this, hold);
    connect(model_, &QAbstractItemModel::rowsInserted, this, release);
    connect(model_, &QAbstractItemModel::rowsAboutToBeRemoved, this, hold);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, release);
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, hold);
    connect(model_, &QAbstractItemModel::modelReset, this, release);
    // any other change lays the cells out again
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved,
                              &QAbstractItemModel::columnsInserted, &QAbstractItemModel::columnsRemoved})
        connect(model_, signal, this, [this] { appendedBelow_ = false; });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { appendedBelow_ = false; });
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] { appendedBelow_ = false; });
    // a reset closes the open editor: what was typed comes back in a new one
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        GridCellEditor* e = cellEditor();
        const int fi = e ? model_->fieldIndex(e->index().column()) : -1;
        if (e && e->pending() && fi >= 0)
            typed_ = Typed{dataSet()->FieldAt(fi)->FieldName(), e->text(), e->cursorPosition()};
        if (e)
            e->discard();
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        const std::optional<Typed> typed = std::exchange(typed_, std::nullopt);
        db::DataSet* ds = dataSet();
        if (!typed || !ds || (ds->State() != db::DataSetState::Edit && ds->State() != db::DataSetState::Insert))
            return;
        const int column = model_->fieldNames().indexOf(typed->field, 0);
        if (column < 0 || ds->CurrentRow() < 0 || ds->CurrentRow() >= model_->rowCount())
            return;
        const QModelIndex cell = model_->index(ds->CurrentRow(), column);
        if (edit(cell, AllEditTriggers, nullptr))
            if (GridCellEditor* e = cellEditor())
                e->restore(typed->text, typed->cursor);
    });
    // rows kept selected across a reopen show so as they arrive
    connect(model_, &DataSetModel::rowsAppended, this, [this](int first, int count) {
        appendedBelow_ = rowViewportPosition(first) >= viewport()->height();
        db::DataSet* ds = dataSet();
        if (ds && ds->SelectedCount() > 0 && !syncing_) {
            SyncGuard guard(syncing_);
            selectionModel()->select(selectedRuns(first, first + count - 1), QItemSelectionModel::Select);
        }
        fitRowNumbers();
    });
    // the scroll bar's end is the true end of the list: the rest is read
    const auto toEnd = [this] {
        db::DataSet* ds = dataSet();
        if (ds && ds->Active() && !ds->AllRowsRead() && guarded([&] { ds->FetchAll(); }))
            scrollToBottom();
    };
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this, toEnd](int action) {
        if (action == QAbstractSlider::SliderToMaximum)
            QMetaObject::invokeMethod(this, toEnd, Qt::QueuedConnection);
    });
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this, [this, toEnd] {
        if (verticalScrollBar()->value() == verticalScrollBar()->maximum())
            toEnd();
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { viewCurrentChanged(current); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &DBGrid::viewSelectionChanged);
}

void DBGrid::setDataSet(db::DataSet* ds)
{
    if (db::DataSet* old = model_->dataSet())
        disconnect(old, nullptr, this, nullptr);
    model_->setDataSet(ds);
    if (ds) {
        connect(ds, &db::DataSet::layoutChanged, this, &DBGrid::datasetLayoutChanged);
        connect(ds, &db::DataSet::currentChanged, this, &DBGrid::syncCurrent);
        // the row after a deleted one is current: the highlight goes there
        connect(ds, &db::DataSet::rowRemoved, this, [this] {
            shownKey_ = QVariant();
            syncCurrent();
        });
        connect(ds, &db::DataSet::rowChanged, this, &DBGrid::syncRowSelection);
        connect(ds, &db::DataSet::selectionChanged, this, [this] {
            if (!syncing_)
                syncSelection();
        });
        connect(ds, &db::DataSet::stateChanged, this, &DBGrid::datasetStateChanged);
    }
    datasetLayoutChanged();
    syncCurrent();
}

db::DataSet* DBGrid::dataSet() const { return model_->dataSet(); }

int DBGrid::columnFieldIndex(int column) const { return model_->fieldIndex(column); }

void DBGrid::setCellStyler(std::function<void(int, const QString&, CellStyle&)> styler)
{
    model_->cellStyle = std::move(styler);
    viewport()->update();
}

QVector<GridColumn> DBGrid::columns() const { return cols_; }

void DBGrid::setColumns(const QVector<GridColumn>& columns)
{
    custom_ = true;
    cols_ = columns;
    applyColumns();
}

void DBGrid::resetColumns()
{
    custom_ = false;
    defaultColumns();
    applyColumns();
}

void DBGrid::defaultColumns()
{
    cols_.clear();
    db::DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    const QFontMetrics fm(font());
    for (int i = 0; i < ds->FieldCount(); ++i) {
        const db::Field* f = ds->FieldAt(i);
        if (!f->Visible())
            continue;
        GridColumn c;
        c.fieldName = f->FieldName();
        c.title = f->DisplayLabel();
        const int chars = f->IsText() ? std::clamp(f->Size() > 0 ? f->Size() : 20, 4, 30) : 12;
        c.width = std::max(fm.horizontalAdvance(c.title) + 16, fm.averageCharWidth() * chars + 12);
        cols_.append(c);
    }
}

void DBGrid::applyColumns()
{
    SyncGuard guard(syncing_);
    QStringList names, titles;
    for (const GridColumn& c : cols_) {
        names << c.fieldName;
        titles << c.title;
    }
    model_->setColumns(names, titles);
    {
        QScopedValueRollback<bool> applying(filling_, true);
        for (int i = 0; i < cols_.size(); ++i) {
            setColumnHidden(i, !cols_[i].visible);
            if (cols_[i].visible)
                setColumnWidth(i, cols_[i].width);
        }
    }
    fillWidth();
    amountRowsSeen_ = 0;   // the columns are back to their set widths
    fitRowNumbers();
    syncSelection();
    syncCurrent();
}

void DBGrid::datasetLayoutChanged()
{
    if (!custom_) {
        const QVector<GridColumn> before = cols_;
        defaultColumns();
        if (!(before == cols_) || model_->columnCount() != cols_.size()) {
            applyColumns();
            return;
        }
    }
    // the model has been reset: hidden columns and widths stay with the header
    fitRowNumbers();
    syncSelection();
}

void DBGrid::syncCurrent()
{
    db::DataSet* ds = dataSet();
    if (!ds || !ds->Active() || ds->ControlsDisabled())
        return;
    const int row = ds->CurrentRow();
    // the editor belongs to the record it was opened on
    if (GridCellEditor* e = cellEditor(); e && e->index().row() != row)
        dropEditor();
    if (row < 0 || row >= model_->rowCount())
        return;
    // another record (not the same one after a reopen or a sort)
    const QVariant key = ds->GetBookmark();
    const bool moved = key != shownKey_;
    shownKey_ = key;
    const QModelIndex cur = currentIndex();
    // the user's own move: the view has set its highlight already
    if (cur.isValid() && cur.row() == row && (!moved || viewMove_ || extending_ || ds->IsRowSelected(row)))
        return;
    SyncGuard guard(syncing_);
    int column = cur.isValid() ? cur.column() : 0;
    while (column < model_->columnCount() - 1 && isColumnHidden(column))
        ++column;
    const QModelIndex target = model_->index(row, column);
    // the highlight follows a row the program makes current, unless that row is part of it
    if (extending_ || !moved || ds->IsRowSelected(row)) {
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    } else {
        ds->SelectOnly(row);
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    scrollTo(target);
}

QItemSelection DBGrid::selectedRuns(int first, int last) const
{
    QItemSelection sel;
    db::DataSet* ds = dataSet();
    const int lastColumn = model_->columnCount() - 1;
    last = std::min(last, model_->rowCount() - 1);
    if (!ds || ds->SelectedCount() == 0 || lastColumn < 0)
        return sel;
    // one range for each run of selected rows
    int start = -1;
    for (int row = std::max(first, 0); row <= last + 1; ++row) {
        const bool on = row <= last && ds->IsRowSelected(row);
        if (on && start < 0)
            start = row;
        else if (!on && start >= 0) {
            sel.append(QItemSelectionRange(model_->index(start, 0), model_->index(row - 1, lastColumn)));
            start = -1;
        }
    }
    return sel;
}

void DBGrid::syncSelection()
{
    db::DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    SyncGuard guard(syncing_);
    selectionModel()->select(selectedRuns(0, model_->rowCount() - 1), QItemSelectionModel::ClearAndSelect);
}

void DBGrid::syncRowSelection(int row)
{
    db::DataSet* ds = dataSet();
    if (syncing_ || !ds || row < 0 || row >= model_->rowCount() || model_->columnCount() == 0)
        return;
    // a new record has its key once posted: the highlight it took stays with it
    if (row == ds->CurrentRow() && ds->GetBookmark() != shownKey_) {
        syncCurrent();
        return;
    }
    const bool want = ds->IsRowSelected(row);
    if (selectionModel()->isRowSelected(row, {}) == want)
        return;
    SyncGuard guard(syncing_);
    selectionModel()->select(model_->index(row, 0),
                             (want ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) | QItemSelectionModel::Rows);
}

void DBGrid::viewCurrentChanged(const QModelIndex& current)
{
    db::DataSet* ds = dataSet();
    if (syncing_ || !ds || !ds->Active() || !current.isValid() || current.row() == ds->CurrentRow())
        return;
    const int row = current.row();
    // typed values of bound controls reach the record before it is left
    if (FieldLink::updateRecord(ds)) {
        QScopedValueRollback<bool> own(viewMove_, true);
        guarded([&] { ds->SetRecNo(row + 1); });
    }
    if (ds->CurrentRow() != row)
        QMetaObject::invokeMethod(this, &DBGrid::syncCurrent, Qt::QueuedConnection);
}

void DBGrid::viewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    db::DataSet* ds = dataSet();
    if (syncing_ || !ds || !ds->Active())
        return;
    SyncGuard guard(syncing_);
    // ranges at a time: a million rows selected is one range, not a million signals
    for (const QItemSelectionRange& r : deselected) {
        int start = -1;
        for (int row = r.top(); row <= r.bottom() + 1; ++row) {
            const bool off = row <= r.bottom() && !selectionModel()->isRowSelected(row, {});
            if (off && start < 0)
                start = row;
            else if (!off && start >= 0) {
                ds->SelectRange(start, row - 1, false);
                start = -1;
            }
        }
    }
    for (const QItemSelectionRange& r : selected)
        ds->SelectRange(r.top(), r.bottom(), true);
}

void DBGrid::selectAll()
{
    if (db::DataSet* ds = dataSet())
        guarded([&] { ds->FetchAll(); });
    QTableView::selectAll();
}

void DBGrid::sortBy(int column)
{
    db::DataSet* ds = dataSet();
    const int fi = model_->fieldIndex(column);
    if (!ds || !ds->Active() || fi < 0)
        return;
    // a calculated column has no stored order: its title is left as it is
    const db::Field* f = ds->FieldAt(fi);
    if (f->Kind() == db::FieldKind::Calculated)
        return;
    guarded([&] { ds->setSort(f->FieldName()); });
}

// ---- in-place editing ----

void DBGrid::setEditable(bool on)
{
    if (!on)
        dropEditor();
    model_->setEditable(on);
    setEditTriggers(on ? DoubleClicked | EditKeyPressed | AnyKeyPressed : NoEditTriggers);
}

bool DBGrid::isEditable() const { return model_->editable(); }

GridCellEditor* DBGrid::cellEditor() const { return state() == EditingState ? delegate_->openEditor() : nullptr; }

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool asked = trigger != NoEditTriggers && (trigger == AllEditTriggers || (editTriggers() & trigger));
    // one cell at a time: a refused text keeps its editor open
    if (GridCellEditor* open = cellEditor(); open && asked && open->index() != index)
        return false;
    const bool opening = asked && (model_->flags(index) & Qt::ItemIsEditable) && !cellEditor();
    if (opening) {
        db::DataSet* ds = dataSet();
        // the cell's record becomes the current one first (the one left is posted)
        if (index.row() != ds->CurrentRow() && FieldLink::updateRecord(ds)) {
            QScopedValueRollback<bool> own(viewMove_, true);
            guarded([&] { ds->SetRecNo(index.row() + 1); });
        }
        if (index.row() != ds->CurrentRow())
            return false;
        // a typed key changes the record: it must be allowed before anything shows
        if (trigger == AnyKeyPressed && !guarded([&] { ds->Edit(); }))
            return false;
    }
    if (!QTableView::edit(index, trigger, event))
        return false;
    if (opening)
        if (GridCellEditor* e = delegate_->openEditor())
            connect(e, &GridCellEditor::editRefused, this, &DBGrid::dropEditor, Qt::QueuedConnection);
    return true;
}

void DBGrid::commitData(QWidget* editor)
{
    if (auto* e = qobject_cast<GridCellEditor*>(editor))
        e->commit();
    else
        QTableView::commitData(editor);
}

void DBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    auto* e = qobject_cast<GridCellEditor*>(editor);
    if (e && hint != QAbstractItemDelegate::RevertModelCache && e->pending()) {
        // refused: the typed text stays for correction
        e->setFocus();
        return;
    }
    if (e)
        e->discard();
    QTableView::closeEditor(editor, hint);
}

void DBGrid::dropEditor()
{
    if (GridCellEditor* e = cellEditor()) {
        e->discard();
        QTableView::closeEditor(e, QAbstractItemDelegate::NoHint);
    }
}

void DBGrid::datasetStateChanged()
{
    db::DataSet* ds = dataSet();
    // posted or cancelled elsewhere (the navigator, the window): the cell's edit is over
    if (!ds || (ds->State() != db::DataSetState::Edit && ds->State() != db::DataSetState::Insert))
        dropEditor();
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    db::DataSet* ds = dataSet();
    // a second Escape cancels the record's edit
    if (event->key() == Qt::Key_Escape && isEditable() && !cellEditor() && ds
        && (ds->State() == db::DataSetState::Edit || ds->State() == db::DataSetState::Insert)) {
        guarded([&] { ds->Cancel(); });
        event->accept();
        return;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    // Ctrl+End: the true last row, not the last read so far; Ctrl+Home the first; the column stays
    if ((event->key() == Qt::Key_End || event->key() == Qt::Key_Home) && ctrl && ds && ds->Active()) {
        const bool last = event->key() == Qt::Key_End;
        const int from = ds->CurrentRow();
        const bool extend = (event->modifiers() & Qt::ShiftModifier) && selectionMode() == ExtendedSelection;
        if (FieldLink::updateRecord(ds)) {
            QScopedValueRollback<bool> keep(extending_, extend);
            guarded([&] { last ? ds->Last() : ds->First(); });
            syncCurrent();
            const int to = ds->CurrentRow();
            if (extend && from >= 0 && to >= 0)
                selectionModel()->select(QItemSelection(model_->index(qMin(from, to), 0), model_->index(qMax(from, to), 0)),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        event->accept();
        return;
    }
    // Ctrl with another move key moves as the key alone: the highlight goes with the current row
    if (ctrl && !(event->modifiers() & Qt::ShiftModifier)
        && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || event->key() == Qt::Key_PageUp
            || event->key() == Qt::Key_PageDown)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ControlModifier, event->text(),
                        event->isAutoRepeat(), ushort(event->count()));
        QTableView::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::keyboardSearch(const QString&)
{
    // a letter never jumps to another row: in an editable grid it is typing, refused or not,
    // and in a list the jump would compare every row read, calculated columns included
}

// ---- cell texts ----

QStyleOptionViewItem DBGrid::cellOption(const QModelIndex& index) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    return option;
}

QString DBGrid::shownText(const QModelIndex& index) const
{
    return index.isValid() ? delegate_->shownText(cellOption(index), index) : QString();
}

QString DBGrid::cellToolTip(const QModelIndex& index) const
{
    bool cut = false;
    if (index.isValid())
        delegate_->shownText(cellOption(index), index, &cut);
    return cut ? index.data(Qt::DisplayRole).toString() : QString();
}

// ---- the columns fill the grid ----

int DBGrid::lastVisibleColumn() const
{
    const QHeaderView* h = horizontalHeader();
    for (int v = h->count() - 1; v >= 0; --v) {
        const int logical = h->logicalIndex(v);
        if (!h->isSectionHidden(logical))
            return logical;
    }
    return -1;
}

int DBGrid::othersWidth(int column) const
{
    int width = 0;
    for (int i = 0; i < model_->columnCount(); ++i)
        if (i != column && !isColumnHidden(i))
            width += columnWidth(i);
    return width;
}

void DBGrid::fillWidth()
{
    const int last = lastVisibleColumn();
    if (filling_ || last < 0 || last >= cols_.size())
        return;
    const int want = std::max(cols_[last].width, viewport()->width() - othersWidth(last));
    if (columnWidth(last) == want)
        return;
    QScopedValueRollback<bool> filling(filling_, true);
    setColumnWidth(last, want);
}

// Row numbers (the calculated whole numbers) show whole: their column widens to the number of
// the last row read and keeps that width. Calculated texts with amounts (a deal condition:
// kind, amount, rent) widen their column so that every amount of the first rows shows whole
// with its kind.
void DBGrid::fitRowNumbers()
{
    db::DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    const int rows = model_->rowCount();
    // amounts: only the rows not looked at yet (all of them again after a reopen)
    if (rows < amountRowsSeen_)
        amountRowsSeen_ = 0;
    const int amountRows = std::min(rows, 200);
    for (int i = 0; i < cols_.size(); ++i) {
        if (isColumnHidden(i))
            continue;
        const db::Field* f = ds->FindField(cols_[i].fieldName);
        if (!f || f->Kind() != db::FieldKind::Calculated)
            continue;
        const bool numbers = f->DataType() == db::FieldType::Integer;
        if (!numbers && f->DataType() != db::FieldType::String)
            continue;
        // the last row read has the widest number; amounts are looked at in the first rows
        const int first = numbers ? rows - 1 : amountRowsSeen_;
        const int last = numbers ? rows : amountRowsSeen_ < amountRows ? amountRows : first;
        int need = 0;
        for (int row = first; row < last; ++row) {
            const QModelIndex cell = model_->index(row, i);
            if (!cell.isValid())
                break;
            QStyleOptionViewItem option;
            initViewItemOption(&option);
            option.rect = QRect(0, 0, 1, rowHeight(cell.row()));
            // a cell is a grid line narrower than its column
            const int width = numbers ? delegate_->widthToShow(option, cell) : delegate_->widthToShowAmounts(option, cell);
            if (width > 0)
                need = std::max(need, width + (showGrid() ? 1 : 0));
        }
        if (cols_[i].width < need) {
            cols_[i].width = need;
            setColumnWidth(i, need);
        }
    }
    amountRowsSeen_ = std::max(amountRowsSeen_, amountRows);
}

void DBGrid::doItemsLayout()
{
    if (!std::exchange(appendedBelow_, false)) {
        QTableView::doItemsLayout();
        return;
    }
    // the scroll bar and the column widths as they now are, painting what they change; then
    // the same again without painting every cell
    updateGeometries();
    QWidget* cells = viewport();
    const bool off = cells->testAttribute(Qt::WA_UpdatesDisabled);
    cells->setAttribute(Qt::WA_UpdatesDisabled, true);
    QTableView::doItemsLayout();
    cells->setAttribute(Qt::WA_UpdatesDisabled, off);
}

void DBGrid::updateGeometries()
{
    QTableView::updateGeometries();
    fillWidth();
}

} // namespace widgets
