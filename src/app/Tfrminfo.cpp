#include "app/Tfrminfo.h"
#include "ui_Tfrminfo.h"

#include "core/AppGlobals.h"

#include <QLocale>

Tfrminfo::Tfrminfo(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::Tfrminfo>())
{
    ui->setupUi(this);
    setFixedSize(size());
    QFont big = ui->Label1->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    ui->Label1->setFont(big);
    ui->Label1->setText(QStringLiteral("آژانس املاک (دوين)"));
    ui->Label2->setText(QStringLiteral("ويرايش ") + QString::number(kProgramVersion, 'g', QLocale::FloatingPointShortest)
                        + (IsAccess ? QStringLiteral("A") : QStringLiteral("S")));
    ui->Label3->setText(QStringLiteral("گروه مهندسين مشاور زانيت کلوار"));
    ui->Label4->setText(QStringLiteral("ثبت املاک، درخواست ها، معاملات، هزينه ها، چک ها و گزارش هاي آژانس املاک"));
}

Tfrminfo::~Tfrminfo() = default;
