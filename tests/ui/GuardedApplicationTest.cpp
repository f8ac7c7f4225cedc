#include "ui/GuardedApplication.h"

#include "platform/db/DataSet.h"
#include "platform/db/Errors.h"
#include "platform/shell/Progress.h"
#include "platform/widgets/FieldLink.h"
#include "support/ScriptedPrompter.h"
#include "ui/Tfrm_dlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <stdexcept>

using testing_support::ScriptedPrompter;

namespace {

class Thrower : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("کد ملی درست نیست");
        if (e->type() == QEvent::Type(QEvent::User + 1))
            throw 42;
        return QObject::event(e);
    }
};

} // namespace

TEST(GuardedApplication, ShowsTheExceptionAndGoesOn)
{
    ScriptedPrompter p;
    Thrower t;
    QEvent first(QEvent::User);
    EXPECT_FALSE(GuardedApplication::guarded([&] { return QCoreApplication::sendEvent(&t, &first); }));
    QEvent second(QEvent::Type(QEvent::User + 1));
    EXPECT_FALSE(GuardedApplication::guarded([&] { return QCoreApplication::sendEvent(&t, &second); }));
    EXPECT_TRUE(GuardedApplication::guarded([] { return true; }));
    ASSERT_EQ(p.calls.size(), 2);
    EXPECT_EQ(p.calls[0].what, QLatin1String("plainMessage"));
    EXPECT_EQ(p.calls[0].kind, 0);   // with the error picture
    EXPECT_EQ(p.calls[0].text, QStringLiteral("کد ملی درست نیست"));
    EXPECT_EQ(p.calls[1].text, QStringLiteral("خطايي در روند برنامه پيش آمد"));
}

// Database errors: each is shown once however often it is rethrown, and after the server was
// reported away nothing more of the same action is shown; both guards go by the same rule.
TEST(GuardedApplication, OneDatabaseMessagePerAction)
{
    ScriptedPrompter p;
    const auto lost = db::DbError::fromEngine(db::ErrorCategory::ConnectionLost, QStringLiteral("Connection refused"),
                                              QStringLiteral("select * from T_Melk"));
    const auto rowGone = db::DbError(db::ErrorCategory::RowNotFound, db::rowNotFoundText());
    const std::function<bool(const db::DbError&)> guards[] = {
        [](const db::DbError& e) { return GuardedApplication::guarded([&]() -> bool { throw e; }); },
        [](const db::DbError& e) { return widgets::guarded([&] { throw e; }); },
    };
    for (const auto& guard : guards) {
        p.calls.clear();
        db::beginAction();
        // shown, then rethrown to an outer guard: not shown again
        try {
            guard(rowGone);
            GuardedApplication::guarded([&]() -> bool {
                try {
                    throw db::DbError(rowGone);
                } catch (const db::DbError& e) {
                    widgets::guarded([&] { throw; });
                    throw;
                }
            });
        } catch (...) {
            ADD_FAILURE() << "the guard let an error through";
        }
        EXPECT_FALSE(guard(lost));
        EXPECT_FALSE(guard(lost));
        EXPECT_FALSE(guard(rowGone));
        ASSERT_EQ(p.messages().size(), 3) << p.messages().join(QStringLiteral(" | ")).toStdString();
        EXPECT_EQ(p.messages()[0], db::rowNotFoundText());
        EXPECT_EQ(p.messages()[1], db::rowNotFoundText());
        EXPECT_EQ(p.messages()[2], db::connectionLostText() + QStringLiteral("\nConnection refused"));

        db::beginAction();
        EXPECT_FALSE(guard(lost));
        EXPECT_EQ(p.messages().size(), 4);
    }
}

// A long work the user stopped is no failure: neither guard says anything of it.
TEST(GuardedApplication, AWorkStoppedByTheUserShowsNoMessage)
{
    ScriptedPrompter p;
    EXPECT_FALSE(GuardedApplication::guarded([]() -> bool { throw shell::Cancelled(); }));
    EXPECT_FALSE(widgets::guarded([] { throw shell::Cancelled(); }));
    EXPECT_TRUE(p.messages().isEmpty()) << p.messages().join(QStringLiteral(" | ")).toStdString();
}

// What starts an action: a click or key of the user, a close box; not an answer in a
// message box, and not a window the program closes itself.
TEST(GuardedApplication, InputStartsAnAction)
{
    QLineEdit edit;
    QMessageBox box;
    Tfrm_dlg dlg;
    QLineEdit* inDlg = new QLineEdit(&dlg);
    const QPointF at(1, 1);
    QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QEvent paint(QEvent::Paint);
    QCloseEvent close;
    EXPECT_TRUE(GuardedApplication::startsAction(&edit, &press));
    EXPECT_TRUE(GuardedApplication::startsAction(&edit, &key));
    EXPECT_FALSE(GuardedApplication::startsAction(&edit, &paint));
    EXPECT_FALSE(GuardedApplication::startsAction(&box, &press));
    EXPECT_FALSE(GuardedApplication::startsAction(inDlg, &key));
    EXPECT_FALSE(GuardedApplication::startsAction(&edit, &close));   // close() of the program
    EXPECT_FALSE(GuardedApplication::startsAction(nullptr, &key));
}
