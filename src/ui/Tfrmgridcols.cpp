#include "ui/Tfrmgridcols.h"

#include "platform/widgets/DBGrid.h"
#include "ui_Tfrmgridcols.h"

#include <QListWidgetItem>

Tfrmgridcols::Tfrmgridcols(widgets::DBGrid* grid, QWidget* parent)
    : QDialog(parent, Qt::Tool), ui_(std::make_unique<Ui::Tfrmgridcols>()), grid_(grid)
{
    ui_->setupUi(this);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    for (const widgets::GridColumn& c : grid_->columns()) {
        auto* item = new QListWidgetItem(c.title, ui_->CheckListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(c.visible ? Qt::Checked : Qt::Unchecked);
        item->setSizeHint(QSize(0, 18));
    }
}

Tfrmgridcols::~Tfrmgridcols() = default;

void Tfrmgridcols::apply()
{
    QVector<widgets::GridColumn> cols = grid_->columns();
    for (int i = 0; i < cols.size() && i < ui_->CheckListBox1->count(); ++i) {
        const bool show = ui_->CheckListBox1->item(i)->checkState() == Qt::Checked;
        if (show && !cols[i].visible)
            cols[i].width = 100;
        cols[i].visible = show;
    }
    grid_->setColumns(cols);
}
