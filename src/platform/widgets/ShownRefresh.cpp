#include "platform/widgets/ShownRefresh.h"

#include "platform/db/DataSet.h"

#include <QEvent>
#include <QWidget>

namespace widgets {

ShownRefresh::ShownRefresh(QWidget* control, std::function<void()> refresh)
    : QObject(control), control_(control), refresh_(std::move(refresh))
{
    control_->installEventFilter(this);
}

void ShownRefresh::request(const db::DataSet* ds)
{
    if (ds && ds->Deferred() && !control_->isVisible()) {
        pending_ = true;
        return;
    }
    pending_ = false;
    refresh_();
}

bool ShownRefresh::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == control_ && event->type() == QEvent::Show && pending_) {
        pending_ = false;
        refresh_();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace widgets
