#include "platform/widgets/DBGrid.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/BidiText.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/FieldLink.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace widgets {

namespace {

// Paints a cell's picture over the whole cell when its style asks for it.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(p, option, index);
        const QVariant pic = index.data(DataSetModel::FillPictureRole);
        if (pic.isValid())
            p->drawPixmap(option.rect.adjusted(1, 1, -1, -1), pic.value<QPixmap>());
    }

protected:
    // Each value keeps the direction of its own first letter: a path or a date with slashes
    // keeps its order in a right-to-left grid.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!option->text.isEmpty())
            option->text = Isolated(option->text);
    }
};

class SyncGuard {
public:
    explicit SyncGuard(int& n) : n_(n) { ++n_; }
    ~SyncGuard() { --n_; }

private:
    int& n_;
};

} // namespace

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), model_(new DataSetModel(this))
{
    model_->viewShown = [this] { return isVisible(); };
    setModel(model_);
    setItemDelegate(new CellDelegate(this));
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
        if (column >= 0 && column < cols_.size() && !isColumnHidden(column) && size > 0)
            cols_[column].width = size;
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
        connect(ds, &db::DataSet::rowChanged, this, &DBGrid::syncRowSelection);
        // rows kept selected across a reopen show so as they arrive
        connect(ds, &db::DataSet::rowsArrived, this, [this, ds](int first, int count) {
            if (ds->SelectedCount() > 0)
                for (int row = first; row < first + count; ++row)
                    syncRowSelection(row);
        });
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
    const QVector<GridColumn> keep = cols_;   // resizing below reports back into cols_
    model_->setColumns(names, titles);
    for (int i = 0; i < keep.size(); ++i) {
        setColumnHidden(i, !keep[i].visible);
        if (keep[i].visible)
            setColumnWidth(i, keep[i].width);
    }
    cols_ = keep;
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
    syncSelection();
}

void DBGrid::syncCurrent()
{
    db::DataSet* ds = dataSet();
    if (!ds || !ds->Active() || ds->ControlsDisabled())
        return;
    const int row = ds->CurrentRow();
    if (row < 0 || row >= model_->rowCount())
        return;
    const QModelIndex cur = currentIndex();
    if (cur.isValid() && cur.row() == row)
        return;
    SyncGuard guard(syncing_);
    int column = cur.isValid() ? cur.column() : 0;
    while (column < model_->columnCount() - 1 && isColumnHidden(column))
        ++column;
    const QModelIndex target = model_->index(row, column);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    scrollTo(target);
}

void DBGrid::syncSelection()
{
    db::DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return;
    SyncGuard guard(syncing_);
    QItemSelection sel;
    const int last = model_->columnCount() - 1;
    if (ds->SelectedCount() > 0 && last >= 0)
        for (int row = 0; row < model_->rowCount(); ++row)
            if (ds->IsRowSelected(row))
                sel.select(model_->index(row, 0), model_->index(row, last));
    selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
}

void DBGrid::syncRowSelection(int row)
{
    db::DataSet* ds = dataSet();
    if (syncing_ || !ds || row < 0 || row >= model_->rowCount() || model_->columnCount() == 0)
        return;
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
    if (FieldLink::updateRecord(ds))
        guarded([&] { ds->SetRecNo(row + 1); });
    if (ds->CurrentRow() != row)
        QMetaObject::invokeMethod(this, &DBGrid::syncCurrent, Qt::QueuedConnection);
}

void DBGrid::viewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    db::DataSet* ds = dataSet();
    if (syncing_ || !ds || !ds->Active())
        return;
    SyncGuard guard(syncing_);
    for (const QItemSelectionRange& r : deselected)
        for (int row = r.top(); row <= r.bottom(); ++row)
            if (!selectionModel()->isRowSelected(row, {}))
                ds->SelectRow(row, false);
    for (const QItemSelectionRange& r : selected)
        for (int row = r.top(); row <= r.bottom(); ++row)
            ds->SelectRow(row, true);
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
    // a column that cannot be sorted is left as it is
    try {
        ds->setSort(ds->FieldAt(fi)->FieldName());
    } catch (...) {
    }
}

} // namespace widgets
