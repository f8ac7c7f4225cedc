#include "deals/TFrmReps.h"

#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "deals/TFrmPrnTras.h"
#include "deals/Tfrmchart.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/FormShow.h"
#include "ui/Dialogs.h"
#include "ui/TTools.h"
#include "ui_TFrmReps.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QScrollBar>
#include <QShowEvent>

TFrmReps* FrmReps = nullptr;

namespace {

void prepareList(QTreeWidget* list)
{
    // the row's text sits in the first sub-item; the caption column is not shown
    list->setColumnWidth(0, 0);
    list->header()->setSectionResizeMode(0, QHeaderView::Fixed);
    list->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    list->header()->setMinimumSectionSize(0);
    list->hideColumn(0);
}

void addRow(QTreeWidget* list, const QString& text)
{
    auto* item = new QTreeWidgetItem(list);
    item->setText(1, text);
    item->setTextAlignment(1, Qt::AlignCenter);
}

} // namespace

TFrmReps::TFrmReps(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TFrmReps>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    ui->cmbreport->addItems(MonthlyReportTexts());
    ui->cmbreport->setCurrentIndex(2);
    prepareList(ui->ListView2);
    prepareList(ui->ListView3);
    ui->Edtt1->setEditMask(QStringLiteral("9999/99/99;1;_"));
    ui->Edtt2->setEditMask(QStringLiteral("9999/99/99;1;_"));
    const QString year = (Tools ? Tools->TodayShamsi() : TTools().TodayShamsi()).left(4);
    ui->Edtt1->setText(year + QStringLiteral("/01/01"));
    ui->Edtt2->setText(year + QStringLiteral("/12/30"));

    const auto ranged = [this](bool on) {
        ui->Edtt1->setEnabled(on);
        ui->Edtt2->setEnabled(on);
        ui->Label9->setEnabled(on);
    };
    connect(ui->chktarikh, &QCheckBox::toggled, this, ranged);
    ranged(ui->chktarikh->isChecked());

    connect(ui->btnreport, &QPushButton::clicked, this, &TFrmReps::btnreportClick);
    connect(ui->btnchart, &QPushButton::clicked, this, &TFrmReps::btnchartClick);
    connect(ui->btnprinttraz, &QPushButton::clicked, this, &TFrmReps::btnprinttrazClick);
    connect(ui->btncantraz, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->ListView2, &QTreeWidget::itemSelectionChanged, this, [this] { ListSelect(ui->ListView2); });
    connect(ui->ListView3, &QTreeWidget::itemSelectionChanged, this, [this] { ListSelect(ui->ListView3); });
}

TFrmReps::~TFrmReps() = default;

void TFrmReps::FormShow()
{
    btnreportClick();
}

void TFrmReps::btnreportClick()
{
    const int kind = int(MonthlyReportTexts().indexOf(ui->cmbreport->currentText()));
    if (kind >= 0)
        runReport(TMonthlyReport(kind));
}

void TFrmReps::runReport(TMonthlyReport kind)
{
    ui->Label5->setText(ui->cmbreport->currentText());
    ui->ListView2->clear();
    ui->ListView3->clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<TMonthSum> rows;
    try {
        rows = RunMonthlyReport(*Dm->QFree, kind, ui->chktarikh->isChecked(), ui->Edtt1->Text(), ui->Edtt2->Text());
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    double total = 0;
    for (const TMonthSum& r : rows) {
        addRow(ui->ListView2, r.month);
        addRow(ui->ListView3, TTools::FloatToThousands(r.sum));
        total += r.sum;
    }
    QApplication::restoreOverrideCursor();
    ui->Label6->setText(kind == TMonthlyReport::Profit ? QStringLiteral("مجموع سود") : QStringLiteral("مجموع"));
    ui->Label7->setText(TTools::FloatToThousands(total));
}

void TFrmReps::ListSelect(QTreeWidget* from)
{
    QTreeWidget* other = from == ui->ListView2 ? ui->ListView3 : ui->ListView2;
    if (!from->hasFocus() || from->topLevelItemCount() != other->topLevelItemCount())
        return;
    QTreeWidgetItem* item = from->currentItem();
    if (!item || !item->isSelected())
        return;
    const int row = std::clamp(from->indexOfTopLevelItem(item), 0, other->topLevelItemCount() - 1);
    QTreeWidgetItem* twin = other->topLevelItem(row);
    if (!twin)
        return;
    const QSignalBlocker block(other);
    other->clearSelection();
    other->setCurrentItem(twin);
    twin->setSelected(true);
    other->scrollToItem(twin, QAbstractItemView::PositionAtTop);
}

void TFrmReps::btnprinttrazClick()
{
    TFrmPrnTras prn;
    prn.ListRight = ui->ListView2;
    prn.ListLeft = ui->ListView3;
    prn.Title = ui->Label5->text();
    if (ui->chktarikh->isChecked())
        prn.Title += QStringLiteral(" - از ") + ui->Edtt1->Text() + QStringLiteral(" تا ") + ui->Edtt2->Text();
    prn.SummaryValue = ui->Label7->text();
    prn.SummaryCaption = ui->Label6->text();
    prn.Preview(PrintSettings.PaperSizeReport, PrintSettings.OrientationReport, PrintSettings.BodyFont);
}

void TFrmReps::btnchartClick()
{
    btnreportClick();
    if (ui->ListView2->topLevelItemCount() == 0) {
        ShowMessageDlg(dkInfo, windowTitle(), QStringLiteral("هيچ اطلاعاتي براي رسم نمودار وجود ندارد"), dbOk, 8);
        return;
    }
    auto* frm = new Tfrmchart(ui->ListView2, ui->ListView3, ui->cmbreport, this);
    frm->btnchartClick();
    frm->exec();
    QDir::setCurrent(TTools::AppPath());
    delete frm;
}
