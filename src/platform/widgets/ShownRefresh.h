#pragma once
// A data-aware control's refresh that does not make a dataset read its rows for a control
// nobody sees: while the dataset has read nothing yet (opened deferred) and the control is
// hidden, the refresh waits for the control's next show.

#include <QObject>
#include <functional>

class QWidget;
namespace db { class DataSet; }

namespace widgets {

class ShownRefresh : public QObject {
public:
    ShownRefresh(QWidget* control, std::function<void()> refresh);
    // Refreshes now, or on the next show while the control is hidden and ds deferred.
    void request(const db::DataSet* ds);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* control_;
    std::function<void()> refresh_;
    bool pending_ = false;
};

} // namespace widgets
