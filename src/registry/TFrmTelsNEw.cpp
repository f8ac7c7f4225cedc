#include "registry/TFrmTelsNEw.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBNavigator.h"
#include "forms/FormShared.h"
#include "ui/GridHelpers.h"
#include "ui_TFrmTelsNEw.h"

#include <QKeyEvent>
#include <QToolButton>

TFrmTelsNEw::TFrmTelsNEw(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TFrmTelsNEw>())
{
    ui->setupUi(this);
    db::DataSet* tels = Dm->QTels;
    const struct {
        widgets::DBEdit* edit;
        const char* field;
    } edits[] = {{ui->DBEdit3, "Esm"}, {ui->DBEdit1, "Phone"}, {ui->DBEdit4, "Mobile"}, {ui->DBEdit2, "Fax"}};
    for (const auto& e : edits) {
        e.edit->setDataSet(tels);
        e.edit->setDataField(QString::fromLatin1(e.field));
        e.edit->installEventFilter(this);
    }
    using widgets::NavButton;
    ui->DBNavigator1->setDataSet(tels);
    ui->DBNavigator1->setVisibleButtons({NavButton::Post, NavButton::Cancel});
    ui->DBNavigator1->setCaption(NavButton::Post, QStringLiteral("ذخيره"));
    ui->DBNavigator1->setCaption(NavButton::Cancel, QStringLiteral("لغو تغييرات"));
    for (NavButton b : {NavButton::Post, NavButton::Cancel})
        ui->DBNavigator1->button(b)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // the data module tells when the row was posted or cancelled
    connect(Dm, &TDm::entryEnded, this, [this](db::DataSet* ds) {
        if (ds == Dm->QTels && isVisible())
            done(QDialog::Accepted);
    });
    setWindowTitle(QStringLiteral("مشخصات شخص وتلفن"));
    adjustSize();
    setFixedSize(sizeHint());
}

TFrmTelsNEw::~TFrmTelsNEw() = default;

bool TFrmTelsNEw::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QChar c(13);
            EnterAsTab(this, c);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Esc and the close box go through the same question
void TFrmTelsNEw::reject()
{
    if (AskSavePending(Dm->QTels, windowTitle(), true))
        QDialog::reject();
}

void TFrmTelsNEw::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QDialog::keyReleaseEvent(event);
}
