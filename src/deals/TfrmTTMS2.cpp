#include "deals/TfrmTTMS2.h"
#include "ui_TfrmTTMS2.h"

#include "core/TDm.h"
#include "core/TPrefMng.h"
#include "deals/TTMSExport.h"
#include "deals/TfrmOwnerInfo.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/shell/Progress.h"
#include "platform/shell/Prompter.h"
#include "platform/shell/TempFiles.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/FormShow.h"
#include "forms/FormShared.h"
#include "ui/Dialogs.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui/TTools.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>

TfrmTTMS2* frmTTMS2 = nullptr;

namespace {

const QString kFailed = QStringLiteral("خطايي در روند برنامه پيش آمد\r\n");

QString errorText(const std::exception& e)
{
    if (const auto* d = dynamic_cast<const db::DbError*>(&e))
        return d->message();
    if (const auto* x = dynamic_cast<const ttms::ExportError*>(&e))
        return x->message();
    if (const auto* f = dynamic_cast<const shell::FileError*>(&e))
        return f->message();
    return QString::fromUtf8(e.what());
}

// A file copy's progress in the progress window.
ttms::CopySteps copySteps(shell::Progress& progress)
{
    return [&progress](qint64 done, qint64 total) {
        progress.setTotal(total);
        progress.step(done);
    };
}

} // namespace

TfrmTTMS2::TfrmTTMS2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), ui(std::make_unique<Ui::TfrmTTMS2>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    BindFields<widgets::DBEdit>(Dm->QSumHagh2, {{ui->DBEdit1, "sh"}, {ui->DBEdit2, "sVAT"}, {ui->DBEdit3, "sMunicipal"}});
    ui->pnlVAT2->hide();
    ui->edtYear->installEventFilter(this);
    ui->cmbSeason->installEventFilter(this);
    connect(ui->edtYear, &QLineEdit::textChanged, this, &TfrmTTMS2::disableExport);
    connect(ui->cmbSeason, qOverload<int>(&QComboBox::currentIndexChanged), this, &TfrmTTMS2::disableExport);
    connect(ui->btnTaxPayerInfo, &QPushButton::clicked, this, &TfrmTTMS2::btnTaxPayerInfoClick);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TfrmTTMS2::BitBtn2Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TfrmTTMS2::BitBtn1Click);
    adjustSize();
}

TfrmTTMS2::~TfrmTTMS2() = default;

void TfrmTTMS2::FormShow()
{
    ui->edtYear->setText(Tools->TodayShamsi().left(4));
    ui->BitBtn1->setEnabled(false);
    dlgFolder_ = TPrefMng::GetTTMSDlgPath();
    ui->edtTotalPercent->setText(TTools::FloatToStr(TPrefMng::GetTotalTaxRate()));
    ui->edtVATPercent->setText(TTools::FloatToStr(TPrefMng::GetVATVal()));
    ui->edtMuniPercent->setText(TTools::FloatToStr(TPrefMng::GetMunicipalVal()));
}

void TfrmTTMS2::disableExport()
{
    ui->BitBtn1->setEnabled(false);
}

void TfrmTTMS2::btnTaxPayerInfoClick()
{
    TfrmOwnerInfo info(this);
    info.exec();
}

void TfrmTTMS2::RequireOwnerInfo()
{
    Dm->QFree->Close();
    Dm->QFree->setSQL(QStringLiteral("select * from yourInfo"));
    Dm->QFree->Open();
    if (Dm->QFree->IsEmpty())
        throw ttms::ExportError(
            QStringLiteral("ابتدا با استفاده از دکمه «مشخصات شما» مشخصات خود را وارد نماييد."));
}

void TfrmTTMS2::BitBtn2Click()
{
    try {
        RequireOwnerInfo();
    } catch (const std::exception& e) {
        shell::PlainMessageRequest r;
        r.caption = QCoreApplication::applicationName();
        r.text = errorText(e);
        r.error = true;
        shell::prompter().plainMessage(r);
        return;
    }
    const QString year = ui->edtYear->text();
    if (!ttms::YearTextOk(year)) {
        ShowMessageDlg(dkError, QString(), QStringLiteral("سال وارد شده صحيح نمي باشد."), dbOk);
        return;
    }
    const int season = ui->cmbSeason->currentIndex() + 1;
    if (season < 1) {
        ShowMessageDlg(dkError, QString(), QStringLiteral("لطفا فصل گزارشگيري را تعيين نماييد."), dbOk);
        ui->cmbSeason->setFocus();
        return;
    }
    const QString seasonText = ui->cmbSeason->currentText();
    if (ShowMessageDlg(dkQuestion, QString(),
                       QStringLiteral("گزارش از اطلاعات ذيل تهيه خواهد شد.\r\nسال گزارش: ") + year
                           + QStringLiteral("\r\n") + QStringLiteral("فصل گزارش: ") + seasonText
                           + QStringLiteral("\r\n") + QStringLiteral("آيا اطلاعات فوق صحيح مي باشند؟"),
                       dbYes | dbNo)
        != 6)
        return;

    const ttms::SeasonRange range = ttms::SeasonBounds(year, season);
    db::DataSet* sums = Dm->QSumHagh2;
    const bool opened = widgets::guarded([&] {
        sums->Close();
        sums->setSQL(ttms::SeasonSumsSQL(range));
        sums->Open();
    });
    if (!opened)
        return;
    year_ = year;
    season_ = season;
    ui->pnlVAT2->show();
    adjustSize();
    ui->Label9->setText(QStringLiteral("گزارش TTMS فصل ") + seasonText + QStringLiteral(" سال ") + year);
    ui->BitBtn1->setEnabled(true);
    ShowMessageDlg(dkInfo, QString(),
                   QStringLiteral("گزارش ايجاد شد.\r\nبراي دريافت فايل خروجي مرحله 4 را انجام دهيد."), dbOk);
}

void TfrmTTMS2::InsertMoshakhasat(db::Connection& out)
{
    Dm->QFree->Close();
    Dm->QFree->setSQL(QStringLiteral("select * from yourInfo"));
    Dm->QFree->Open();
    if (Dm->QFree->IsEmpty())
        throw ttms::ExportError(QStringLiteral("مشخصات مودي مالياتي وارد نشده است.\r\nابتدا با استفاده از دکمه "
                                               "«مشخصات شما» مشخصات خود را وارد نماييد."));
    out.exec(ttms::MoshakhasatSQL(*Dm->QFree));
}

void TfrmTTMS2::InsertForoush(db::Connection& out)
{
    out.exec(ttms::ForoushSQL(ttms::NewGuidText(), season_), {year_.toLongLong()});
}

void TfrmTTMS2::InsertForoushDetail(db::Connection& out)
{
    out.exec(ttms::ForoushDetailSQL(ttms::ReadSums(*Dm->QSumHagh2)));
}

void TfrmTTMS2::BitBtn1Click()
{
    const QString title = QStringLiteral("دريافت فايل خروجي TTMS");
    const QString folder = TTools::AppPath();
    const QString work = folder + QStringLiteral("TTMS.mdb");
    try {
        shell::Progress progress(title, true);
        ttms::WriteWorkingCopy(
            folder + QStringLiteral("TTMS_empty.mdb"), work,
            [this](db::Connection& out) {
                InsertMoshakhasat(out);
                InsertForoush(out);
                InsertForoushDetail(out);
            },
            copySteps(progress));
    } catch (const shell::Cancelled&) {
        return;
    } catch (const ttms::TemplateCopyError&) {
        ShowMessageDlg(dkInfo, QString(), QStringLiteral("خطايي در روند کپي کردن فايل خام پيش آمد"), dbOk);
        return;
    } catch (const std::exception& e) {
        ShowMessageDlg(dkError, QString(), kFailed + errorText(e), dbOk);
        return;
    }

    shell::FileRequest r;
    r.caption = windowTitle();
    r.filter = QStringLiteral("فايل هاي اکسس (*.mdb)");
    r.directory = dlgFolder_;   // a folder that is not one of this machine starts in the documents
    r.fileName = ttms::DefaultFileName(year_, season_);
    r.overwritePrompt = true;
    QString name = shell::prompter().saveFile(r);
    if (name.isEmpty())
        return;   // the folder of the last export stays
    name = ttms::WithMdbExtension(name);
    try {
        shell::Progress progress(title, true);
        ttms::CopyReplacing(work, name, folder, copySteps(progress));
    } catch (const shell::Cancelled&) {
        return;
    } catch (const std::exception& e) {
        // the folder is kept only once a file was saved there
        ShowMessageDlg(dkError, QString(), kFailed + errorText(e), dbOk);
        return;
    }
    ShowMessageDlg(dkInfo, QString(), QStringLiteral("عمليات کپي پايان يافت"), dbOk);
    dlgFolder_ = QFileInfo(name).absolutePath() + QLatin1Char('/');
    TPrefMng::SetTTMSDlgPath(dlgFolder_);
}

bool TfrmTTMS2::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QChar c(13);
            EnterAsTab(this, c);
            return true;
        }
        if (watched == ui->edtYear)
            return MoneyEditKeyDown(ui->edtYear, key, 4, QStringLiteral("FALSE"));
    }
    return QDialog::eventFilter(watched, event);
}

void ShowTaxReport()
{
    if (frmTTMS2)
        frmTTMS2->exec();
}
