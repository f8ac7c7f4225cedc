#include "app/TRfrmPref.h"
#include "ui_TRfrmPref.h"

#include "core/PrintSettings.h"
#include "core/ProgramIni.h"
#include "core/TDm.h"
#include "core/TPrefMng.h"
#include "platform/db/DataSet.h"
#include "platform/ini/IniFile.h"
#include "platform/widgets/FieldLink.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/FormShow.h"
#include "forms/FormShared.h"
#include "ui/Dialogs.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QPainter>
#include <QImage>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>

using widgets::NavButton;

namespace {

// The picture of a new user, 48 x 48: a figure on a light ground, as a BMP.
QByteArray DefaultUserPicture()
{
    QImage image(48, 48, QImage::Format_RGB32);
    image.fill(QColor(236, 240, 245));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 134, 156));
    p.drawEllipse(QRectF(15, 7, 18, 18));
    p.drawRoundedRect(QRectF(8, 28, 32, 24), 12, 12);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}


const char* const kRightFields[] = {"Dels", "Manategh", "Sve", "Dcheck", "AMoojod", "ADarkhasti", "Hazineh",
                                    "Reps", "lod", "Moameleh", "Tels", "pref", "GhForms", "settarikh"};

void setCentredText(QTextEdit* memo, const QString& text)
{
    memo->setPlainText(text);
    QTextCursor c(memo->document());
    c.select(QTextCursor::Document);
    QTextBlockFormat f;
    f.setAlignment(Qt::AlignHCenter);
    c.mergeBlockFormat(f);
}

void notSaved(const QString& what)
{
    ShowMessageDlg(dkError, QString(), QStringLiteral("تنظيمات ذخيره نشدند:") + QLatin1Char('\n') + what, dbOk, 8);
}

} // namespace

TRfrmPref::TRfrmPref(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TRfrmPref>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    Ui::TRfrmPref& f = *ui;

    // Latin texts: embedded left to right, so that "{ A4 }" keeps its order in the
    // right-to-left window
    for (QComboBox* c : {f.cmbPaperGharar, f.cmbPaperRep, f.cmbPaperInv}) {
        for (const QString& text : PaperSizeTexts())
            c->addItem(QChar(0x202A) + text + QChar(0x202C));
        c->setLayoutDirection(Qt::LeftToRight);
    }
    for (QComboBox* c : {f.CmbOrientionGharar, f.cmbOrientationRep, f.cmbOrientationInv}) {
        c->addItems({QStringLiteral("Portrait"), QStringLiteral("LandScape")});
        c->setLayoutDirection(Qt::LeftToRight);
    }

    db::DataSet* uq = Dm ? Dm->UQ : nullptr;
    f.DBGrid2->setDataSet(uq);
    f.DBGrid2->setColumns({{QStringLiteral("Esm"), QStringLiteral("نام"), 294, true},
                           {QStringLiteral("Passw"), QStringLiteral("رمز"), 246, true}});
    // users and their passwords (plain text) are typed into the grid
    f.DBGrid2->setEditable(true);
    f.DBGrid2->setFocus();
    f.DBImage1->setDataSet(uq);
    f.DBImage1->setDataField(QStringLiteral("Aks"));
    if (Dm)
        Dm->NewUserPicture = DefaultUserPicture();
    // a new user is typed from the name column, whichever column was current
    if (uq)
        connect(uq, &db::DataSet::stateChanged, this, [this, uq] {
            QAbstractItemView* grid = ui->DBGrid2;
            if (uq->State() == db::DataSetState::Insert && grid->model())
                grid->setCurrentIndex(grid->model()->index(qMax(grid->currentIndex().row(), 0), 0));
        });
    const QList<widgets::DBCheckBox*> boxes = {f.DBCheckBox1, f.DBCheckBox2, f.DBCheckBox3, f.DBCheckBox4,
                                               f.DBCheckBox5, f.DBCheckBox6, f.DBCheckBox7, f.DBCheckBox8,
                                               f.DBCheckBox9, f.DBCheckBox10, f.DBCheckBox11, f.DBCheckBox12,
                                               f.DBCheckBox13, f.DBCheckBox14};
    for (int i = 0; i < boxes.size(); ++i) {
        boxes[i]->setDataSet(uq);
        boxes[i]->setDataField(QString::fromLatin1(kRightFields[i]));
    }
    f.DBCheckBox14->hide();   // settarikh gates nothing
    f.DBNavigator2->setDataSet(uq);
    f.DBNavigator2->setVisibleButtons({NavButton::Insert, NavButton::Delete, NavButton::Post, NavButton::Cancel});

    connect(f.BitBtn1, &QPushButton::clicked, this, &TRfrmPref::Save);
    connect(f.BitBtn2, &QPushButton::clicked, this, &TRfrmPref::Save);
    connect(f.BitBtn3, &QPushButton::clicked, this, &TRfrmPref::BitBtn3Click);
    connect(f.BitBtn4, &QPushButton::clicked, this, &QDialog::close);
    connect(f.BtnFntBody, &QPushButton::clicked, this, [this] { chooseFont(fntdlgbody); });
    connect(f.btnInvoiceHeaderFnt, &QPushButton::clicked, this, [this] { chooseFont(FntDlgH1); });
    connect(f.btnInvoiceFooterFnt, &QPushButton::clicked, this, [this] { chooseFont(fntdlgfooter); });

    FormCreate();
}

TRfrmPref::~TRfrmPref() = default;

void TRfrmPref::FormCreate()
{
    Ui::TRfrmPref& f = *ui;
    f.DBNavigator2->setCaption(NavButton::Insert, QStringLiteral("جديد"));
    f.DBNavigator2->setCaption(NavButton::Delete, QStringLiteral("حذف"));
    f.DBNavigator2->setCaption(NavButton::Post, QStringLiteral("ذخيره"));
    f.DBNavigator2->setCaption(NavButton::Cancel, QStringLiteral("انصراف"));

    {
        const ini::IniFile ini(ProgramIniPath());
        const TPrnPaper paper = ReadPrnPaper(ini, 8);
        f.cmbPaperGharar->setCurrentIndex(paper.PaperGharar);
        f.CmbOrientionGharar->setCurrentIndex(paper.OrientGharar);
        f.cmbPaperRep->setCurrentIndex(paper.Paper);
        f.cmbOrientationRep->setCurrentIndex(paper.Orient);
        f.cmbPaperInv->setCurrentIndex(paper.PaperInv);
        f.cmbOrientationInv->setCurrentIndex(paper.OrientInv);
        ReadFontFromIni(ini, fntdlgbody, BodyFontKey);
        ReadFontFromIni(ini, FntDlgH1, InvoiceHeaderFontKey);
        ReadFontFromIni(ini, fntdlgfooter, InvoiceFooterFontKey);
    }
    f.edtTitle->setText(TPrefMng::GetReportTitle());
    f.edtEconomoCode->setText(TPrefMng::GetEconomicCode());
    setCentredText(f.memInvoiceHeader, TPrefMng::GetInvoiceHeader());
    setCentredText(f.memInvoiceFooter, TPrefMng::GetInvoiceFooter());
}

void TRfrmPref::FormShow()
{
    if (!Dm)
        return;
    db::DataSet& uq = *Dm->UQ;
    widgets::guarded([&] {
        uq.Close();
        uq.setSQL(QStringLiteral("select * from TUNames"));
        uq.Open();
    });
}

bool TRfrmPref::Save()
{
    Ui::TRfrmPref& f = *ui;
    {
        ini::IniFile ini(ProgramIniPath());
        TPrnPaper paper;
        paper.PaperGharar = f.cmbPaperGharar->currentIndex();
        paper.OrientGharar = f.CmbOrientionGharar->currentIndex();
        paper.Paper = f.cmbPaperRep->currentIndex();
        paper.Orient = f.cmbOrientationRep->currentIndex();
        paper.PaperInv = f.cmbPaperInv->currentIndex();
        paper.OrientInv = f.cmbOrientationInv->currentIndex();
        WritePrnPaper(ini, paper);
        SaveFontToIni(ini, fntdlgbody, QString::fromLatin1(BodyFontKey.prefix));
        SaveFontToIni(ini, FntDlgH1, QString::fromLatin1(InvoiceHeaderFontKey.prefix));
        SaveFontToIni(ini, fntdlgfooter, QString::fromLatin1(InvoiceFooterFontKey.prefix));
        if (!ini.save()) {
            notSaved(ini.path() + QLatin1Char('\n') + ini.errorString());
            return false;
        }
    }
    const bool ok = TPrefMng::SetReportTitle(f.edtTitle->text()) && TPrefMng::SetEconomicCode(f.edtEconomoCode->text())
        && TPrefMng::SaveInvoiceHeader(f.memInvoiceHeader->toPlainText())
        && TPrefMng::SaveInvoiceFooter(f.memInvoiceFooter->toPlainText());
    if (!ok)
        notSaved(TPrefMng::ConfigFilePath());
    return ok;
}

void TRfrmPref::BitBtn3Click()
{
    shell::FileRequest r;
    r.caption = ui->BitBtn3->text();
    r.filter = QStringLiteral("Bitmaps (*.bmp)");
    r.pictures = true;
    const QString path = shell::prompter().openFile(r);
    if (path.isEmpty())
        return;
    if (!Dm || !Dm->UQ->Active() || Dm->UQ->IsEmpty()) {
        ShowMessageDlg(dkInfo, QString(), QStringLiteral("هيچ رديفي انتخاب نشده است"), dbOk, 8);
        return;
    }
    if (QImage().load(path))
        ui->DBImage1->LoadFromFile(path);
    else
        ShowMessageDlg(dkError, QString(), QStringLiteral("فايل انتخاب شده تصوير نيست"), dbOk, 8);
}

void TRfrmPref::chooseFont(QFont& font)
{
    if (const auto chosen = shell::prompter().chooseFont(font))
        font = *chosen;
}

bool TRfrmPref::FormClose()
{
    // a user row being typed is saved or dropped as the user says, never silently
    if (Dm && !AskSavePending(Dm->UQ, windowTitle()))
        return false;
    Save();
    return true;
}

void TRfrmPref::closeEvent(QCloseEvent* event)
{
    if (!FormClose()) {
        event->ignore();
        return;
    }
    closing_ = true;
    QDialog::closeEvent(event);
    closing_ = false;
}

void TRfrmPref::reject()
{
    if (closing_ || FormClose())
        QDialog::reject();
}

void TRfrmPref::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QDialog::keyReleaseEvent(event);
}
