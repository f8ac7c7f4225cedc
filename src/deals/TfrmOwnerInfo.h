#pragma once
// The agency's own taxpayer identity (the one row of yourInfo), checked in a fixed order
// before it is stored.

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui { class TfrmOwnerInfo; }
namespace db { class DataSet; }

// What the checks look at, as chosen in the window.
struct TOwnerInfoValues {
    int personKind = 0;    // 1 natural, 2 and 3 legal; 0 none
    int nationality = -1;  // 0 Iranian, 1 foreign; -1 none
    int band = -1;         // 0 company, 1, 2; -1 none
    int regStatus = -1;    // 0, 1, 2 (no pre-registration); -1 none
    QString companyName, moadyName, nationalCode;
    QString office;          // the tax office's code; empty when none
    QString officeProvince;  // the province of that office
    QString province;        // the province box's key; empty when none
    QString city;            // the city's code; empty when none
    QString address, postalCode, telNo, mobileNO, userName;
};

class TfrmOwnerInfo : public QDialog {
    Q_OBJECT
public:
    // Runs FormCreate: opens the province, city and office lists.
    explicit TfrmOwnerInfo(QWidget* parent = nullptr);
    ~TfrmOwnerInfo() override;

    Ui::TfrmOwnerInfo* form() const { return ui.get(); }
    db::DataSet* qYourInfo() const { return qYourInfo_; }
    db::DataSet* qOffices() const { return qOffices_; }

    // Edits the stored row, or inserts the first one; puts the province and city boxes on it.
    void FormShow();
    void lkProvinceExit();
    // The confirmation question; Yes closes with result 1 (which posts).
    void BitBtn1Click();

    // Result 1 posts the row (a refused post keeps the window open) and confirms; any other
    // result cancels the edit.
    void done(int result) override;

    // The first failed check's message in the fixed order; empty when the identity may be stored.
    static QString CheckOwnerInfo(const TOwnerInfoValues& v);
    static bool MobileLengthOk(const QString& mobile);
    // A typed mobile number not starting with "0" gets one in front.
    static QString MobileText(const QString& typed);

    // The window's values for the checks.
    TOwnerInfoValues CurrentValues() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void qYourInfoBeforePost(db::DataSet& ds);

    std::unique_ptr<Ui::TfrmOwnerInfo> ui;
    db::DataSet* qYourInfo_;
    db::DataSet* qOffices_;
};
