#include "platform/widgets/DataSetModel.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/FieldLink.h"

#include <QTimer>

namespace widgets {

DataSetModel::DataSetModel(QObject* parent) : QAbstractTableModel(parent), growTimer_(new QTimer(this))
{
    growTimer_->setSingleShot(true);
    connect(growTimer_, &QTimer::timeout, this, &DataSetModel::showArrived);
}

void DataSetModel::showArrived()
{
    growTimer_->stop();
    if (waiting_ <= 0)
        return;
    const int first = rows_, count = waiting_;
    waiting_ = 0;
    beginInsertRows({}, first, first + count - 1);
    rows_ += count;
    endInsertRows();
    grown_.start();
    emit rowsAppended(first, count);
}

void DataSetModel::setDataSet(db::DataSet* ds)
{
    if (ds_)
        disconnect(ds_, nullptr, this, nullptr);
    ds_ = ds;
    if (ds_) {
        // whatever else the dataset tells comes after the rows that arrived before it
        const auto catchUp = [this] { showArrived(); };
        for (const auto signal : {&db::DataSet::currentChanged, &db::DataSet::stateChanged, &db::DataSet::selectionChanged})
            connect(ds_, signal, this, catchUp);
        connect(ds_, &db::DataSet::fieldChanged, this, catchUp);
        connect(ds_, &db::DataSet::rowChanged, this, catchUp);
        connect(ds_, &db::DataSet::rowInserted, this, catchUp);
        connect(ds_, &db::DataSet::rowRemoved, this, catchUp);
        connect(ds_, &db::DataSet::layoutChanged, this, &DataSetModel::reset);
        const auto indicator = [this] {
            if (rows_ > 0)
                emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
        };
        connect(ds_, &db::DataSet::currentChanged, this, indicator);
        connect(ds_, &db::DataSet::stateChanged, this, indicator);
        connect(ds_, &db::DataSet::rowChanged, this, [this](int row) {
            if (row >= 0 && row < rows_)
                emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        });
        connect(ds_, &db::DataSet::fieldChanged, this, [this] {
            const int row = ds_->CurrentRow();
            if (row >= 0 && row < rows_)
                emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        });
        connect(ds_, &db::DataSet::rowInserted, this, [this](int row) {
            row = std::clamp(row, 0, rows_);
            beginInsertRows({}, row, row);
            ++rows_;
            endInsertRows();
        });
        // rows arriving in idle time join the model a few times a second, the last ones at once
        connect(ds_, &db::DataSet::rowsArrived, this, [this](int first, int count) {
            if (first != rows_ + waiting_ || count < 0) {
                reset();
                return;
            }
            if (count == 0 && (waiting_ == 0 || !ds_->AllRowsRead()))
                return;
            waiting_ += count;
            const qint64 since = grown_.isValid() ? grown_.elapsed() : kGrowMs;
            if (since >= kGrowMs || ds_->AllRowsRead())
                showArrived();
            else if (!growTimer_->isActive())
                growTimer_->start(int(kGrowMs - since));
        });
        connect(ds_, &db::DataSet::rowRemoved, this, [this](int row) {
            if (row < 0 || row >= rows_) {
                reset();
                return;
            }
            beginRemoveRows({}, row, row);
            --rows_;
            endRemoveRows();
        });
    }
    reset();
}

void DataSetModel::setColumns(const QStringList& fieldNames, const QStringList& titles)
{
    beginResetModel();
    names_ = fieldNames;
    titles_ = titles;
    resolve();
    endResetModel();
}

void DataSetModel::reset()
{
    growTimer_->stop();
    beginResetModel();
    rows_ = ds_ && ds_->Active() ? ds_->FetchedCount() : 0;
    waiting_ = 0;
    resolve();
    endResetModel();
}

void DataSetModel::resolve()
{
    fieldIdx_.assign(size_t(names_.size()), -1);
    if (!ds_ || !ds_->Active())
        return;
    for (int c = 0; c < names_.size(); ++c)
        if (const db::Field* f = ds_->FindField(names_[c]))
            fieldIdx_[size_t(c)] = f->Index();
}

int DataSetModel::fieldIndex(int column) const
{
    return column >= 0 && column < int(fieldIdx_.size()) ? fieldIdx_[size_t(column)] : -1;
}

int DataSetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int DataSetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(names_.size()); }

CellStyle DataSetModel::styleOf(int row, int column) const
{
    CellStyle s;
    if (cellStyle)
        cellStyle(row, names_.value(column), s);
    return s;
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    if (!ds_ || !index.isValid() || index.row() >= rows_)
        return {};
    const int fi = fieldIndex(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return fi < 0 || styleOf(index.row(), index.column()).fillPicture ? QVariant()
                                                                         : QVariant(ds_->DisplayTextAt(index.row(), fi));
    case Qt::TextAlignmentRole: {
        if (fi < 0)
            return {};
        if (const Qt::Alignment own = styleOf(index.row(), index.column()).alignment & Qt::AlignHorizontal_Mask)
            return QVariant::fromValue(own | Qt::AlignVCenter);
        const Qt::Alignment a = ds_->FieldAt(fi)->Alignment() & Qt::AlignHorizontal_Mask;
        return QVariant::fromValue(Qt::Alignment(a ? a : Qt::AlignLeading) | Qt::AlignVCenter);
    }
    case Qt::ForegroundRole: {
        const QColor c = styleOf(index.row(), index.column()).foreground;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::BackgroundRole: {
        const QColor c = styleOf(index.row(), index.column()).background;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::FontRole: {
        const auto f = styleOf(index.row(), index.column()).font;
        return f ? QVariant(*f) : QVariant();
    }
    case Qt::DecorationRole: {
        const CellStyle s = styleOf(index.row(), index.column());
        return s.picture.isNull() || s.fillPicture ? QVariant() : QVariant(s.picture);
    }
    case FillPictureRole: {
        const CellStyle s = styleOf(index.row(), index.column());
        return s.fillPicture && !s.picture.isNull() ? QVariant(s.picture) : QVariant();
    }
    default:
        return {};
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size())
        return titles_[section];
    // the row indicator: the current record is marked, as in the classic grid
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) {
        if (!ds_ || section != ds_->CurrentRow())
            return QString();
        switch (ds_->State()) {
        case db::DataSetState::Insert: return QStringLiteral("*");
        case db::DataSetState::Edit: return QStringLiteral("I");
        default: return QStringLiteral("◄");
        }
    }
    return {};
}

bool DataSetModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && ds_ && ds_->Active() && !ds_->AllRowsRead()
        && (!ds_->Deferred() || !viewShown || viewShown());
}

void DataSetModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid() || !ds_)
        return;
    // rows already read are shown before more are read
    if (waiting_ == 0)
        ds_->FetchMore();
    showArrived();
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int fi = fieldIndex(index.column());
    if (editable_ && ds_ && ds_->Active() && fi >= 0 && FieldLink::canModify(ds_->FieldAt(fi)))
        f |= Qt::ItemIsEditable;
    return f;
}

void DataSetModel::setEditable(bool on)
{
    if (editable_ == on)
        return;
    editable_ = on;
    if (rows_ > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
}

bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable) || index.row() != ds_->CurrentRow())
        return false;
    db::Field* f = ds_->FieldAt(fieldIndex(index.column()));
    return guarded([&] {
        ds_->Edit();
        f->SetText(value.toString());
    });
}

} // namespace widgets
