// The registry windows driven from the keyboard and the mouse: the demand form's type lists,
// Esc, Enter and a refused post, the Enter flow of the property form, the documents of a new
// property, the match panel restored from its settings file, the region list's order and the
// phone book's letter tabs.
#include "matching_fixture.h"

#include "platform/ini/IniFile.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DBNavigator.h"
#include "registry/Matching.h"
#include "registry/RegistryActions.h"
#include "registry/TFRmMelk.h"
#include "registry/TFrmLstMelk.h"
#include "registry/TFrmLstNiyaz.h"
#include "registry/TFrmNiyaz.h"
#include "registry/TFrmTels.h"
#include "registry/TFrmTelsNEw.h"
#include "registry/TfrmDocs.h"
#include "registry/TfrmlstMn.h"
#include "ui_TFRmMelk.h"
#include "ui_TFrmNiyaz.h"
#include "ui_TFrmTelsNEw.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

class RegistryInput : public RegistryDbTest {
protected:
    void SetUp() override
    {
        RegistryDbTest::SetUp();
        if (IsSkipped())
            return;
        FRmMelk = new TFRmMelk;
        FrmNiyaz = new TFrmNiyaz;
        FrmTels = new TFrmTels;
    }
    void TearDown() override
    {
        for (QWidget* w : std::initializer_list<QWidget*>{FrmLstNiyaz, FrmLstMelk, FrmTels, FrmNiyaz, FRmMelk})
            delete w;
        FrmLstNiyaz = nullptr;
        FrmLstMelk = nullptr;
        FrmTels = nullptr;
        FrmNiyaz = nullptr;
        FRmMelk = nullptr;
        RegistryDbTest::TearDown();
    }

    static db::Field* f(db::DataSet* ds, const char* name) { return ds->FieldByName(QString::fromLatin1(name)); }
    Ui::TFrmNiyaz* niyaz() { return FrmNiyaz->form(); }
    Ui::TFRmMelk* melk() { return FRmMelk->form(); }

    // A key to whatever has the focus in the window, as the keyboard sends it.
    static void press(QWidget* window, int key, const QString& text = QString())
    {
        QWidget* target = window->focusWidget() ? window->focusWidget() : window;
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &e);
    }
    static void typeText(QWidget* window, const QString& text)
    {
        for (const QChar c : text)
            press(window, Qt::Key_unknown, QString(c));
    }
    // Object names of the controls Enter visits from the focused one, count presses.
    static QStringList enterFlow(QWidget* window, int count)
    {
        QStringList names;
        for (int i = 0; i < count; ++i) {
            press(window, Qt::Key_Return);
            names << (window->focusWidget() ? window->focusWidget()->objectName() : QString());
        }
        return names;
    }
    // Closes whatever modal window opens next, noting its class.
    void closeNextModal()
    {
        opened_.clear();
        QTimer::singleShot(0, [this] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                opened_ = QString::fromLatin1(w->metaObject()->className());
                docsSql_ = Dm->QDocs->SQL();
                w->close();
            }
        });
    }
    QString opened_;
    QString docsSql_;
};

TEST_P(RegistryInput, DemandTypeListsAreFixedAndEscClearsOneRow)
{
    ShowNewDemand();
    ASSERT_EQ(Dm->QNiyaz->State(), db::DataSetState::Insert);
    for (QComboBox* type : {static_cast<QComboBox*>(niyaz()->cmbf1type), static_cast<QComboBox*>(niyaz()->cmbf2type),
                            static_cast<QComboBox*>(niyaz()->cmbf3type)}) {
        EXPECT_FALSE(type->isEditable()) << type->objectName().toStdString();
        ASSERT_EQ(type->count(), 4);
        EXPECT_EQ(type->itemText(0), QStringLiteral("خريد"));
    }
    EXPECT_EQ(niyaz()->lblsh1->text(), QStringLiteral("شرايط"));

    // typed letters and a blank choose nothing that is not an item
    niyaz()->cmbf1type->setFocus();
    typeText(FrmNiyaz, QStringLiteral("خريد "));
    EXPECT_TRUE(TFrmNiyaz::DealTypes().contains(f(Dm->QNiyaz, "f1type")->AsString())
                || f(Dm->QNiyaz, "f1type")->AsString().isEmpty())
        << f(Dm->QNiyaz, "f1type")->AsString().toStdString();
    // the arrow keys choose items: the first is the purchase
    niyaz()->cmbf1type->setCurrentIndex(-1);
    press(FrmNiyaz, Qt::Key_Down);
    EXPECT_EQ(f(Dm->QNiyaz, "f1type")->AsString(), QStringLiteral("خريد"));
    EXPECT_EQ(niyaz()->lblf1->text(), QStringLiteral("قيمت خريد"));
    EXPECT_TRUE(niyaz()->edtf1->isEnabled());
    // Enter in a type list leaves the focus there
    press(FrmNiyaz, Qt::Key_Return);
    EXPECT_EQ(FrmNiyaz->focusWidget(), niyaz()->cmbf1type);

    f(Dm->QNiyaz, "kharid")->SetAsBoolean(true);
    f(Dm->QNiyaz, "f3type")->SetAsString(QStringLiteral("رهن و اجاره"));
    f(Dm->QNiyaz, "f3")->SetAsFloat(300);
    Dm->QNiyaz->Post();
    FrmNiyaz->RelabelDealConditions();
    EXPECT_TRUE(niyaz()->edtf3_2->isEnabled());

    // Esc in the third list, in browse state: edit, only that row's type goes
    niyaz()->cmbf3type->setFocus();
    press(FrmNiyaz, Qt::Key_Escape);
    EXPECT_EQ(Dm->QNiyaz->State(), db::DataSetState::Edit);
    EXPECT_EQ(f(Dm->QNiyaz, "f3type")->AsString(), QString());
    EXPECT_EQ(f(Dm->QNiyaz, "f1type")->AsString(), QStringLiteral("خريد"));
    EXPECT_DOUBLE_EQ(f(Dm->QNiyaz, "f3")->AsFloat(), 300);
    EXPECT_FALSE(niyaz()->edtf3->isEnabled());
    EXPECT_EQ(niyaz()->lblf3->text(), QStringLiteral("-------"));
    EXPECT_TRUE(niyaz()->edtf1->isEnabled());
    if (qEnvironmentVariableIsSet("DOVIN_SHOTS"))
        FrmNiyaz->grab().save(qEnvironmentVariable("DOVIN_SHOTS") + "/demand_form_conditions.png");
}

TEST_P(RegistryInput, DemandEnterFlowARefusedPostAndPhonesToThePhoneBook)
{
    ShowNewDemand();
    niyaz()->DBEdit8->setFocus();
    const QStringList flow = enterFlow(FrmNiyaz, 21);
    const QStringList expected = {"DBEdit1",     "DBEdit2",     "DBEdit3",           "DBEdit4",     "DBCheckBox1",
                                  "DBCheckBox2", "DBCheckBox3", "DBComboBox1",       "DBLookupComboBox1",
                                  "DBEdit9",     "DBEdit10",    "DBEdit14",          "DBCheckBox4", "DBCheckBox5",
                                  "DBCheckBox6", "DBCheckBox7", "DBCheckBox8",       "DBCheckBox9", "DBEdit18",
                                  "DBEdit19",    "DBEdit23"};
    EXPECT_EQ(flow, expected);
    // on to the first type list, where Enter stops
    EXPECT_EQ(enterFlow(FrmNiyaz, 2), QStringList({"cmbf1type", "cmbf1type"}));

    // typed where the flow stands
    niyaz()->DBEdit1->setFocus();
    typeText(FrmNiyaz, QStringLiteral("سارا"));
    press(FrmNiyaz, Qt::Key_Return);
    typeText(FrmNiyaz, QStringLiteral("021"));
    press(FrmNiyaz, Qt::Key_Return);
    EXPECT_EQ(niyaz()->DBEdit1->text(), QStringLiteral("سارا"));
    EXPECT_EQ(niyaz()->DBEdit2->text(), QStringLiteral("021"));

    // no deal kind: the post is refused with the message and nothing is stored
    prompter.calls.clear();
    niyaz()->DBNavigator1->BtnClick(widgets::NavButton::Post);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("لطفا خريد ، رهني يا اجاره اي بودن مورد را مشخص کنيد"));
    EXPECT_EQ(Dm->QNiyaz->State(), db::DataSetState::Insert);
    EXPECT_EQ(conn().scalar("select count(*) from T_niyaz").toInt(), 0);
    // closing with Yes: refused again, no success message, the form stays
    prompter.calls.clear();
    prompter.answer(shell::ResultYes);
    FrmNiyaz->show();
    EXPECT_FALSE(FrmNiyaz->close());
    EXPECT_TRUE(FrmNiyaz->isVisible());
    EXPECT_FALSE(prompter.messages().contains(QStringLiteral("تغييرات با موفقيت ذخيره شدند")));

    // the customer's phones to the phone book: home and an empty work phone
    QTimer::singleShot(0, [] {
        auto* entry = qobject_cast<TFrmTelsNEw*>(QApplication::activeModalWidget());
        ASSERT_TRUE(entry);
        entry->form()->DBNavigator1->BtnClick(widgets::NavButton::Post);
    });
    FrmNiyaz->BitBtn10Click();
    EXPECT_EQ(conn().scalar("select Phone from t_Tels where Esm = 'سارا'").toString(), QStringLiteral("021-"));
}

TEST_P(RegistryInput, PropertyEnterFlowFollowsTheFields)
{
    ShowNewProperty();
    melk()->DBEdit1->setFocus();
    // Enter does nothing special in the mark box "مشخصه" (DBEdit16): the flow stops there
    const QStringList toMark = {"DBEdit2", "DBEdit3", "DBEdit4", "DBEdit8", "DBEdit16", "DBEdit16"};
    EXPECT_EQ(enterFlow(FRmMelk, int(toMark.size())), toMark);
    melk()->DBCheckBox1->setFocus();
    const QStringList expected = {"DBCheckBox2", "DBCheckBox3", "DBComboBox1", "DBComboBox7",
                                  "DBComboBox8", "DBEdit18",    "DBLookupComboBox1"};
    EXPECT_EQ(enterFlow(FRmMelk, int(expected.size())), expected);
    // digits typed after the owner's phones reach the offer date's neighbour, not a button
    melk()->DBEdit4->setFocus();
    press(FRmMelk, Qt::Key_Return);
    EXPECT_EQ(FRmMelk->focusWidget(), melk()->DBEdit8);
    // the address jumps to the further facilities
    melk()->DBEdit21->setFocus();
    EXPECT_EQ(enterFlow(FRmMelk, 2), QStringList({"DBEdit22", "DBEdit23"}));
    melk()->DBEdit19->setFocus();
    typeText(FRmMelk, QStringLiteral("4"));
    melk()->DBEdit19->UpdateRecord();
    EXPECT_EQ(f(Dm->QMelk, "TedadOtagh")->AsInteger(), 4);
}

TEST_P(RegistryInput, DocumentsOfANewPropertyPostItFirst)
{
    ShowNewProperty();
    EXPECT_TRUE(melk()->btnDocs->isEnabled());

    // refused post: the message, no window, the row still being inserted
    closeNextModal();
    melk()->btnDocs->click();
    QApplication::processEvents();
    EXPECT_EQ(opened_, QString());
    EXPECT_EQ(Dm->QMelk->State(), db::DataSetState::Insert);
    EXPECT_EQ(prompter.messages().value(0), QStringLiteral("لطفا فروشي ، رهني يا اجاره اي بودن مورد را مشخص کنيد"));

    // with a deal kind: stored, then the documents of that property
    f(Dm->QMelk, "ForRahn")->SetAsBoolean(true);
    closeNextModal();
    melk()->btnDocs->click();
    EXPECT_EQ(Dm->QMelk->State(), db::DataSetState::Browse);
    EXPECT_EQ(opened_, QStringLiteral("TfrmDocs"));
    const qint64 id = conn().scalar("select max(MID) from T_Melk").toLongLong();
    EXPECT_TRUE(docsSql_.endsWith(QStringLiteral("melkId = ") + QString::number(id))) << docsSql_.toStdString();
}

// matchState.ini: missing file, missing keys, stored keys.
TEST_P(RegistryInput, MatchPanelRestoredFromItsFile)
{
    const QString file = MatchStateFile();
    FrmLstMelk = new TFrmLstMelk;
    FrmLstNiyaz = new TFrmLstNiyaz;
    const auto box = [](const char* name) { return FrmLstMelk->findChild<QCheckBox*>(QString::fromLatin1(name)); };
    const auto edit = [](const char* name) { return FrmLstMelk->findChild<QLineEdit*>(QString::fromLatin1(name)); };
    const char* const boxes[] = {"chkRequest", "ChkType", "chkQuarter", "chkTempDel", "chkRoom", "chkLivingArea",
                                 "chkArea", "chkFloor", "chkSellMatch", "chkTel", "ChkMortgage", "chkRent"};

    const struct {
        const char* ini; // empty: no file
        QStringList ticked;
        const char* roomText;
    } cases[] = {
        {"", {}, "0"},
        {"[frmlstniyazPanel4]\nchkRoom=1\n", {}, "0"},
        {"[frmlstmelkPanel4]\nchkRoom=1\nedtRoomFlexability=2\nchkTempDel=1\n", {"chkTempDel", "chkRoom"}, "2"},
        {"[frmlstmelkPanel4]\nchkRoom=0\nchkSellMatch=1\nedtSellMatch=1,000,000,000\n", {"chkSellMatch"}, "0"},
    };
    for (const auto& c : cases) {
        QFile::remove(file);
        if (*c.ini) {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(c.ini);
        }
        // a previous state on screen is replaced, not kept
        for (const char* b : boxes)
            box(b)->setChecked(true);
        FrmLstMelk->close();
        FrmLstMelk->show();
        QStringList ticked;
        for (const char* b : boxes)
            if (box(b)->isChecked())
                ticked << QString::fromLatin1(b);
        EXPECT_EQ(ticked, c.ticked) << c.ini;
        EXPECT_EQ(edit("edtRoomFlexability")->text(), QString::fromLatin1(c.roomText)) << c.ini;
        EXPECT_EQ(edit("edtRoomFlexability")->isEnabled(), c.ticked.contains("chkRoom")) << c.ini;
        EXPECT_EQ(edit("edtSellMatch")->isEnabled(), c.ticked.contains("chkSellMatch")) << c.ini;
        if (c.ticked.contains("chkSellMatch"))
            EXPECT_EQ(edit("edtSellMatch")->text(), QStringLiteral("1,000,000,000"));
    }
}

TEST_P(RegistryInput, RegionListReloadsInKeyOrderAfterASort)
{
    const QStringList names = {"شمال", "الف", "ب", "آخر"};
    QList<qint64> ids;
    for (const QString& n : names)
        ids << region(n);
    TfrmlstMn list;
    list.show();
    EXPECT_EQ(keys(Dm->QMantagheh, "MnID"), ids);
    auto* grid = list.findChild<widgets::DBGrid*>(QStringLiteral("dbgrid1"));
    emit grid->horizontalHeader()->sectionClicked(0);
    EXPECT_NE(keys(Dm->QMantagheh, "MnID"), ids);
    list.close();
    list.show();
    EXPECT_EQ(keys(Dm->QMantagheh, "MnID"), ids);
    // and on refresh
    emit grid->horizontalHeader()->sectionClicked(0);
    list.btnrefreshClick();
    EXPECT_EQ(keys(Dm->QMantagheh, "MnID"), ids);
}

TEST_P(RegistryInput, PhoneBookTabsTakeBothLetterForms)
{
    // Arabic and Persian yeh, Arabic and Persian kaf
    const QStringList people = {QStringLiteral("\u064Aوسف"), QStringLiteral("\u06CCاسر"), QStringLiteral("\u0643ريم"),
                                QStringLiteral("\u06A9اوه"), QStringLiteral("علي"), QStringLiteral("بابک")};
    for (const QString& p : people)
        insert("t_Tels", "AKey", {"Esm", "Phone", "Mobile", "Fax"}, {db::Q(p), "''", "''", "''"});
    const struct {
        QString tab;
        QStringList names;
    } cases[] = {
        {QStringLiteral("\u064A"), {people[0], people[1]}},
        {QStringLiteral("\u06A9"), {people[2], people[3]}},
        {QStringLiteral("ع"), {people[4]}},
        {QStringLiteral("ب"), {people[5]}},
        {QStringLiteral("..."), people},
    };
    FrmTels->show();
    QTabBar* tabs = FrmTels->findChild<QTabBar*>(QStringLiteral("TabControl1"));
    for (const auto& c : cases) {
        const int index = TFrmTels::TabLetters().indexOf(c.tab);
        ASSERT_GE(index, 0) << c.tab.toStdString();
        tabs->setCurrentIndex(index);
        QStringList shown;
        for (int r = 0; r < Dm->QTels->RecordCount(); ++r)
            shown << Dm->QTels->ValueAt(r, f(Dm->QTels, "Esm")->Index()).toString();
        shown.sort();
        QStringList want = c.names;
        want.sort();
        EXPECT_EQ(shown, want) << c.tab.toStdString();
    }
    if (qEnvironmentVariableIsSet("DOVIN_SHOTS"))
        FrmTels->grab().save(qEnvironmentVariable("DOVIN_SHOTS") + "/phone_book.png");
}

DOVIN_INSTANTIATE_ENGINES(RegistryInput);

} // namespace
