#pragma once
// The contract print: the editor's rich text flowing over as many pages as it needs, on
// the contract paper, shown in the preview.

#include "platform/report/Report.h"

#include <QString>

class QTextDocument;

class TFrmPrnSanad {
public:
    // source: the editor's text, read when the report is prepared. Sets the contract paper.
    explicit TFrmPrnSanad(const QTextDocument* source);

    static const QString Caption;

    report::Report QuickRep1;
    report::Band* TitleBand1 = nullptr;
    report::RichTextElement* QRRichText1 = nullptr;

    // The text spans the printable width of the chosen paper and orientation.
    void QuickRep1BeforePrint();
    report::PreparedReport Prepare();
};

// The print run: prepares the text and shows it in the preview; true when it was printed.
bool PrintContract(const QTextDocument* source);

extern TFrmPrnSanad* FrmPrnSanad;
