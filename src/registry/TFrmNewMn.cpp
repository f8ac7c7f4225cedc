#include "registry/TFrmNewMn.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/FieldLink.h"
#include "registry/Regions.h"
#include "forms/FormShared.h"
#include "ui/GridHelpers.h"
#include "ui_TFrmNewMn.h"

#include <QKeyEvent>

TFrmNewMn::TFrmNewMn(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TFrmNewMn>())
{
    ui->setupUi(this);
    if (Dm) {
        ui->DBEdit1->setDataSet(Dm->QMantagheh);
        ui->DBEdit1->setDataField(QStringLiteral("Esm"));
        ui->DBEdit2->setDataSet(Dm->QMantagheh);
        ui->DBEdit2->setDataField(QStringLiteral("Tozihat"));
    }
    ui->DBEdit1->installEventFilter(this);
    ui->DBEdit2->installEventFilter(this);
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TFrmNewMn::~TFrmNewMn() = default;

void TFrmNewMn::BitBtn1Click()
{
    if (Dm && SaveCurrentRegion(windowTitle()))
        accept();
}

// Every closing drops what was not saved (after a save there is nothing to drop).
void TFrmNewMn::done(int result)
{
    if (Dm)
        widgets::guarded([] { Dm->QMantagheh->Cancel(); });
    QDialog::done(result);
}

bool TFrmNewMn::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QChar c(13);
            EnterAsTab(static_cast<QWidget*>(watched), c);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmNewMn::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QDialog::keyReleaseEvent(event);
}
