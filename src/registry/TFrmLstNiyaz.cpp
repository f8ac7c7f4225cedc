#include "registry/TFrmLstNiyaz.h"

#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/FieldLink.h"
#include "registry/DemandSearch.h"
#include "registry/Matching.h"
#include "registry/TFrmDarkhasti.h"
#include "registry/TFrmLstMelk.h"
#include "registry/TFrmNiyaz.h"
#include "registry/TFrmPrnmoojod.h"
#include "ui/GridHelpers.h"
#include "ui/TTools.h"
#include "ui_TFrmLstMelk.h"
#include "ui_TFrmLstNiyaz.h"


TFrmLstNiyaz* FrmLstNiyaz = nullptr;

namespace {

const TRecordList::Column kColumns[] = {
    {"row", "رديف", 35, true},          {"tarikheraeh", "تاريخ ارائه", 80, true}, {"kharid", "خريد", 40, true},
    {"Rahn", "رهن", 40, true},          {"Ejareh", "اجاره", 40, true},            {"novmelk", "نوع ملک", 80, true},
    {"Esm", "مستاجر/خريدار", 110, true}, {"calcust", "تلفن شخص", 150, true},      {"zirbana", "زيربنا", 60, true},
    {"otagh", "تعداداتاق", 60, true},    {"masahat", "مساحت", 60, true},           {"tabagheh", "طبقه", 40, true},
    {"tedadtel", "تعدادتلفن", 60, true}, {"CalF1", "شرط1", 132, true},             {"calf2", "شرط2", 132, true},
    {"calf3", "شرط3", 132, true},        {"lkmn", "منطقه", 80, true},              {"Tozihat", "توضيحات", 150, true},
};

const char* const kSearchTitles[] = {"تاريخ ارائه", "نوع ملک", "مستاجر/خريدار", "مساحت",   "طبقه",
                                     "تعدادتلفن",   "تعداداتاق", "زيربنا",        "توضيحات"};

// The property list's match run: the current property against the demands.
void matchPropertyToDemands()
{
    if (!FrmLstMelk || !FrmLstNiyaz || !Dm)
        return;
    Ui::TFrmLstMelk* ui = FrmLstMelk->form();
    widgets::guarded([&] {
        RunMatch(TMatchDirection::PropertyToDemands, *Dm->QMelk, ReadMatchPanel(ui->Panel4),
                 [ui] { SavePanelState(MatchStateFile(), MatchStateSection(TMatchDirection::PropertyToDemands), ui->Panel4); },
                 FrmLstMelk->windowTitle(), FrmLstNiyaz->MatchTarget());
    });
}

} // namespace

void ConnectPropertyListMatching()
{
    if (!FrmLstMelk)
        return;
    QObject::connect(FrmLstMelk->form()->BitBtn5, &QPushButton::clicked, FrmLstMelk, [] { matchPropertyToDemands(); });
    FrmLstMelk->ShowPropertyListing = [](bool printPhones, bool allRows) {
        TFrmPrnmoojod listing;
        listing.PrintPhones = printPhones;
        listing.AllRows = allRows;
        widgets::guarded([&] { listing.Preview(); });
    };
}

TFrmLstNiyaz::TFrmLstNiyaz(QWidget* parent) : TRecordList(parent), ui(std::make_unique<Ui::TFrmLstNiyaz>())
{
    ui->setupUi(this);
    Design d;
    d.dataSet = [] { return Dm ? Dm->QNiyaz : nullptr; };
    d.recordForm = [] { return FrmNiyaz; };
    d.layoutKey = QStringLiteral("GNiyaz");
    d.key = QStringLiteral("NizId");
    d.columns.assign(std::begin(kColumns), std::end(kColumns));
    d.searchTitles.assign(std::begin(kSearchTitles), std::end(kSearchTitles));
    d.dealFields = {QStringLiteral("kharid"), QStringLiteral("Rahn"), QStringLiteral("Ejareh")};
    d.personFields = {QStringLiteral("Esm"), QStringLiteral("calcust")};
    d.leftFields = {QStringLiteral("Esm"), QStringLiteral("Tozihat")};
    d.dateField = QStringLiteral("tarikheraeh");
    d.cards = {{"تاريخ ارائه", "tarikheraeh"}, {"نوع ملک", "NovMelk"}, {"تلفن هاي مستاجر / خريدار", "calcust"},
               {"نام شخص", "Esm"}, {"مساحت", "masahat"}, {"زيربنا", "zirbana"}, {"طبقه", "Tabagheh"},
               {"تعدادتلفن", "tedadtel"}, {"تعداداتاق", "otagh"}, {"شرط1", "calf1"}, {"شرط2", "calf2"},
               {"شرط3", "calf3"}};
    d.cardsInThrees = 9;
    d.cardBoxes = {{"خريد", "kharid"}, {"رهن", "Rahn"}, {"اجاره", "Ejareh"}};
    d.panel1Section = QStringLiteral("frmlstniyazPanel1");
    d.panel4Section = MatchStateSection(TMatchDirection::DemandToProperties);
    d.printTitle = QStringLiteral("املاک درخواستي");
    // edtf takes any key here; the search refuses a text that is no number
    setupList(Parts::Of(ui.get()), d);
    connect(ui->BitBtn5, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    setWindowTitle(QStringLiteral("ليست املاک درخواستي"));
}

TFrmLstNiyaz::~TFrmLstNiyaz() = default;

TDemandCriteria TFrmLstNiyaz::Criteria() const
{
    TDemandCriteria c;
    c.ChkDel = ui->ChkDel->isChecked();
    c.ChkNotdel = ui->ChkNotdel->isChecked();
    c.chktarikh = ui->chktarikh->isChecked();
    c.edtt1 = ui->edtt1->BlankedText();
    c.edtt2 = ui->edtt2->BlankedText();
    c.chksell = ui->chksell->isChecked();
    c.ChkRahn = ui->ChkRahn->isChecked();
    c.ChkEjareh = ui->ChkEjareh->isChecked();
    c.chkre = ui->chkre->isChecked();
    c.chkf = ui->chkf->isChecked();
    c.edtf = ui->edtf->text();
    c.edtr = ui->edtr->text();
    c.chkmn = ui->chkmn->isChecked();
    c.region = ui->DBLookupComboBox1->KeyValue();
    return c;
}

void TFrmLstNiyaz::btnokClick()
{
    if (!Dm)
        return;
    MatchMode = 0;
    QString error;
    const QString sql = BuildDemandSearchStatement(Criteria(), &error);
    if (sql.isEmpty()) {
        AskMessage(error, 1, 1);
        return;
    }
    // what is being typed on the demand form is saved or dropped first, never lost
    if (!askSaveRecord())
        return;
    reopen(sql);
    ui->Panel1->hide();
}

void TFrmLstNiyaz::btndelClick()
{
    if (Dm)
        frame()->DeleteCurrent(windowTitle(), QStringLiteral("آيا رديف انتخاب شده حذف شود؟"), 8);
}

void TFrmLstNiyaz::BitBtn1Click()
{
    const int answer = AskMessage(QStringLiteral("آيا تمامي رديف ها چاپ شوند؟"), 4 | 8 | 2);
    if (answer != shell::ResultYes && answer != shell::ResultNo)
        return;
    TFrmDarkhasti listing;
    listing.AllRows = answer == shell::ResultYes;
    widgets::guarded([&] { listing.Preview(); });
}

TMatchTarget TFrmLstNiyaz::MatchTarget()
{
    TMatchTarget t;
    t.dataSet = Dm ? Dm->QNiyaz : nullptr;
    t.closeList = [this] {
        if (isVisible())
            close();
    };
    t.setMatchMode = [this](int m) { MatchMode = m; };
    t.showList = [this] {
        show();
        raise();
        activateWindow();
    };
    return t;
}

void TFrmLstNiyaz::BitBtn5Click()
{
    if (!Dm || !FrmLstMelk)
        return;
    TMatchTarget t;
    t.dataSet = Dm->QMelk;
    t.closeList = [] {
        if (FrmLstMelk->isVisible())
            FrmLstMelk->close();
    };
    t.setMatchMode = [](int m) { FrmLstMelk->MatchMode = m; };
    t.showList = [] {
        FrmLstMelk->show();
        FrmLstMelk->raise();
        FrmLstMelk->activateWindow();
    };
    widgets::guarded([&] {
        RunMatch(TMatchDirection::DemandToProperties, *Dm->QNiyaz, ReadMatchPanel(ui->Panel4),
                 [this] { SavePanelState(MatchStateFile(), MatchStateSection(TMatchDirection::DemandToProperties), ui->Panel4); },
                 windowTitle(), t);
    });
}
