#include "app/TfrmTTMS.h"
#include "ui_TfrmTTMS.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"

TfrmTTMS* frmTTMS = nullptr;

TfrmTTMS::TfrmTTMS(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TfrmTTMS>())
{
    ui->setupUi(this);
    ui->DBGrid1->setDataSet(Dm->QTTMS);
    FormCreate();
}

TfrmTTMS::~TfrmTTMS() = default;

void TfrmTTMS::FormCreate()
{
    try {
        Dm->QTTMS->OpenDeferred();
    } catch (const db::DbError& e) {
        const QString text = db::textToShow(e);
        if (text.isEmpty())
            return;
        shell::PlainMessageRequest r;
        r.caption = windowTitle();
        r.text = text;
        r.error = true;
        shell::prompter().plainMessage(r);
    }
}
