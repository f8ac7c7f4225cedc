// The property form: a new record starts in its first field, the rights of the user who
// saves hold at the save, Enter in the mark box does nothing special; the documents window
// adds through the picture dialog.
#include "registry_fixture.h"

#include "platform/shell/Prompter.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/FieldLink.h"
#include "registry/RegistryActions.h"
#include "registry/TfrmDocs.h"
#include "ui_TFRmMelk.h"

#include <QKeyEvent>

namespace {

using RecordFormStart = RegistryTest;

TEST_P(RecordFormStart, ASecondNewRecordStartsInItsFirstField)
{
    auto* u = FRmMelk->form();
    ShowNewProperty();
    u->DBEdit23->setFocus();   // "توضيحات", the last field used
    ASSERT_EQ(FRmMelk->focusWidget(), u->DBEdit23);
    u->DBNavigator1->BtnClick(widgets::NavButton::Cancel);
    ShowNewProperty();   // F1 again, the form still open
    EXPECT_EQ(Dm->QMelk->State(), db::DataSetState::Insert);
    EXPECT_EQ(FRmMelk->focusWidget(), u->DBEdit1);
    u->DBNavigator1->BtnClick(widgets::NavButton::Cancel);
}

TEST_P(RecordFormStart, TheRightsOfTheUserWhoSavesHoldAtTheSave)
{
    const qint64 mid = addProperty(QStringLiteral("مدير"), true, false, false);
    Dm->QMelk->Close();
    Dm->QMelk->Open();
    ASSERT_TRUE(Dm->QMelk->Locate(QStringLiteral("MID"), mid));
    UserCanChange = true;   // the administrator begins an edit
    Dm->QMelk->Edit();
    f(Dm->QMelk, "MalekEsm")->SetAsString(QStringLiteral("تغيير مدير"));
    UserCanChange = false;   // a clerk without the right logs in
    prompter.calls.clear();
    EXPECT_FALSE(widgets::guarded([] { Dm->QMelk->Post(); }));
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("امکان حذف يا تغيير دادن اطلاعات براي کاربر فعلي وجود ندارد")});
    EXPECT_EQ(Dm->QMelk->State(), db::DataSetState::Edit);
    EXPECT_EQ(scalar(QStringLiteral("select MalekEsm from T_Melk where MID=%1").arg(mid)).toString(),
              QStringLiteral("مدير"));
    Dm->QMelk->Cancel();

    // a new record is not gated
    Dm->QMelk->Append();
    f(Dm->QMelk, "ForSell")->SetAsBoolean(true);
    f(Dm->QMelk, "MalekEsm")->SetAsString(QStringLiteral("منشي"));
    EXPECT_TRUE(widgets::guarded([] { Dm->QMelk->Post(); }));
    UserCanChange = true;
}

TEST_P(RecordFormStart, EnterInTheMarkBoxDoesNothingSpecial)
{
    auto* u = FRmMelk->form();
    ShowNewProperty();
    u->DBEdit16->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(u->DBEdit16, &enter);
    EXPECT_EQ(FRmMelk->focusWidget(), u->DBEdit16);
    // where Enter does move on, it still does
    u->DBEdit8->setFocus();
    QKeyEvent again(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(u->DBEdit8, &again);
    EXPECT_NE(FRmMelk->focusWidget(), u->DBEdit8);
    u->DBNavigator1->BtnClick(widgets::NavButton::Cancel);
}

TEST_P(RecordFormStart, DocumentsAreAddedThroughThePictureDialog)
{
    const qint64 mid = addProperty(QStringLiteral("مالک"), true, false, false);
    TfrmDocs docs(nullptr, QString::number(mid));
    prompter.calls.clear();
    docs.BitBtn1Click();   // cancelled: nothing added
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].what, QStringLiteral("openFile"));
    shell::FileRequest picture;
    picture.pictures = true;
    EXPECT_EQ(prompter.calls[0].directory, shell::StartFolder(picture));
}

DOVIN_INSTANTIATE_ENGINES(RecordFormStart);

} // namespace
