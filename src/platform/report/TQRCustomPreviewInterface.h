#pragma once
// Shows a prepared report in TCustPreview and tells the caller whether it was printed.

#include <QObject>

class QWidget;
namespace report { class PreparedReport; }

class TQRCustomPreviewInterface : public QObject {
    Q_OBJECT
public:
    explicit TQRCustomPreviewInterface(QObject* owner, bool* printed);

    // Modal; the flag becomes true exactly when the window closed by printing.
    void Show(report::PreparedReport& report, const QString& caption = {}, QWidget* parent = nullptr);

private:
    bool* printedFlag;
};
