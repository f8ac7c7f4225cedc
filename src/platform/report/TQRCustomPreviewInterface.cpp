#include "platform/report/TQRCustomPreviewInterface.h"

#include "platform/report/PreparedReport.h"
#include "platform/report/TCustPreview.h"

TQRCustomPreviewInterface::TQRCustomPreviewInterface(QObject* owner, bool* printed)
    : QObject(owner), printedFlag(printed)
{
}

void TQRCustomPreviewInterface::Show(report::PreparedReport& report, const QString& caption, QWidget* parent)
{
    TCustPreview window(parent, report);
    if (!caption.isEmpty())
        window.setWindowTitle(caption);
    window.setWindowState(window.windowState() | Qt::WindowMaximized);
    const int result = window.exec();
    if (printedFlag)
        *printedFlag = result == QDialog::Accepted;
}
