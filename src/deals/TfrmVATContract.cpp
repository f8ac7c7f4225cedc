#include "deals/TfrmVATContract.h"
#include "ui_TfrmVATContract.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>

TfrmVATContract::TfrmVATContract(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), ui(std::make_unique<Ui::TfrmVATContract>())
{
    ui->setupUi(this);
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { done(1); });
    connect(ui->BitBtn2, &QPushButton::clicked, this, [this] { done(2); });
    // fixed at the size its wrapped terms need, worked out again whenever the fonts settle
    // (at show), so the last term is never cut
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // wrapped right-to-left lines may run a few pixels past their measure: room at both ends
    for (QLabel* l : findChildren<QLabel*>())
        if (l->wordWrap())
            l->setContentsMargins(6, 0, 6, 0);
}

TfrmVATContract::~TfrmVATContract() = default;
