#include "registry/Matching.h"

#include "core/AppGlobals.h"
#include "platform/db/DataSet.h"
#include "platform/db/Errors.h"
#include "platform/db/Sql.h"
#include "forms/FormShared.h"
#include "ui/Dialogs.h"
#include "ui/TTools.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QWidget>

namespace {

const QString kSale = QStringLiteral("فروش");
const QString kBuy = QStringLiteral("خريد");
const QString kRahn = QStringLiteral("رهن");
const QString kEjareh = QStringLiteral("اجاره");
const QString kFullRent = QStringLiteral("اجاره کامل");
const QString kRahnEjareh = QStringLiteral("رهن و اجاره");

// Field names of the source record and clause texts of each direction.
struct Side {
    const char* sell;
    const char* rahn;
    const char* ejareh;
    const char* novMelk;
    const char* rooms;
    const char* livingArea;
    const char* area;
    const char* floor;
    const char* tel;
    const char* type[3];
    const char* amount[3];
    const char* amount2[3];
};

const Side kProperty = {"ForSell",  "ForRahn",  "ForEjareh", "NovMelk",  "TedadOtagh",
                        "ZirBana",  "Masahat",  "Tabagheh",  "tedadtel", {"F1type", "F2Type", "F3Type"},
                        {"F1", "F2", "F3"},     {"f1_2", "f2_2", "f3_2"}};
const Side kDemand = {"kharid",  "Rahn",    "Ejareh",   "novmelk",  "otagh",
                      "zirbana", "masahat", "tabagheh", "tedadtel", {"f1type", "f2type", "f3type"},
                      {"f1", "f2", "f3"},   {"f1_2", "f2_2", "f3_2"}};

class OverrideCursor {
public:
    OverrideCursor()
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            on_ = true;
        }
    }
    ~OverrideCursor()
    {
        if (on_)
            QGuiApplication::restoreOverrideCursor();
    }

private:
    bool on_ = false;
};

QString num(double v) { return TTools::FloatToStr(v); }
QString num(qint64 v) { return QString::number(v); }

// " f1 between lo and hi or ... or f3_2 between lo and hi", bounds of 0 or less written as 1.
QString rangePiece(QString& joiner, double amount, double flex)
{
    QString lo = num(amount - flex);
    QString hi = num(amount + flex);
    if (TTools::StrToFloatSafe(lo) <= 0)
        lo = QStringLiteral("1");
    if (TTools::StrToFloatSafe(hi) <= 0)
        hi = QStringLiteral("1");
    QString s = joiner;
    bool first = true;
    for (const char* f : {"f1", "f1_2", "f2", "f2_2", "f3", "f3_2"}) {
        s += first ? QStringLiteral(" ") : QStringLiteral(" or ");
        first = false;
        s += QLatin1String(f) + QStringLiteral(" between ") + lo + QStringLiteral(" and ") + hi;
    }
    joiner = QStringLiteral(" or ");
    return s;
}

bool parseInt(const QString& text, const QString& what, qint64* out, QString* error)
{
    bool ok = false;
    *out = TTools::StrToInt64Safe(text, &ok);
    if (!ok)
        *error = QStringLiteral("انعطاف پذيري «") + what + QStringLiteral("» عدد صحيح معتبري نيست: ") + text;
    return ok;
}

bool parseFloat(const QString& text, const QString& what, double* out, QString* error)
{
    bool ok = false;
    *out = TTools::StrToFloatSafe(text, &ok);
    if (!ok)
        *error = QStringLiteral("انعطاف پذيري «") + what + QStringLiteral("» عدد معتبري نيست: ") + text;
    return ok;
}

bool checked(const QWidget* panel, const char* name, bool def)
{
    const auto* c = panel->findChild<QCheckBox*>(QString::fromLatin1(name));
    return c ? c->isChecked() : def;
}

QString text(const QWidget* panel, const char* name, const QString& def)
{
    const auto* e = panel->findChild<QLineEdit*>(QString::fromLatin1(name));
    return e ? e->text() : def;
}

} // namespace

TMatchPanelState ReadMatchPanel(const QWidget* panel)
{
    TMatchPanelState s;
    if (!panel)
        return s;
    s.chkRequest = checked(panel, "chkRequest", s.chkRequest);
    s.ChkType = checked(panel, "ChkType", s.ChkType);
    s.chkQuarter = checked(panel, "chkQuarter", s.chkQuarter);
    s.chkRoom = checked(panel, "chkRoom", s.chkRoom);
    s.chkLivingArea = checked(panel, "chkLivingArea", s.chkLivingArea);
    s.chkArea = checked(panel, "chkArea", s.chkArea);
    s.chkFloor = checked(panel, "chkFloor", s.chkFloor);
    s.chkTel = checked(panel, "chkTel", s.chkTel);
    s.chkTempDel = checked(panel, "chkTempDel", s.chkTempDel);
    s.chkSellMatch = checked(panel, "chkSellMatch", s.chkSellMatch);
    s.ChkMortgage = checked(panel, "ChkMortgage", s.ChkMortgage);
    s.chkRent = checked(panel, "chkRent", s.chkRent);
    s.edtRoomFlexability = text(panel, "edtRoomFlexability", s.edtRoomFlexability);
    s.edtLivingArea = text(panel, "edtLivingArea", s.edtLivingArea);
    s.EdtArea = text(panel, "EdtArea", s.EdtArea);
    s.edtFloor = text(panel, "edtFloor", s.edtFloor);
    s.edtTel = text(panel, "edtTel", s.edtTel);
    s.edtSellMatch = text(panel, "edtSellMatch", s.edtSellMatch);
    s.edtMortgage = text(panel, "edtMortgage", s.edtMortgage);
    s.edtRent = text(panel, "edtRent", s.edtRent);
    return s;
}

bool ParseMatchFlexibility(const TMatchPanelState& p, TMatchFlexibility* out, QString* error)
{
    TMatchFlexibility f;
    QString e;
    bool ok = (!p.chkRoom || parseInt(p.edtRoomFlexability, QStringLiteral("تعداد اتاق"), &f.room, &e))
              && (!p.chkLivingArea || parseFloat(p.edtLivingArea, QStringLiteral("زيربنا"), &f.livingArea, &e))
              && (!p.chkArea || parseFloat(p.EdtArea, QStringLiteral("مساحت"), &f.area, &e))
              && (!p.chkFloor || parseInt(p.edtFloor, QStringLiteral("طبقه"), &f.floor, &e))
              && (!p.chkTel || parseInt(p.edtTel, QStringLiteral("تعداد تلفن"), &f.tel, &e))
              && (!p.chkSellMatch || parseFloat(p.edtSellMatch, QStringLiteral("قيمت فروش/خريد"), &f.sell, &e))
              && (!p.ChkMortgage || parseFloat(p.edtMortgage, QStringLiteral("قيمت رهن"), &f.mortgage, &e))
              && (!p.chkRent || parseFloat(p.edtRent, QStringLiteral("قيمت اجاره"), &f.rent, &e));
    if (!ok) {
        if (error)
            *error = e;
        return false;
    }
    if (out)
        *out = f;
    return true;
}

TMatchRecord MatchRecordOf(TMatchDirection direction, const db::DataSet& source)
{
    const Side& s = direction == TMatchDirection::PropertyToDemands ? kProperty : kDemand;
    const auto field = [&](const char* name) { return source.FieldByName(QString::fromLatin1(name)); };
    TMatchRecord r;
    r.sell = field(s.sell)->AsBoolean();
    r.rahn = field(s.rahn)->AsBoolean();
    r.ejareh = field(s.ejareh)->AsBoolean();
    r.novMelk = field(s.novMelk)->AsString();
    if (const db::Field* f = source.FindField(QStringLiteral("lkmn")))
        r.region = f->AsString();
    r.rooms = field(s.rooms)->AsLargeInt();
    r.livingArea = field(s.livingArea)->AsFloat();
    r.area = field(s.area)->AsFloat();
    r.floor = field(s.floor)->AsLargeInt();
    r.tel = field(s.tel)->AsLargeInt();
    for (int i = 0; i < 3; ++i) {
        r.type[i] = field(s.type[i])->AsString();
        r.amount[i] = field(s.amount[i])->AsFloat();
        r.amount2[i] = field(s.amount2[i])->AsFloat();
    }
    return r;
}

QString BuildMatchStatement(TMatchDirection direction, const TMatchRecord& r, const TMatchPanelState& p,
                            const TMatchFlexibility& flex)
{
    const bool toDemands = direction == TMatchDirection::PropertyToDemands;
    const auto flag = [](const char* column, bool b) { return db::BoolIs(QLatin1String(column), b); };

    QString s = toDemands ? QStringLiteral("select * from T_Niyaz") : QStringLiteral("select * from T_Melk");
    QString j = QStringLiteral(" where ");
    const auto add = [&](const QString& clause) {
        s += j + clause;
        j = QStringLiteral(" and ");
    };
    const auto range = [&](const char* column, const QString& lo, const QString& hi) {
        const QString c = QLatin1String(column);
        add(QStringLiteral(" ") + c + QStringLiteral(" >= ") + lo + QStringLiteral(" and ") + c + QStringLiteral(" <= ")
            + hi);
    };

    if (p.chkRequest) {
        if (toDemands)
            add(QLatin1Char(' ') + flag("kharid", r.sell) + QStringLiteral(" and ") + flag("Rahn", r.rahn)
                + QStringLiteral(" and ") + flag("Ejareh", r.ejareh));
        else
            add(QLatin1Char(' ') + flag("forSell", r.sell) + QStringLiteral(" and ") + flag("forRahn", r.rahn)
                + QStringLiteral(" and ") + flag("forEjareh", r.ejareh));
    }
    if (p.ChkType)
        add(QLatin1Char(' ') + db::Like(QStringLiteral("novMelk"), QStringLiteral("%") + r.novMelk + QStringLiteral("%")));
    if (p.chkQuarter)
        add((toDemands ? QStringLiteral(" mnID") : QStringLiteral(" mantaghehID"))
            + QStringLiteral(" in (select mnid from T_manategh where esm = ") + db::Q(r.region) + QStringLiteral(") "));
    if (p.chkRoom)
        range(toDemands ? "otagh" : "tedadOtagh", num(r.rooms - flex.room), num(r.rooms + flex.room));
    if (p.chkLivingArea)
        range("zirBana", num(r.livingArea - flex.livingArea), num(r.livingArea + flex.livingArea));
    if (p.chkArea)
        range("masahat", num(r.area - flex.area), num(r.area + flex.area));
    if (p.chkFloor)
        range("tabagheh", num(r.floor - flex.floor), num(r.floor + flex.floor));
    if (p.chkTel)
        range("tedadTel", num(r.tel - flex.tel), num(r.tel + flex.tel));
    if (!p.chkTempDel)
        add(QLatin1Char(' ') + flag("hazfshodeh", false) + QLatin1Char(' '));

    // Price groups: written only when some condition type qualifies.
    const QString saleWord = toDemands ? kSale : kBuy;
    const auto group = [&](const std::function<bool(const QString&)>& qualifies,
                           const std::function<void(int, QString&, QString&)>& pieces) {
        bool any = false;
        for (const QString& t : r.type)
            any = any || qualifies(t);
        if (!any)
            return;
        QString g = QStringLiteral(" ( ");
        QString c;
        for (int i = 0; i < 3; ++i)
            pieces(i, g, c);
        add(g + QStringLiteral(" ) "));
    };
    if (p.chkSellMatch)
        group([&](const QString& t) { return t == saleWord; },
              [&](int i, QString& g, QString& c) {
                  if (r.type[i] == saleWord)
                      g += rangePiece(c, r.amount[i], flex.sell);
              });
    if (p.ChkMortgage)
        group([&](const QString& t) { return t.contains(kRahn); },
              [&](int i, QString& g, QString& c) {
                  if (!r.type[i].contains(kRahn))
                      return;
                  g += rangePiece(c, r.amount[i], flex.mortgage);
                  if (p.chkRent && r.type[i] == kRahnEjareh)
                      g += rangePiece(c, r.amount2[i], flex.rent);
              });
    if (p.chkRent)
        group([&](const QString& t) { return t.contains(kEjareh); },
              [&](int i, QString& g, QString& c) {
                  if (r.type[i] == kFullRent) {
                      g += rangePiece(c, r.amount[i], flex.rent);
                  } else if (r.type[i].contains(kEjareh)) {
                      g += rangePiece(c, r.amount2[i], flex.rent);
                      if (p.ChkMortgage)
                          g += rangePiece(c, r.amount[i], flex.mortgage);
                  }
              });
    return s;
}

QString MatchStateFile()
{
    return TTools::AppPath() + QStringLiteral("matchState.ini");
}

QString MatchStateSection(TMatchDirection direction)
{
    return direction == TMatchDirection::PropertyToDemands ? QStringLiteral("frmlstmelkPanel4")
                                                           : QStringLiteral("frmlstniyazPanel4");
}

bool RunMatch(TMatchDirection direction, db::DataSet& source, const TMatchPanelState& panel,
              const std::function<void()>& savePanel, const QString& caption, const TMatchTarget& target)
{
    if (!source.Active() || source.IsEmpty()) {
        ShowMessageDlg(dkInfo, QString(), QStringLiteral("هيچ رديفي انتخاب نشده است"), dbOk, 8);
        return false;
    }
    OverrideCursor cursor;

    // Checked before anything is closed, so a bad value loses nothing.
    TMatchFlexibility flex;
    QString error;
    if (!ParseMatchFlexibility(panel, &flex, &error)) {
        ShowMessageDlg(dkInfo, caption, error, dbOk, 8);
        return false;
    }
    db::DataSet& ds = *target.dataSet;
    if (!AskSavePending(&ds, caption))
        return false;
    const TMatchRecord record = MatchRecordOf(direction, source);

    if (target.closeList)
        target.closeList();
    if (target.setMatchMode)
        target.setMatchMode(1);
    if (savePanel)
        savePanel();

    const QString previous = ds.SQL();
    ds.Close();
    // the same rows in the same order on every engine
    ds.setSQL(db::OrderedByKey(BuildMatchStatement(direction, record, panel, flex),
                               direction == TMatchDirection::PropertyToDemands ? QStringLiteral("NizId")
                                                                                : QStringLiteral("MID")));
    try {
        ds.Open();
    } catch (const db::DbError& e) {
        // The list keeps its former rows.
        ds.setSQL(previous);
        try {
            ds.Open();
        } catch (const db::DbError&) {
        }
        const QString text = db::textToShow(e);
        if (!text.isEmpty())
            ShowMessageDlg(dkError, caption, QStringLiteral("خطايي در روند برنامه پيش آمد") + QLatin1Char('\n') + text,
                           dbOk, 8);
        return false;
    }
    if (target.showList)
        target.showList();
    return true;
}
