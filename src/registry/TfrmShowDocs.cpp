#include "registry/TfrmShowDocs.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "registry/TfrmDocs.h"
#include "platform/widgets/BidiText.h"
#include "platform/widgets/FormShow.h"
#include "ui/WindowLook.h"
#include "ui_TfrmShowDocs.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

TfrmShowDocs::TfrmShowDocs(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TfrmShowDocs>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { ShowCurrentDoc(); });
    SetNoCaption(this);
    // the panels keep their height; the picture takes the rest
    for (QWidget* w : {static_cast<QWidget*>(ui->Panel1), static_cast<QWidget*>(ui->pnlOpenInwin),
                       static_cast<QWidget*>(ui->pnlNotFound)})
        w->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    if (auto* box = qobject_cast<QBoxLayout*>(layout()))
        box->addStretch();
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { NextDoc(); });
    connect(ui->BitBtn2, &QPushButton::clicked, this, [this] { PriorDoc(); });
    const auto openFile = [this] { shell::prompter().shellOpen(currentPath()); };
    const auto openFolder = [this] { shell::prompter().shellOpen(DocumentFolder(currentPath())); };
    connect(ui->btnOpenInWindows, &QPushButton::clicked, this, openFile);
    connect(ui->BitBtn3, &QPushButton::clicked, this, openFile);
    connect(ui->BitBtn4, &QPushButton::clicked, this, openFolder);
    connect(ui->BitBtn5, &QPushButton::clicked, this, openFolder);
}

TfrmShowDocs::~TfrmShowDocs() = default;

QString TfrmShowDocs::currentPath() const
{
    db::DataSet* docs = Dm->QDocs;
    if (!docs->Active() || docs->IsEmpty())
        return {};
    return docs->FieldByName(QStringLiteral("docPath"))->AsString();
}

void TfrmShowDocs::ShowCurrentDoc()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString path = currentPath();
    ui->lblfpath2->setText(widgets::LeftToRight(path));
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists() || !file.isFile()) {
        ui->pnlOpenInwin->hide();
        ui->Image1->hide();
        ui->Image1->clear();
        ui->Label4->setText(widgets::LeftToRight(path));
        ui->pnlNotFound->show();
        QApplication::restoreOverrideCursor();
        return;
    }
    ui->pnlNotFound->hide();
    const QString name = file.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot);
    if (IsImageFile(ext)) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (!image.isNull()) {
            ui->pnlOpenInwin->hide();
            ui->Image1->setPixmap(QPixmap::fromImage(image));
            ui->Image1->show();
            QApplication::processEvents();
            QApplication::restoreOverrideCursor();
            return;
        }
    }
    ui->Image1->hide();
    ui->Image1->clear();
    ui->lblfpath->setText(widgets::LeftToRight(path));
    ui->pnlOpenInwin->show();
    QApplication::restoreOverrideCursor();
}

void TfrmShowDocs::NextDoc()
{
    db::DataSet* docs = Dm->QDocs;
    if (docs->Active() && !docs->IsEmpty()) {
        if (docs->RecNo() >= docs->RecordCount())
            docs->First();
        else
            docs->Next();
    }
    ShowCurrentDoc();
}

void TfrmShowDocs::PriorDoc()
{
    db::DataSet* docs = Dm->QDocs;
    if (docs->Active() && !docs->IsEmpty()) {
        if (docs->RecNo() <= 1)
            docs->Last();
        else
            docs->Prior();
    }
    ShowCurrentDoc();
}
