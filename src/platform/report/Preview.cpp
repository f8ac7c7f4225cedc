#include "platform/report/Preview.h"

#include "platform/report/TQRCustomPreviewInterface.h"

#include <QAbstractPrintDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace report {

bool showPreview(PreparedReport& report, const QString& caption, QWidget* parent)
{
    bool printed = false;
    TQRCustomPreviewInterface preview(nullptr, &printed);
    preview.Show(report, caption, parent);
    return printed;
}

bool printSetupDialog(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace report
