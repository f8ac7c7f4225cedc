#include "platform/widgets/FormShow.h"

#include <QEvent>
#include <QShowEvent>
#include <QWidget>
#include <vector>

namespace widgets {

namespace {

class OpeningWatch : public QObject {
public:
    explicit OpeningWatch(QWidget* window) : QObject(window) { window->installEventFilter(this); }
    std::vector<std::function<void()>> works;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent() && event->type() == QEvent::Show && IsOpening(static_cast<QShowEvent*>(event)))
            for (const auto& work : works)
                work();
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

bool IsOpening(const QShowEvent* event) { return event && !event->spontaneous(); }

void OnFormShow(QWidget* window, std::function<void()> work)
{
    OpeningWatch* watch = nullptr;
    for (QObject* child : window->children())
        if ((watch = dynamic_cast<OpeningWatch*>(child)))
            break;
    if (!watch)
        watch = new OpeningWatch(window);
    watch->works.push_back(std::move(work));
}

} // namespace widgets
