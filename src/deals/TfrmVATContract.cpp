#include "deals/TfrmVATContract.h"
#include "ui_TfrmVATContract.h"

#include <QPushButton>

TfrmVATContract::TfrmVATContract(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), ui(std::make_unique<Ui::TfrmVATContract>())
{
    ui->setupUi(this);
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { done(1); });
    connect(ui->BitBtn2, &QPushButton::clicked, this, [this] { done(2); });
    adjustSize();
    setFixedSize(sizeHint());
}

TfrmVATContract::~TfrmVATContract() = default;
