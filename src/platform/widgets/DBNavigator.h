#pragma once
// Buttons that move through a dataset and insert, delete, edit, post, cancel and refresh,
// enabled by the dataset's state. Right to left: "first" is the rightmost button.

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

class QToolButton;

namespace db { class DataSet; }

namespace widgets {

enum class NavButton { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
inline constexpr int NavButtonCount = 10;

class DBNavigator : public QWidget {
    Q_OBJECT
public:
    explicit DBNavigator(QWidget* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    db::DataSet* dataSet() const { return ds_; }

    void setVisibleButtons(std::initializer_list<NavButton> buttons);
    bool isButtonVisible(NavButton b) const;
    void setCaption(NavButton b, const QString& caption);
    void setHint(NavButton b, const QString& hint);
    QToolButton* button(NavButton b) const { return buttons_[size_t(b)]; }

    // Asks before deleting (default on).
    bool ConfirmDelete = true;
    // Runs before a button's action; throw db::Abort to stop it.
    std::function<void(NavButton)> BeforeAction;

    // Presses a button: runs its action as a click does.
    void BtnClick(NavButton b);

signals:
    // After a button's action (also when the dataset refused it).
    void clicked(widgets::NavButton button);

protected:
    void changeEvent(QEvent* e) override;

private:
    void updateButtons();
    void showButtons();
    void updateIcons();
    void run(NavButton b);

    QPointer<db::DataSet> ds_;
    class ShownRefresh* shown_;
    std::array<QToolButton*, NavButtonCount> buttons_{};
};

} // namespace widgets
