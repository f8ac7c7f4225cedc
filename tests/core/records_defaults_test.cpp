// Defaults of new records, the checks before post with their messages, typed amounts and
// dates, document numbers, the values a new cheque takes over, and null filling.
#include "records_fixture.h"

#include "core/Counters.h"

#include <QSignalSpy>

namespace {

using db::DataSetState;

class RecordDefaultsTest : public RecordsTest {
protected:
    // No stored text, number or boolean field of the current record is null.
    static void expectNoNulls(db::DataSet* ds)
    {
        for (int i = 0; i < ds->FieldCount(); ++i) {
            const db::Field* field = ds->FieldAt(i);
            if (field->Kind() != db::FieldKind::Data || field->BaseColumn().isEmpty())
                continue;
            switch (field->DataType()) {
            case db::FieldType::String:
            case db::FieldType::Integer:
            case db::FieldType::SmallInt:
            case db::FieldType::Float:
            case db::FieldType::Currency:
            case db::FieldType::Boolean:
                EXPECT_FALSE(field->IsNull()) << ds->objectName().toStdString() << "." << field->FieldName().toStdString();
                break;
            default: break;
            }
        }
    }
    void storeCounter(const char* column, const QString& value)
    {
        dm->Conn->exec(QStringLiteral("update t_snums set %1=$1 where akey=1").arg(QLatin1String(column)), {value});
    }
    QString counter(const char* column)
    {
        return scalar(QStringLiteral("select %1 from t_snums where akey=1").arg(QLatin1String(column))).toString();
    }
    int count(const char* table) { return scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))).toInt(); }
};

TEST_P(RecordDefaultsTest, ANewPropertyHasItsDefaultsAndNeedsADealKind)
{
    QSignalSpy started(dm.get(), &TDm::insertStarted);
    QSignalSpy ended(dm.get(), &TDm::insertEnded);
    QStringList titles = FeatureCaptions();
    titles[2] = QStringLiteral("پرده دار");
    ASSERT_TRUE(SaveFeatureCaptions(titles));

    db::DataSet* q = dm->QMelk;
    q->Append();
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0][0].value<db::DataSet*>(), q);
    for (int i = 0; i < FeatureCount; ++i) {
        EXPECT_FALSE(f(q, Features()[i].column)->AsBoolean()) << Features()[i].column;
        EXPECT_FALSE(f(q, Features()[i].column)->IsNull()) << Features()[i].column;
        EXPECT_EQ(s(q, Features()[i].titleColumn), FeatureCaption(i)) << Features()[i].titleColumn;
    }
    EXPECT_EQ(s(q, "pardeh_S"), QStringLiteral("پرده دار"));
    EXPECT_EQ(s(q, "azhayat_s"), QStringLiteral("درب از حياط"));
    for (const char* flagName : {"ForSell", "ForRahn", "ForEjareh", "Ab", "parking", "Hazfshodeh"})
        EXPECT_FALSE(f(q, flagName)->IsNull()) << flagName;
    EXPECT_EQ(f(q, "MantaghehID")->AsInteger(), 0);
    EXPECT_FALSE(f(q, "MantaghehID")->IsNull());
    EXPECT_EQ(s(q, "TarikhVoorod"), QStringLiteral("1403/01/06"));
    EXPECT_EQ(s(q, "tarikheraeh"), QStringLiteral("1403/01/06"));
    EXPECT_EQ(s(q, "SaatVoorod"), QStringLiteral("10:30"));

    // none of sale, mortgage or rent: the message, and nothing stored
    f(q, "MalekEsm")->SetAsString(QStringLiteral("احمدي"));
    EXPECT_THROW(dm->PostInTransaction(*q), db::Abort);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("لطفا فروشي ، رهني يا اجاره اي بودن مورد را مشخص کنيد"));
    EXPECT_EQ(prompter.calls[0].kind, 1);
    EXPECT_EQ(prompter.calls[0].buttons, 1);
    EXPECT_EQ(prompter.calls[0].caption, QString());
    EXPECT_EQ(q->State(), DataSetState::Insert);
    EXPECT_EQ(s(q, "MalekEsm"), QStringLiteral("احمدي"));
    EXPECT_EQ(count("T_Melk"), 0);
    EXPECT_EQ(ended.size(), 0);

    f(q, "ForRahn")->SetAsBoolean(true);
    dm->PostInTransaction(*q);
    EXPECT_EQ(count("T_Melk"), 1);
    EXPECT_EQ(ended.size(), 1);
    q->Reopen();
    ASSERT_EQ(q->RecordCount(), 1);
    expectNoNulls(q);
    EXPECT_EQ(s(q, "MalekHomeTel"), QString());
    EXPECT_EQ(f(q, "F1")->AsFloat(), 0.0);
    EXPECT_EQ(s(q, "pardeh_S"), QStringLiteral("پرده دار"));

    q->Append();
    q->Cancel();
    EXPECT_EQ(ended.size(), 2);
}

TEST_P(RecordDefaultsTest, ANewDemandHasItsDefaultsWithoutTitlesAndNeedsADealKind)
{
    QSignalSpy started(dm.get(), &TDm::insertStarted);
    db::DataSet* q = dm->QNiyaz;
    q->Append();
    EXPECT_EQ(started.size(), 1);
    for (const char* flagName : {"kharid", "Rahn", "Ejareh", "ab", "bargh", "gaz", "parking", "hayat", "anbary", "hazfshodeh"}) {
        EXPECT_FALSE(f(q, flagName)->IsNull()) << flagName;
        EXPECT_FALSE(f(q, flagName)->AsBoolean()) << flagName;
    }
    EXPECT_EQ(f(q, "MnId")->AsInteger(), 0);
    EXPECT_EQ(s(q, "tarikhv"), QStringLiteral("1403/01/06"));
    EXPECT_EQ(s(q, "tarikheraeh"), QStringLiteral("1403/01/06"));
    EXPECT_EQ(s(q, "saatv"), QStringLiteral("10:30"));

    EXPECT_THROW(q->Post(), db::Abort);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("لطفا خريد ، رهني يا اجاره اي بودن مورد را مشخص کنيد"));
    EXPECT_EQ(count("T_niyaz"), 0);

    f(q, "kharid")->SetAsBoolean(true);
    q->Post();
    q->Close();
    q->setSQL(QStringLiteral("select * from T_niyaz"));
    q->Open();
    ASSERT_EQ(q->RecordCount(), 1);
    expectNoNulls(q);
}

TEST_P(RecordDefaultsTest, ADealClaimsItsNumberAtTheFirstPost)
{
    QSignalSpy posted(dm.get(), &TDm::dealPosted);
    storeCounter("snum", QStringLiteral("4"));
    db::DataSet* q = dm->QSanad;
    dm->SanadNumberTyped = true;
    q->Append();
    EXPECT_FALSE(dm->SanadNumberTyped);
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("5"));   // shown, not claimed
    EXPECT_EQ(counter("snum"), QStringLiteral("4"));
    EXPECT_EQ(s(q, "TarikhV"), QStringLiteral("1403/01/06"));
    EXPECT_EQ(s(q, "saatv"), QStringLiteral("10:30"));
    for (const char* date : {"Tarikhsanad", "tarikhstart", "tarikhend"})
        EXPECT_EQ(s(q, date), QStringLiteral("1403/01/06")) << date;
    EXPECT_EQ(s(q, "Nov"), QStringLiteral("j"));
    EXPECT_EQ(f(q, "ownerPersonKind")->AsInteger(), 1);
    EXPECT_EQ(f(q, "ownerBuyerKind")->AsInteger(), 2);
    EXPECT_EQ(f(q, "custPersonKind")->AsInteger(), 1);
    EXPECT_EQ(f(q, "custBuyerKind")->AsInteger(), 2);

    // another workstation took 5 meanwhile
    storeCounter("snum", QStringLiteral("5"));
    dm->PostInTransaction(*q);
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("6"));
    EXPECT_EQ(counter("snum"), QStringLiteral("6"));
    EXPECT_EQ(posted.size(), 1);
    expectNoNulls(q);

    // editing a stored deal claims nothing
    q->Edit();
    f(q, "EsmMalek")->SetAsString(QStringLiteral("کريمي"));
    dm->PostInTransaction(*q);
    EXPECT_EQ(counter("snum"), QStringLiteral("6"));
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("6"));

    // a typed number is kept and numbering goes on after it
    q->Append();
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("7"));
    f(q, "shoomareh")->SetAsString(QStringLiteral("500"));
    dm->SanadNumberTyped = true;
    dm->PostInTransaction(*q);
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("500"));
    EXPECT_EQ(counter("snum"), QStringLiteral("500"));
    q->Append();
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("501"));
    q->Cancel();
    EXPECT_EQ(posted.size(), 3);
}

TEST_P(RecordDefaultsTest, ATypedDealNumberIsUndoneWithAFailedPost)
{
    storeCounter("snum", QStringLiteral("9"));
    db::DataSet* q = dm->QSanad;
    q->Append();
    f(q, "shoomareh")->SetAsString(QStringLiteral("300"));
    dm->SanadNumberTyped = true;
    dm->Conn->exec(QStringLiteral("create unique index t_sanad_esm on T_Sanad (EsmMalek)"));
    dm->Conn->exec(QStringLiteral("insert into T_Sanad (EsmMalek) values ('x')"));
    f(q, "EsmMalek")->SetAsString(QStringLiteral("x"));
    EXPECT_THROW(dm->PostInTransaction(*q), db::DbError);
    EXPECT_EQ(counter("snum"), QStringLiteral("9"));
    EXPECT_EQ(q->State(), DataSetState::Insert);
}

// A save that failed and is pressed again while another workstation saves too: the
// program's own claim is never taken for a typed number, so no number is handed out twice.
TEST_P(RecordDefaultsTest, ASaveTriedAgainNeverRepeatsANumberOfAnotherWorkstation)
{
    auto other = testDb().open();
    db::DataSet otherNums(other.get());
    otherNums.setSQL(QStringLiteral("select * from t_snums where akey=1"));
    dm->Conn->exec(QStringLiteral("create unique index t_sanad_esm on T_Sanad (EsmMalek)"));
    dm->Conn->exec(QStringLiteral("insert into T_Sanad (EsmMalek) values ('x')"));
    dm->Conn->exec(QStringLiteral("create unique index t_hazineh_name on t_hazineh (Hname)"));
    dm->Conn->exec(QStringLiteral("insert into t_hazineh (Hname) values ('x')"));

    // a deal saved on its own: its claim stands, and the retry keeps it
    storeCounter("snum", QStringLiteral("11"));
    db::DataSet* q = dm->QSanad;
    q->Append();
    f(q, "EsmMalek")->SetAsString(QStringLiteral("x"));
    EXPECT_THROW(q->Post(), db::DbError);
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("12"));
    EXPECT_EQ(IncrementCounter(otherNums, QStringLiteral("snum")), QStringLiteral("13"));
    f(q, "EsmMalek")->SetAsString(QStringLiteral("y"));
    dm->SanadNumberTyped = true;   // the form sees a number other than the one proposed
    q->Post();
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("12"));
    EXPECT_EQ(counter("snum"), QStringLiteral("13"));
    EXPECT_EQ(IncrementCounter(otherNums, QStringLiteral("snum")), QStringLiteral("14"));

    // an expense saved in a transaction: its claim goes with the failed save
    storeCounter("hnum", QStringLiteral("21"));
    db::DataSet* h = dm->QHazineh;
    h->Append();
    f(h, "Hname")->SetAsString(QStringLiteral("x"));
    EXPECT_THROW(dm->PostInTransaction(*h), db::DbError);
    EXPECT_EQ(counter("hnum"), QStringLiteral("21"));
    EXPECT_EQ(IncrementCounter(otherNums, QStringLiteral("hnum")), QStringLiteral("22"));
    f(h, "Hname")->SetAsString(QStringLiteral("y"));
    dm->HazinehNumberTyped = true;
    dm->PostInTransaction(*h);
    EXPECT_EQ(s(h, "shoomareh"), QStringLiteral("23"));
    EXPECT_EQ(counter("hnum"), QStringLiteral("23"));

    // a number typed below the counter is stored; the counter stays where it is
    storeCounter("hnum", QStringLiteral("3002"));
    h->Append();
    f(h, "Hname")->SetAsString(QStringLiteral("z"));
    f(h, "shoomareh")->SetAsString(QStringLiteral("2990"));
    dm->PostInTransaction(*h);
    EXPECT_EQ(s(h, "shoomareh"), QStringLiteral("2990"));
    EXPECT_EQ(counter("hnum"), QStringLiteral("3002"));
    h->Append();
    EXPECT_EQ(s(h, "shoomareh"), QStringLiteral("3003"));
    h->Cancel();
}

TEST_P(RecordDefaultsTest, AnExpenseNeedsItsNameAndClaimsItsNumber)
{
    QSignalSpy ended(dm.get(), &TDm::entryEnded);
    storeCounter("hnum", QStringLiteral("0041"));
    db::DataSet* q = dm->QHazineh;
    q->Append();
    EXPECT_EQ(s(q, "tarikhv"), QStringLiteral("1403/01/06"));
    EXPECT_EQ(s(q, "tarikh"), QStringLiteral("1403/01/06"));
    EXPECT_EQ(s(q, "nov"), QStringLiteral("هزينه"));
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("42"));

    EXPECT_THROW(dm->PostInTransaction(*q), db::Abort);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("نام هزينه وارد نشده است"));
    EXPECT_EQ(counter("hnum"), QStringLiteral("0041"));   // nothing claimed by a refused post
    EXPECT_EQ(ended.size(), 0);

    f(q, "Hname")->SetAsString(QStringLiteral("اجاره دفتر"));
    f(q, "Mablagh")->SetText(QStringLiteral("2,500,000"));
    dm->PostInTransaction(*q);
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("42"));
    EXPECT_EQ(counter("hnum"), QStringLiteral("42"));
    EXPECT_DOUBLE_EQ(scalar(QStringLiteral("select Mablagh from t_hazineh")).toDouble(), 2500000.0);
    EXPECT_EQ(ended.size(), 1);
    EXPECT_EQ(ended[0][0].value<db::DataSet*>(), q);
    expectNoNulls(q);

    q->Append();
    f(q, "Hname")->SetAsString(QStringLiteral("برق"));
    f(q, "shoomareh")->SetAsString(QStringLiteral("90"));
    dm->HazinehNumberTyped = true;
    dm->PostInTransaction(*q);
    EXPECT_EQ(counter("hnum"), QStringLiteral("90"));
    q->Append();
    EXPECT_FALSE(dm->HazinehNumberTyped);
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("91"));
    q->Cancel();
    EXPECT_EQ(ended.size(), 3);
}

TEST_P(RecordDefaultsTest, TheNextChequeTakesOverTheLastOne)
{
    QSignalSpy ended(dm.get(), &TDm::entryEnded);
    db::DataSet* q = dm->QCheck;
    q->Append();
    EXPECT_EQ(s(q, "Vaziyat"), QStringLiteral("پاس نشده"));
    EXPECT_EQ(s(q, "nov"), QStringLiteral("دريافتي"));
    EXPECT_EQ(s(q, "novsanad"), QStringLiteral("چک"));
    EXPECT_EQ(s(q, "Tarikhv"), QStringLiteral("1403/01/06"));
    EXPECT_FALSE(f(q, "hazf")->IsNull());
    EXPECT_FALSE(f(q, "hazf")->AsBoolean());

    // no date: a question-kind message
    EXPECT_THROW(q->Post(), db::Abort);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("تاريخ سند وارد نشده است"));
    EXPECT_EQ(prompter.calls[0].kind, 2);
    EXPECT_FALSE(LastChequeValues.set);

    f(q, "Tarikh")->SetAsString(QStringLiteral("1403/02/10"));
    f(q, "Vaziyat")->SetAsString(QStringLiteral("پاس شده"));
    f(q, "nov")->SetAsString(QStringLiteral("پرداختي"));
    f(q, "novsanad")->SetAsString(QStringLiteral("سفته"));
    f(q, "hesabno")->SetAsString(QStringLiteral("123-45"));
    f(q, "shoomareh")->SetAsString(QStringLiteral("0012"));
    q->Post();
    EXPECT_EQ(ended.size(), 1);
    expectNoNulls(q);

    const struct {
        const char* last;
        const char* next;
    } numbers[] = {{"0012", "13"}, {"A12", "A12"}, {"", "1"}, {"99999999999", "99999999999"}};
    for (const auto& n : numbers) {
        LastChequeValues.shoomareh = QString::fromUtf8(n.last);
        q->Append();
        EXPECT_EQ(s(q, "shoomareh"), QString::fromUtf8(n.next)) << n.last;
        EXPECT_EQ(s(q, "Vaziyat"), QStringLiteral("پاس شده"));
        EXPECT_EQ(s(q, "nov"), QStringLiteral("پرداختي"));
        EXPECT_EQ(s(q, "novsanad"), QStringLiteral("سفته"));
        EXPECT_EQ(s(q, "hesabno"), QStringLiteral("123-45"));
        q->Cancel();
    }

    // the largest 32-bit number goes on instead of turning negative
    LastChequeValues.shoomareh = QStringLiteral("2147483647");
    q->Append();
    EXPECT_EQ(s(q, "shoomareh"), QStringLiteral("2147483648"));
    q->Cancel();

}

TEST_P(RecordDefaultsTest, TypedAmountsLoseTheirSeparatorsAndEmptyIsZero)
{
    const struct {
        const char* typed;
        double stored;
    } cases[] = {{"1,250", 1250}, {"", 0}, {"-", 0}, {"+", 0}, {"1,250.5", 1250.5}, {"-3,000", -3000}};
    db::DataSet* q = dm->QCheck;
    q->Append();
    for (const char* name : {"mablagh"}) {
        for (const auto& c : cases) {
            f(q, name)->SetText(QString::fromUtf8(c.typed));
            EXPECT_FALSE(f(q, name)->IsNull()) << c.typed;
            EXPECT_DOUBLE_EQ(f(q, name)->AsFloat(), c.stored) << c.typed;
        }
    }
    q->Cancel();
    for (const auto& [ds, name] : std::vector<std::pair<db::DataSet*, const char*>>{
             {dm->QMelk, "GhymatHarMeter"}, {dm->QMelk, "f3_2"}, {dm->QNiyaz, "ghymat"}, {dm->QSanad, "customerDiscount"},
             {dm->QSanad, "Haghebongah"}, {dm->QHazineh, "Mablagh"}}) {
        ds->Append();
        f(ds, name)->SetText(QStringLiteral("12,345,678"));
        EXPECT_DOUBLE_EQ(f(ds, name)->AsFloat(), 12345678.0) << name;
        f(ds, name)->SetText(QString());
        EXPECT_FALSE(f(ds, name)->IsNull()) << name;
        ds->Cancel();
    }
}

// Every amount field holds four decimals: more typed is refused with the field's name and
// the decimals allowed, never rounded; the program's own values are rounded ties to even.
TEST_P(RecordDefaultsTest, AmountsTakeFourDecimalsAndRefuseMore)
{
    const std::vector<std::pair<db::DataSet*, std::vector<const char*>>> amounts = {
        {dm->QMelk, {"GhymatHarMeter", "F1", "F2", "F3", "f1_2", "f2_2", "f3_2"}},
        {dm->QNiyaz, {"f1", "f2", "f3", "f1_2", "f2_2", "f3_2", "ghymat"}},
        {dm->QSanad, {"rahn", "Ejareh", "foorosh", "Haghebongah", "ownerDiscount", "customerDiscount"}},
        {dm->QHazineh, {"Mablagh"}},
        {dm->QCheck, {"mablagh"}},
    };
    for (const auto& [ds, names] : amounts) {
        ds->Append();
        for (const char* name : names) {
            db::Field* a = f(ds, name);
            a->SetText(QStringLiteral("7"));
            for (const char* typed : {"0.12345", "2,500,000,000.55555", "-1.00001"}) {
                try {
                    a->SetText(QString::fromUtf8(typed));
                    ADD_FAILURE() << name << " took " << typed;
                } catch (const db::DbError& e) {
                    EXPECT_EQ(e.message(), QStringLiteral("«") + a->DisplayLabel() + QStringLiteral("»: حداکثر 4 رقم اعشار مجاز است"))
                        << name;
                }
                EXPECT_EQ(a->AsFloat(), 7.0) << name << " " << typed;
            }
            a->SetText(QStringLiteral("2,500,000,000.5555"));
            EXPECT_EQ(a->AsFloat(), 2500000000.5555) << name;
            a->SetText(QStringLiteral("0.12340"));   // a trailing zero is no fifth decimal
            EXPECT_EQ(a->AsFloat(), 0.1234) << name;
            a->SetText(QStringLiteral("۱,۲۵۰.۵"));
            EXPECT_EQ(a->AsFloat(), 1250.5) << name;
            // computed by the program: rounded to four places on the decimal value, ties to even
            a->SetAsFloat(0.12345);
            EXPECT_EQ(a->AsFloat(), 0.1234) << name;
            a->SetAsFloat(2500000000.55555);
            EXPECT_EQ(a->AsFloat(), 2500000000.5556) << name;
        }
        ds->Cancel();
    }

    // stored exactly on both engines
    db::DataSet* h = dm->QHazineh;
    h->Append();
    f(h, "Hname")->SetAsString(QStringLiteral("آب"));
    f(h, "Mablagh")->SetText(QStringLiteral("2,500,000,000.5555"));
    dm->PostInTransaction(*h);
    EXPECT_EQ(scalar(QStringLiteral("select Mablagh from t_hazineh")).toDouble(), 2500000000.5555);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_hazineh where Mablagh = 2500000000.5555")).toInt(), 1);

    // a date typed in Persian digits is a date
    db::DataSet* c = dm->QCheck;
    c->Append();
    prompter.calls.clear();
    f(c, "Tarikh")->SetText(QStringLiteral("۱۴۰۳/۰۵/۱۲"));
    EXPECT_EQ(s(c, "Tarikh"), QStringLiteral("1403/05/12"));
    EXPECT_TRUE(prompter.calls.isEmpty());
    c->Cancel();
}

TEST_P(RecordDefaultsTest, AWrongDateIsRefusedAndTheOldValueStays)
{
    const struct {
        db::DataSet* ds;
        const char* field;
    } dates[] = {{dm->QMelk, "tarikheraeh"}, {dm->QNiyaz, "tarikheraeh"}, {dm->QSanad, "Tarikhsanad"},
                 {dm->QSanad, "tarikhend"},  {dm->QHazineh, "tarikh"},    {dm->QCheck, "Tarikh"}};
    for (const auto& d : dates) {
        d.ds->Append();
        f(d.ds, d.field)->SetAsString(QStringLiteral("1403/05/31"));
        prompter.calls.clear();
        EXPECT_THROW(f(d.ds, d.field)->SetAsString(QStringLiteral("1403/07/31")), db::Abort) << d.field;
        EXPECT_EQ(s(d.ds, d.field), QStringLiteral("1403/05/31")) << d.field;
        ASSERT_EQ(prompter.calls.size(), 1) << d.field;
        EXPECT_EQ(prompter.calls[0].text, QStringLiteral("روز وارد شده درست نمي باشد"));
        // emptied: no date
        f(d.ds, d.field)->SetAsString(QString());
        EXPECT_EQ(s(d.ds, d.field), QString()) << d.field;
        d.ds->Cancel();
    }
}

TEST_P(RecordDefaultsTest, ARegionNeedsItsNameAndAUserStartsWithEveryRight)
{
    db::DataSet* q = dm->QMantagheh;
    q->Append();
    EXPECT_THROW(q->Post(), db::Abort);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("نام منطقه وارد نشده"));
    f(q, "Esm")->SetAsString(QStringLiteral("شمال"));
    q->Post();
    EXPECT_EQ(s(q, "Tozihat"), QString());
    EXPECT_FALSE(f(q, "Tozihat")->IsNull());

    db::DataSet* users = dm->UQ;
    users->Open();
    users->Append();
    for (const char* right : {"Sve", "lod", "Dels", "AMoojod", "ADarkhasti", "Moameleh", "Manategh", "Reps", "Hazineh",
                              "Dcheck", "Tels", "pref", "GhForms", "settarikh"})
        EXPECT_TRUE(f(users, right)->AsBoolean()) << right;
    EXPECT_TRUE(f(users, "Aks")->IsNull());
    EXPECT_THROW(users->Post(), db::Abort);
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("نام کاربر وارد نشده است"));
    f(users, "Esm")->SetAsString(QStringLiteral("مدير"));
    users->Post();
    EXPECT_EQ(dm->UserConn->scalar(QStringLiteral("select count(*) from tunames where Dels<>0 and settarikh<>0")).toInt(), 1);
}

TEST_P(RecordDefaultsTest, PhoneBookAndTemplatesAreFilledAndEntryWindowsClose)
{
    QSignalSpy ended(dm.get(), &TDm::entryEnded);
    dm->QTels->Open();
    dm->QTels->Append();
    f(dm->QTels, "Esm")->SetAsString(QStringLiteral("رضايي"));
    dm->QTels->Post();
    expectNoNulls(dm->QTels);
    dm->QTels->Append();
    dm->QTels->Cancel();
    ASSERT_EQ(ended.size(), 2);
    EXPECT_EQ(ended[1][0].value<db::DataSet*>(), dm->QTels);

    dm->QGhovL->Append();
    dm->QGhovL->Post();
    EXPECT_EQ(s(dm->QGhovL, "esm"), QString());
    EXPECT_FALSE(f(dm->QGhovL, "esm")->IsNull());
    EXPECT_TRUE(f(dm->QGhovL, "ghtxt")->IsNull());   // memo stays null
}

TEST_P(RecordDefaultsTest, ARowWithoutADateIsStillSaved)
{
    // an older row without its date: filling the empty date does not trip the date check
    dm->Conn->exec(QStringLiteral("insert into T_Sanad (EsmMalek) values ('x')"));
    dm->QSanad->Reopen();
    dm->QSanad->Edit();
    f(dm->QSanad, "EsmMalek")->SetAsString(QStringLiteral("y"));
    dm->PostInTransaction(*dm->QSanad);
    EXPECT_EQ(scalar(QStringLiteral("select tarikhend from T_Sanad")).toString(), QString());
}

DOVIN_INSTANTIATE_ENGINES(RecordDefaultsTest);

} // namespace
