#include "platform/report/TCustPreview.h"

#include "ui_TCustPreview.h"

#include "platform/report/PreparedReport.h"
#include "platform/report/PreviewView.h"
#include "platform/report/Renderer.h"
#include "platform/shell/Prompter.h"

#include <QPrinter>

namespace {

// True when print would have no device: no printer installed and no file chosen.
bool noPrinter(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return printer.outputFileName().isEmpty();
    return printer.printerName().isEmpty();
}

} // namespace

TCustPreview::TCustPreview(QWidget* owner, report::PreparedReport& report)
    : QDialog(owner), ui(std::make_unique<Ui::TCustPreview>()), prepared(report),
      reportPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    ui->setupUi(this);
    report::applyPageLayout(prepared, *reportPrinter);
    reportPrinter->setDocName(prepared.title);

    connect(ui->BitBtn4, &QPushButton::clicked, this, &TCustPreview::priorPage);
    connect(ui->BitBtn3, &QPushButton::clicked, this, &TCustPreview::nextPage);
    connect(ui->BitBtn5, &QPushButton::clicked, this, [this] { ui->QRPreview1->setZoom(100); });
    connect(ui->BitBtn6, &QPushButton::clicked, this, [this] { ui->QRPreview1->zoomToFit(); });
    connect(ui->BitBtn7, &QPushButton::clicked, this, &TCustPreview::printerSetup);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TCustPreview::print);
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { done(shell::ResultCancel); });
    connect(ui->QRPreview1, &report::PreviewView::pageChanged, this, &TCustPreview::updatePageCounter);

    ui->QRPreview1->setReport(&prepared);
    updatePageCounter();
    ui->QRPreview1->zoomToFit();
}

TCustPreview::~TCustPreview() = default;

void TCustPreview::updatePageCounter()
{
    const int page = ui->QRPreview1->pageNumber();
    const int count = ui->QRPreview1->pageCount();
    ui->Panel2->setText(QStringLiteral("صفحه ") + QString::number(page) + QStringLiteral(" از ") + QString::number(count));
    ui->BitBtn4->setEnabled(page > 1);
    ui->BitBtn3->setEnabled(page < count);
}

void TCustPreview::priorPage()
{
    ui->QRPreview1->setPageNumber(ui->QRPreview1->pageNumber() - 1);
    updatePageCounter();
}

void TCustPreview::nextPage()
{
    ui->QRPreview1->setPageNumber(ui->QRPreview1->pageNumber() + 1);
    updatePageCounter();
}

void TCustPreview::printerSetup()
{
    shell::prompter().printSetup(*reportPrinter);
}

void TCustPreview::print()
{
    if (noPrinter(*reportPrinter)) {
        // Without a printer the pages go to a PDF file.
        shell::FileRequest request;
        request.caption = QStringLiteral("ذخيره چاپ به صورت PDF");
        request.filter = QStringLiteral("PDF (*.pdf)");
        request.fileName = (prepared.title.isEmpty() ? QStringLiteral("report") : prepared.title) + QStringLiteral(".pdf");
        const QString path = shell::prompter().saveFile(request);
        if (path.isEmpty())
            return;
        reportPrinter->setOutputFormat(QPrinter::PdfFormat);
        reportPrinter->setOutputFileName(path);
    }
    if (!report::printReport(prepared, *reportPrinter)) {
        shell::MessageRequest request;
        request.kind = 0;
        request.text = QStringLiteral("چاپ انجام نشد");
        shell::prompter().messageDlg(request);
        return;
    }
    accept();
}
