#include "deals/TFrmPrnSanad.h"

#include "core/AppGlobals.h"
#include "platform/shell/Prompter.h"

#include <QApplication>
#include <QCursor>

TFrmPrnSanad* FrmPrnSanad = nullptr;

const QString TFrmPrnSanad::Caption = QStringLiteral("پيش نمايش");

TFrmPrnSanad::TFrmPrnSanad(const QTextDocument* source)
    : QuickRep1(PrintSettings.PaperSizeContract, PrintSettings.OrientationContract)
{
    QuickRep1.title = Caption;
    TitleBand1 = &QuickRep1.band(report::BandType::Title, 0);
    TitleBand1->name = QStringLiteral("TitleBand1");
    TitleBand1->color = Qt::white;
    QRRichText1 = &TitleBand1->addRichText(QStringLiteral("QRRichText1"), QRect(0, 0, QuickRep1.printableWidth(), 0), source);
    QuickRep1.beforePrint = [this] { QuickRep1BeforePrint(); };
}

void TFrmPrnSanad::QuickRep1BeforePrint()
{
    QRRichText1->rect.setLeft(0);
    QRRichText1->rect.setWidth(QuickRep1.pageSize().width() - QuickRep1.margins.right() - QuickRep1.margins.left());
}

report::PreparedReport TFrmPrnSanad::Prepare() { return QuickRep1.prepare(); }

bool PrintContract(const QTextDocument* source)
{
    TFrmPrnSanad print(source);
    FrmPrnSanad = &print;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    report::PreparedReport prepared = print.Prepare();
    QApplication::restoreOverrideCursor();
    const bool printed = shell::prompter().preview(prepared, TFrmPrnSanad::Caption);
    FrmPrnSanad = nullptr;
    return printed;
}
