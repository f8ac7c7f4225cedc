// The deal list shown again while it is open (F6 again): only brought forward, its typed range,
// ticks, found row and widths stay; a number searched in Persian digits finds its deal.
#include "deals/DealActions.h"
#include "deals_fixture.h"

#include "platform/widgets/DBGrid.h"
#include "platform/widgets/MaskEdit.h"
#include "ui_TFrmRepMoameleh.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

constexpr int kDeals = 1200;   // more than a list's first page

using DealListAgain = DealsTest;

TEST_P(DealListAgain, F6OnTheOpenListKeepsWhatTheUserDid)
{
    db::inTransaction(*Dm->Conn, [&] {
        for (int i = 1; i <= kDeals; ++i)
            Dm->Conn->exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, Nov, Haghebongah, EsmMalek, shoomareh) "
                                          "values ('1403/01/01', 'k', 1000, $1, $2)"),
                           {QStringLiteral("مالک %1").arg(i), QString::number(i)});
    });
    auto* u = FrmRepMoameleh->form();
    ShowDealList();
    ASSERT_EQ(Dm->QSanad->RecordCount(), kDeals);

    u->CmbSearch->setCurrentText(QStringLiteral("شماره"));
    u->chkjozi->setChecked(false);
    u->edtsearch->setText(QStringLiteral("۷۷۷"));   // Persian digits read as the number they are
    EXPECT_EQ(field("shoomareh"), QStringLiteral("777"));
    const int found = Dm->QSanad->RecNo();
    u->edtt1->setText(QStringLiteral("1402/01/01"));
    u->chktarikh->setChecked(!u->chktarikh->isChecked());
    const bool ticked = u->chktarikh->isChecked();
    u->dbgrid1->setColumnWidth(1, 287);
    const QString sql = Dm->QSanad->SQL();

    ShowDealList();
    EXPECT_EQ(u->edtt1->text(), QStringLiteral("1402/01/01"));
    EXPECT_EQ(u->chktarikh->isChecked(), ticked);
    EXPECT_EQ(u->edtsearch->text(), QStringLiteral("۷۷۷"));
    EXPECT_EQ(Dm->QSanad->RecNo(), found);
    EXPECT_EQ(Dm->QSanad->RecordCount(), kDeals);
    EXPECT_EQ(Dm->QSanad->SQL(), sql);
    EXPECT_EQ(u->dbgrid1->columnWidth(1), 287);
}

DOVIN_INSTANTIATE_ENGINES(DealListAgain);

} // namespace
