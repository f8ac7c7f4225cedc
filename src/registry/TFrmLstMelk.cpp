#include "registry/TFrmLstMelk.h"

#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/FieldLink.h"
#include "registry/Matching.h"
#include "registry/TFRmMelk.h"
#include "registry/TfrmDocs.h"
#include "ui/TTools.h"
#include "ui_TFrmLstMelk.h"

#include <QMenu>

TFrmLstMelk* FrmLstMelk = nullptr;

namespace {

const TRecordList::Column kColumns[] = {
    {"row", "رديف", 32, true},          {"tarikheraeh", "تاريخ ارائه", 80, true},
    {"ForSell", "فروش", 40, true},       {"ForRahn", "رهن", 40, true},
    {"ForEjareh", "اجاره", 40, true},    {"NovMelk", "نوع ملک", 80, true},
    {"MalekEsm", "نام مالک", 110, true}, {"calmalektels", "تلفن هاي مالک", 150, true},
    {"Masahat", "مساحت", 60, true},      {"lkmn", "منطقه", 80, true},
    {"Mahal", "محل", 80, true},          {"Tabagheh", "طبقه", 40, true},
    {"tedadtel", "تعدادتلفن", 60, true}, {"TedadOtagh", "تعداداتاق", 60, true},
    {"Arz", "عرض", 50, true},            {"ZirBana", "زير بنا", 60, true},
    {"calf1", "شرط1", 151, true},        {"calf2", "شرط2", 151, true},
    {"calf3", "شرط3", 151, true},        {"NovSanad", "نوع سند", 80, true},
    {"Vaziyat", "وضعيت ملک", 80, true},  {"mo", "مشخصه", 60, true},
    {"zabeteh", "ضابطه", 60, true},      {"Tozihat", "توضيحات", 150, false},
    {"SayerEmkanat", "ساير امکانات", 150, true},
};

const char* const kSearchTitles[] = {"تاريخ ارائه", "نوع ملک", "نام مالک", "مساحت", "محل", "طبقه",
                                     "تعدادتلفن", "تعداداتاق", "عرض", "زير بنا", "نوع سند", "وضعيت ملک",
                                     "مشخصه", "ضابطه", "توضيحات", "ساير امکانات"};

// A typed amount or count as a number in SQL; false when it is none.
bool sqlNumber(const QString& typed, QString* out)
{
    bool ok = false;
    const double v = TTools::StrToFloatSafe(TTools::StripThousands(typed.trimmed()), &ok);
    if (!ok)
        return false;
    *out = TTools::FloatToStr(v);
    return true;
}

} // namespace

TFrmLstMelk::TFrmLstMelk(QWidget* parent) : TRecordList(parent), ui(std::make_unique<Ui::TFrmLstMelk>())
{
    ui->setupUi(this);
    Design d;
    d.dataSet = [] { return Dm ? Dm->QMelk : nullptr; };
    d.recordForm = [] { return FRmMelk; };
    d.layoutKey = QStringLiteral("GMelk");
    d.key = QStringLiteral("MID");
    d.columns.assign(std::begin(kColumns), std::end(kColumns));
    d.searchTitles.assign(std::begin(kSearchTitles), std::end(kSearchTitles));
    d.dealFields = {QStringLiteral("ForSell"), QStringLiteral("ForRahn"), QStringLiteral("ForEjareh")};
    d.personFields = {QStringLiteral("MalekEsm"), QStringLiteral("calmalektels")};
    d.leftFields = {QStringLiteral("MalekEsm"), QStringLiteral("Tozihat"), QStringLiteral("SayerEmkanat")};
    d.cards = {{"تاريخ ارائه", "tarikheraeh"}, {"نوع ملک", "NovMelk"}, {"تلفن هاي مالک", "calmalektels"},
               {"نام مالک", "MalekEsm"}, {"مساحت", "Masahat"}, {"عرض", "Arz"}, {"زيربنا", "ZirBana"},
               {"منطقه", "lkmn"}, {"محل", "Mahal"}, {"طبقه", "Tabagheh"}, {"تعدادتلفن", "tedadtel"},
               {"تعداداتاق", "TedadOtagh"}, {"شرط1", "calf1"}, {"شرط2", "calf2"}, {"شرط3", "calf3"}};
    d.cardsInThrees = 12;
    d.cardBoxes = {{"فروش", "ForSell"}, {"رهن", "ForRahn"}, {"اجاره", "ForEjareh"}};
    d.panel1Section = QStringLiteral("frmlstmelkPanel1");
    d.panel4Section = MatchStateSection(TMatchDirection::PropertyToDemands);
    d.storedLists = {ui->dbcombobox1, ui->DBComboBox7, ui->DBComboBox8, ui->DBComboBox6};
    d.printTitle = QStringLiteral("ليست املاک موجود");
    setupList(Parts::Of(ui.get()), d);

    QAction* prntel = gridMenu()->addAction(QStringLiteral("تلفن چاپ شود"));
    prntel->setObjectName(QStringLiteral("mnuprntel"));
    prntel->setCheckable(true);

    EnableWith(ui->chkzabete, {ui->edtzabeteh});
    EnableWith(ui->chkmo, {ui->edtmo});
    EnableWith(ui->chknovmelk, {ui->dbcombobox1});
    EnableWith(ui->chkmahal, {ui->DBComboBox6});
    EnableWith(ui->chkotagh, {ui->edtotagh});
    EnableWith(ui->chknovsanad, {ui->DBComboBox7});
    EnableWith(ui->chkvaziyatmelk, {ui->DBComboBox8});
    watchMoney(ui->edtf, 15, true);
    watchMoney(ui->edtotagh, 15, true);
    connect(ui->edtotagh, &QLineEdit::editingFinished, this, [this] {
        if (ui->edtotagh->text().isEmpty())
            ui->edtotagh->setText(QStringLiteral("0"));
    });
    setWindowTitle(QStringLiteral("املاک موجود"));
}

TFrmLstMelk::~TFrmLstMelk() = default;

QString TFrmLstMelk::CriteriaSql() const
{
    QString s = QStringLiteral("select * from t_melk");
    bool joined = false;
    const auto add = [&](const QString& clause) {
        s += (joined ? QStringLiteral(" and ") : QStringLiteral(" where ")) + clause;
        joined = true;
    };
    const auto flag = [](const char* column, bool on) { return db::BoolIs(QLatin1String(column), on); };

    // both ticked: deleted or not, every property
    if (ui->ChkDel->isChecked() != ui->ChkNotdel->isChecked())
        add(flag("hazfshodeh", ui->ChkDel->isChecked()));
    if (ui->chktarikh->isChecked())
        add(QStringLiteral("TarikhEraeh between ") + db::Q(ui->edtt1->BlankedText()) + QStringLiteral(" and ")
            + db::Q(ui->edtt2->BlankedText()));
    if (ui->chkre->isChecked()) {
        add(QStringLiteral(" (forrahn<>0 or forejareh<>0) "));
    } else if (!(ui->chksell->isChecked() && ui->ChkRahn->isChecked() && ui->ChkEjareh->isChecked())) {
        QString kinds;
        if (ui->chksell->isChecked())
            kinds = QStringLiteral(" forsell<>0 ");
        if (ui->ChkRahn->isChecked() || ui->ChkEjareh->isChecked()) {
            if (ui->chksell->isChecked())
                kinds += QStringLiteral(" or ");
            kinds += QLatin1Char(' ') + flag("forrahn", ui->ChkRahn->isChecked()) + QStringLiteral(" and ")
                     + flag("forejareh", ui->ChkEjareh->isChecked());
        }
        // no box ticked: no condition on the deal kind
        if (!kinds.isEmpty())
            add(QLatin1Char('(') + kinds + QLatin1Char(')'));
    }
    if (ui->chkf->isChecked()) {
        QString a, b;
        if (!sqlNumber(ui->edtf->text(), &a) || !sqlNumber(ui->edtr->text(), &b)) {
            AskMessage(QStringLiteral("لطفا حدود قيمت را به صورت عدد وارد نماييد"), 1, 1);
            return {};
        }
        const QString range = QStringLiteral(" between ") + a + QStringLiteral(" and ") + b;
        add(QStringLiteral("(f1") + range + QStringLiteral(" or f1_2") + range + QStringLiteral(" or f2") + range
            + QStringLiteral(" or f2_2") + range + QStringLiteral(" or f3") + range + QStringLiteral(" or f3_2") + range
            + QLatin1Char(')'));
    }
    if (ui->chknovmelk->isChecked())
        add(QStringLiteral("novmelk=") + db::Q(ui->dbcombobox1->currentText()));
    if (ui->chkmahal->isChecked())
        add(QStringLiteral("mahal=") + db::Q(ui->DBComboBox6->currentText()));
    if (ui->chkotagh->isChecked()) {
        QString n;
        if (!sqlNumber(ui->edtotagh->text(), &n)) {
            AskMessage(QStringLiteral("لطفا تعداد اتاق را به صورت عدد وارد نماييد"), 1, 1);
            return {};
        }
        add(QStringLiteral("TedadOtagh=") + n);
    }
    if (ui->chknovsanad->isChecked())
        add(QStringLiteral("novsanad=") + db::Q(ui->DBComboBox7->currentText()));
    if (ui->chkvaziyatmelk->isChecked())
        add(QStringLiteral("Vaziyat=") + db::Q(ui->DBComboBox8->currentText()));
    if (ui->chkmn->isChecked()) {
        const QVariant key = ui->DBLookupComboBox1->KeyValue();
        if (!key.isNull() && key.isValid())
            add(QStringLiteral("MantaghehID=") + QString::number(key.toLongLong()));
    }
    if (ui->chkzabete->isChecked())
        add(QStringLiteral("zabeteh=") + db::Q(ui->edtzabeteh->text()));
    if (ui->chkmo->isChecked())
        add(QStringLiteral("mo=") + db::Q(ui->edtmo->text()));
    return s;
}

void TFrmLstMelk::btnokClick()
{
    if (!Dm)
        return;
    MatchMode = 0;
    const QString sql = CriteriaSql();
    if (sql.isEmpty())
        return;
    // what is being typed on the property form is saved or dropped first, never lost
    if (!askSaveRecord())
        return;
    ui->Panel1->hide();
    reopen(sql);
}

void TFrmLstMelk::btndelClick()
{
    if (!Dm)
        return;
    frame()->DeleteCurrent(windowTitle(), QStringLiteral("آيا رديف انتخاب شده حذف شود؟"), 8,
                          [] { DeleteProperty(*Dm->QMelk); });
}

void TFrmLstMelk::BitBtn1Click()
{
    AskMessage(QStringLiteral("براي چاپ شدن/نشدن تلفن هاي مالک برروي ليست کليک سمت راست نماييد."), 1, 1);
    shell::MessageRequest r;
    r.kind = 2;
    r.text = QStringLiteral("آيا تمامي رديف ها چاپ شوند؟");
    r.buttons = 4 | 8 | 2;
    r.fontSize = 8;
    const int answer = shell::prompter().messageDlg(r);
    if (answer != shell::ResultYes && answer != shell::ResultNo)
        return;
    const QAction* prntel = findChild<QAction*>(QStringLiteral("mnuprntel"));
    if (ShowPropertyListing)
        ShowPropertyListing(prntel && prntel->isChecked(), answer == shell::ResultYes);
}
