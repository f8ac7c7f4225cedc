#include "deals/TFrmSelGhovl.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/FormShow.h"
#include "ui/Dialogs.h"
#include "ui_TFrmSelGhovl.h"

#include <QHeaderView>
#include <QKeyEvent>

TFrmSelGhovl::TFrmSelGhovl(QWidget* owner, bool manage) : QDialog(owner), ui(std::make_unique<Ui::TFrmSelGhovl>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    ui->BitBtn1->setVisible(!manage);
    ui->BitBtn3->setVisible(manage);
    ui->BitBtn1->setDefault(!manage);
    widgets::DBGrid* g = ui->DBGrid1;
    if (Dm)
        g->setDataSet(Dm->QGhovL);
    g->setColumns({{QStringLiteral("esm"), QStringLiteral("نام قولنامه"), 280, true}});
    g->horizontalHeader()->setStretchLastSection(true);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    if (!manage)
        connect(g, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
}

TFrmSelGhovl::~TFrmSelGhovl() = default;

void TFrmSelGhovl::FormShow()
{
    if (!Dm)
        return;
    db::DataSet* q = Dm->QGhovL;
    widgets::guarded([q] {
        q->Close();
        q->setSQL(QStringLiteral("select * from T_Ghovl order by id"));
        q->Open();
    });
}

void TFrmSelGhovl::BitBtn3Click()
{
    if (ShowMessageDlg(dkQuestion, QString(), QStringLiteral("آيا عمليات حذف انجام شود؟"), dbYes | dbNo, 8) != 6)
        return;
    db::DataSet* q = Dm->QGhovL;
    if (!q->Active() || q->IsEmpty())
        return;
    widgets::guarded([q] { q->Delete(); });
}

void TFrmSelGhovl::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        for (QWidget* w : findChildren<QWidget*>())
            w->update();
    QDialog::keyReleaseEvent(event);
}
