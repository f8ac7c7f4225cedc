#include "ui/PrintGrid.h"

#include "platform/db/DataSet.h"
#include "platform/db/Decimal.h"
#include "platform/db/Format.h"
#include "platform/shell/Progress.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBGrid.h"
#include "ui/TPFrmPrnLv.h"

void PrintGrid(const GridPrintSettings& settings, widgets::DBGrid* grid, const QString& title, const QString& footer,
               bool allRows, int firstColumn, const QString& sumField, const QString& sumLabel, bool ask)
{
    db::DataSet* ds = grid ? grid->dataSet() : nullptr;
    if (!ds || !ds->Active() || ds->IsEmpty())
        return;
    if (!allRows && ask) {
        shell::MessageRequest r;
        r.kind = 2;
        r.text = QStringLiteral("آيا تمامي رديف ها چاپ شوند؟");
        r.buttons = 4 | 8 | 2;
        r.fontName = QStringLiteral("tahoma");
        r.fontSize = 10;
        const int answer = shell::prompter().messageDlg(r);
        if (answer != shell::ResultYes && answer != shell::ResultNo)
            return;
        allRows = answer == shell::ResultYes;
    }

    const QString crlf = QStringLiteral("\r\n");
    const QString code = QStringLiteral("کد اقتصادي: ") + settings.economicCode;
    const QString titleBlock = settings.reportTitle.isEmpty() ? code + crlf + title
                                                               : settings.reportTitle + crlf + code + crlf + title;
    const QString dateLine = settings.today + QLatin1Char('-') + settings.time;

    // reading the rows, measuring and laying out thousands of them takes seconds: one
    // progress over all of it, and a cancel leaves nothing behind (no preview opens)
    report::PreparedReport prepared;
    try {
        TPFrmPrnLv form(settings, grid);
        form.QuickRep1.title = title;
        shell::Progress progress(form.QuickRep1.workName(), true);

        // the rows printed, read in place: the shared current row never moves
        QVector<int> rows;
        const int count = ds->RecordCount();
        for (int row = 0; row < count; ++row)
            if (allRows || ds->IsRowSelected(row))
                rows.append(row);

        QString totalText;
        if (!sumField.isEmpty()) {
            db::AmountSum total;
            if (const db::Field* f = ds->FindField(sumField))
                for (int row : rows)
                    total.add(ds->ValueAt(row, f->Index()).toDouble());
            totalText = db::formatNumber(total.total(), QStringLiteral("###,###,###,###,##0.###"));
        }
        const QString footerText = footer.isEmpty() ? sumLabel + totalText : footer + QLatin1Char('\r') + sumLabel + totalText;

        form.build(titleBlock, dateLine, footerText, firstColumn, rows);
        prepared = form.prepare();
    } catch (const shell::Cancelled&) {
        return;
    }
    shell::prompter().preview(prepared, title);
}
