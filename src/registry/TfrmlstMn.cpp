#include "registry/TfrmlstMn.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/FormShow.h"
#include "registry/Regions.h"
#include "forms/FormShared.h"
#include "registry/TFrmNewMn.h"
#include "forms/TListFrame.h"
#include "ui_TfrmlstMn.h"

#include <QKeyEvent>
#include <QShowEvent>

TfrmlstMn::TfrmlstMn(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TfrmlstMn>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    widgets::DBGrid* g = ui->dbgrid1;
    if (Dm)
        g->setDataSet(Dm->QMantagheh);
    g->setColumns({{QStringLiteral("Esm"), QStringLiteral("نام منطقه"), 131, true},
                   {QStringLiteral("Tozihat"), QStringLiteral("توضيحات"), 563, true}});
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setCellStyler([](int, const QString& fieldName, widgets::CellStyle& style) {
        if (QStringList{QStringLiteral("Esm"), QStringLiteral("Tozihat")}.contains(fieldName))
            style.alignment = Qt::AlignLeft | Qt::AlignAbsolute;
    });
    g->setSelectionMode(QAbstractItemView::ExtendedSelection);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);

    frame_ = new TListFrame(this, TListFrame::PartsOf(ui.get()), QStringLiteral("GMn"));

    connect(ui->btnchange, &QPushButton::clicked, this, [this] { btnchangeClick(); });
    connect(ui->btndel, &QPushButton::clicked, this, [this] { btndelClick(); });
    connect(ui->btnprint, &QPushButton::clicked, this, [this] { btnprintClick(); });
    connect(ui->btnrefresh, &QPushButton::clicked, this, [this] { btnrefreshClick(); });
}

TfrmlstMn::~TfrmlstMn() = default;

void TfrmlstMn::FormShow()
{
    frame_->FillSearchTitles(0);
    ui->CmbSearch->setCurrentIndex(0);
    btnrefreshClick();
    frame_->LoadLayout();
}

void TfrmlstMn::done(int result)
{
    frame_->SaveLayout();
    QDialog::done(result);
}

void TfrmlstMn::btnrefreshClick()
{
    if (!Dm || !AskSavePending(Dm->QMantagheh, windowTitle()))
        return;
    db::DataSet* ds = Dm->QMantagheh;
    widgets::guarded([ds] {
        ds->Close();
        // a title-click sort does not outlive the reload
        ds->setSort(QString());
        ds->setSQL(QStringLiteral("select * from t_manategh order by mnid"));
        ds->Open();
    });
}

void TfrmlstMn::btnchangeClick()
{
    TFrmNewMn form(this);
    form.exec();
}

void TfrmlstMn::btndelClick()
{
    if (Dm)
        widgets::guarded([this] { DeleteCurrentRegion(windowTitle()); });
}

void TfrmlstMn::btnprintClick()
{
    frame_->Print(QStringLiteral("مناطق"));
}

void TfrmlstMn::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QDialog::keyReleaseEvent(event);
}
