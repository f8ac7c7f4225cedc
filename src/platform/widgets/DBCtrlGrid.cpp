#include "platform/widgets/DBCtrlGrid.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/ShownRefresh.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QShowEvent>
#include <QWheelEvent>
#include <utility>

namespace widgets {

DBCtrlGrid::DBCtrlGrid(QWidget* parent)
    : QWidget(parent), column_(new QVBoxLayout), bar_(new QScrollBar(Qt::Vertical, this)),
      shown_(new ShownRefresh(this, [this] { showRows(); }))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(column_, 1);
    layout->addWidget(bar_);
    column_->setSpacing(2);
    connect(bar_, &QScrollBar::valueChanged, this, &DBCtrlGrid::setTop);
    rebuild();
}

void DBCtrlGrid::setDataSet(db::DataSet* ds)
{
    if (ds_)
        disconnect(ds_, nullptr, this, nullptr);
    ds_ = ds;
    if (ds_) {
        connect(ds_, &db::DataSet::layoutChanged, this, &DBCtrlGrid::refresh);
        connect(ds_, &db::DataSet::currentChanged, this, &DBCtrlGrid::follow);
        // a row below or above the cards changes none of them
        connect(ds_, &db::DataSet::rowChanged, this, [this](int row) {
            if (row >= top_ && row < top_ + count_)
                refreshShown();
        });
        connect(ds_, &db::DataSet::fieldChanged, this, &DBCtrlGrid::refresh);
        connect(ds_, &db::DataSet::rowInserted, this, &DBCtrlGrid::refresh);
        connect(ds_, &db::DataSet::rowRemoved, this, &DBCtrlGrid::refresh);
        // rows arriving after every card is filled change the scroll bar only
        connect(ds_, &db::DataSet::rowsArrived, this, [this](int first) {
            if (first < top_ + count_ || !isVisible()) {
                refreshShown();
                return;
            }
            const QSignalBlocker block(bar_);
            bar_->setRange(0, std::max(0, ds_->FetchedCount() - count_));
        });
    }
    follow();
}

void DBCtrlGrid::setPanelFactory(std::function<void(QWidget*)> factory)
{
    factory_ = std::move(factory);
    rebuild();
}

void DBCtrlGrid::setPanelCount(int n)
{
    count_ = std::max(1, n);
    rebuild();
}

void DBCtrlGrid::rebuild()
{
    qDeleteAll(panels_);
    panels_.clear();
    for (int i = 0; i < count_; ++i) {
        auto* p = new QFrame(this);
        p->setFrameShape(QFrame::StyledPanel);
        p->setAutoFillBackground(true);
        p->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        if (factory_)
            factory_(p);
        p->installEventFilter(this);
        for (QWidget* w : p->findChildren<QWidget*>())
            w->installEventFilter(this);
        column_->addWidget(p);
        panels_.append(p);
    }
    refresh();
}

void DBCtrlGrid::setTop(int row)
{
    if (row == top_)
        return;
    top_ = row;
    // the last cards: the next rows are read
    if (ds_ && ds_->Active() && top_ + count_ >= ds_->FetchedCount())
        ds_->FetchMore();
    refresh();
}

void DBCtrlGrid::follow()
{
    if (ds_ && ds_->Active() && !ds_->ControlsDisabled()) {
        const int cur = ds_->CurrentRow();
        if (cur >= 0 && cur < top_)
            top_ = cur;
        else if (cur >= top_ + count_)
            top_ = cur - count_ + 1;
    }
    refresh();
}

void DBCtrlGrid::refresh() { shown_->request(ds_); }

// Hidden cards wait for their next show.
void DBCtrlGrid::refreshShown()
{
    if (isVisible())
        refresh();
    else
        stale_ = true;
}

void DBCtrlGrid::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (std::exchange(stale_, false))
        refresh();
}

// The cards of the rows read so far; the scroll bar grows as rows arrive.
void DBCtrlGrid::showRows()
{
    const bool active = ds_ && ds_->Active();
    const int rows = active ? ds_->FetchedCount() : 0;
    top_ = std::clamp(top_, 0, std::max(0, rows - count_));
    {
        const QSignalBlocker block(bar_);
        bar_->setRange(0, std::max(0, rows - count_));
        bar_->setPageStep(count_);
        bar_->setValue(top_);
    }
    const int cur = active ? ds_->CurrentRow() : -1;
    for (int i = 0; i < panels_.size(); ++i) {
        QWidget* p = panels_[i];
        const int row = top_ + i < rows ? top_ + i : -1;
        for (QLabel* label : p->findChildren<QLabel*>()) {
            const QString name = label->property("dataField").toString();
            if (name.isEmpty())
                continue;
            const db::Field* f = active ? ds_->FindField(name) : nullptr;
            label->setText(f && row >= 0 ? ds_->DisplayTextAt(row, f->Index()) : QString());
        }
        for (QWidget* w : p->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            w->setVisible(row >= 0);
        p->setBackgroundRole(row >= 0 && row == cur ? QPalette::AlternateBase : QPalette::Base);
        if (OnPaintPanel)
            OnPaintPanel(p, row);
    }
}

bool DBCtrlGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && ds_ && ds_->Active()) {
        for (int i = 0; i < panels_.size(); ++i) {
            QWidget* p = panels_[i];
            if (watched == p || p->isAncestorOf(qobject_cast<QWidget*>(watched))) {
                const int row = top_ + i;
                if (row < ds_->FetchedCount() && row != ds_->CurrentRow() && FieldLink::updateRecord(ds_))
                    guarded([&] { ds_->SetRecNo(row + 1); });
                break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DBCtrlGrid::wheelEvent(QWheelEvent* e)
{
    const int steps = e->angleDelta().y() / 120;
    if (steps)
        bar_->setValue(bar_->value() - steps);
    e->accept();
}

} // namespace widgets
