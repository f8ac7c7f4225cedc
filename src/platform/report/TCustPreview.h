#pragma once
// The program's own print preview: one page at a time, zoom, printer set-up and print.

#include <QDialog>
#include <memory>

class QPrinter;

namespace Ui { class TCustPreview; }
namespace report { class PreparedReport; }

class TCustPreview : public QDialog {
    Q_OBJECT
public:
    explicit TCustPreview(QWidget* owner, report::PreparedReport& report);
    ~TCustPreview() override;

    // The printer that print uses (set up by the printer set-up dialog).
    QPrinter& printer() { return *reportPrinter; }
    report::PreparedReport& report() { return prepared; }

private:
    void updatePageCounter();
    void priorPage();
    void nextPage();
    void printerSetup();
    void print();

    std::unique_ptr<Ui::TCustPreview> ui;
    report::PreparedReport& prepared;
    std::unique_ptr<QPrinter> reportPrinter;
};
