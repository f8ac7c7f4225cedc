#pragma once
// The seasonal tax report in four steps: the agency's identity, year and season, the
// season's sums, and the export file.

#include <QDialog>
#include <memory>

namespace Ui { class TfrmTTMS2; }
namespace db { class Connection; }

class TfrmTTMS2 : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTTMS2(QWidget* parent = nullptr);
    ~TfrmTTMS2() override;

    Ui::TfrmTTMS2* form() const { return ui.get(); }

    void FormShow();
    void btnTaxPayerInfoClick();
    // View: checks the identity, year and season, asks, and sums the season's deals.
    void BitBtn2Click();
    // Export: fills a copy of the template and copies it to the file the user names.
    void BitBtn1Click();

    // Throws ttms::ExportError when the agency's identity has not been entered.
    void RequireOwnerInfo();
    void InsertMoshakhasat(db::Connection& out);
    void InsertForoush(db::Connection& out);
    void InsertForoushDetail(db::Connection& out);

    // The season of the report viewed last (1 to 4) and its year.
    int Season() const { return season_; }
    const QString& Year() const { return year_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void disableExport();

    std::unique_ptr<Ui::TfrmTTMS2> ui;
    QString dlgFolder_;
    QString year_;
    int season_ = 0;
};

// Created at start-up, shown modally by the main window.
extern TfrmTTMS2* frmTTMS2;

// The main window's tax-report action (once VAT is enabled).
void ShowTaxReport();
