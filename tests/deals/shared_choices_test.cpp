// The expense entry's shared name list and a user without the right to change: a refused
// edit writes nothing anywhere and says so once, while the message box takes the focus.
#include "money_fixture.h"

#include "deals/MoneyActions.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBNavigator.h"
#include "ui_TFrmHazineh.h"
#include "ui_TFrmHazinehNew.h"

#include <QLineEdit>
#include <QTest>

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

using SharedChoices = MoneyTest;

TEST_P(SharedChoices, ARefusedEditChangesNothingAndSaysSoOnce)
{
    addExpense(QStringLiteral("1403/01/05"), u("کميسيون مشاوره"), QStringLiteral("هزينه"), 100);
    Dm->Conn->exec(QStringLiteral("insert into t_CmbItems (TStrName, TStrData) values ('HCmbHazineh', $1)"),
                   {u("کميسيون مشاوره\r\nآب\r\n")});
    FrmHazineh->show();
    UserCanChange = false;
    prompter.calls.clear();
    auto* e = FrmHazinehNew->form();
    FrmHazineh->form()->btnchange->click();
    ASSERT_TRUE(FrmHazinehNew->isVisible());
    FrmHazinehNew->activateWindow();
    e->HCmbHazineh->setFocus();
    e->HCmbHazineh->lineEdit()->end(false);
    // the message box takes the focus while it is shown, and gives it back
    prompter.onMessage = [&] {
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(e->HCmbHazineh, &out);
        QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(e->HCmbHazineh, &in);
    };
    QTest::keyClick(e->HCmbHazineh, Qt::Key_X);
    prompter.onMessage = nullptr;
    e->DBEdit1->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(prompter.messages(), QStringList{u("امکان حذف يا تغيير دادن اطلاعات براي کاربر فعلي وجود ندارد")});
    EXPECT_EQ(scalar(QStringLiteral("select TStrData from t_CmbItems where TStrName='HCmbHazineh'")).toString(),
              u("کميسيون مشاوره\r\nآب\r\n"));
    EXPECT_EQ(e->HCmbHazineh->currentText(), u("کميسيون مشاوره"));
    EXPECT_EQ(Dm->QHazineh->State(), db::DataSetState::Browse);
}

DOVIN_INSTANTIATE_ENGINES(SharedChoices);

} // namespace
