#pragma once
// The tax identity of one party of the current deal (owner or buyer/tenant): names, national
// code, economic code, person and buyer kind, phone, province and city, postal code, address.
// The controls write into the row of Dm.QSanad at once; "انصراف" puts the values of the
// showing back. One class serves both parties through the prefix of their columns.

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui { class TFrmAddInfo; }
namespace db { class DataSet; }
namespace widgets { class DBLookupComboBox; }

class TFrmAddInfo : public QDialog {
    Q_OBJECT
public:
    // prefix "owner" or "cust".
    explicit TFrmAddInfo(const QString& prefix, QWidget* parent = nullptr);
    ~TFrmAddInfo() override;

    const QString& prefix() const { return prefix_; }
    // Shows the dialog modally over the current deal.
    int ShowFor();

    void SaveOldValues();
    void RestoreOldValues();
    void lkProvinceExit();
    // The checks in order; the first failure is shown and the dialog stays open.
    bool CheckValues();
    void BitBtn1Click();   // "تاييد"
    void BitBtn2Click();   // "انصراف"

    // The key a lookup box shows; empty when nothing is chosen.
    static QString KeyText(const widgets::DBLookupComboBox* box);

    Ui::TFrmAddInfo* form() const { return ui.get(); }

public slots:
    void done(int result) override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    QString column(const char* suffix) const { return prefix_ + QLatin1String(suffix); }
    void bind();
    void positionProvinceAndCity();

    std::unique_ptr<Ui::TFrmAddInfo> ui;
    QString prefix_;
    db::DataSet* qPK = nullptr;
    db::DataSet* qBK = nullptr;

    // the snapshot
    QString oldInitialName, oldLastName, oldNatNO, oldEconomicCode, oldPhoneNO, oldPhoneCityCode;
    QString oldPersonAddress, oldPostalCode;
    qint64 oldPersonKind = 0, oldBuyerKind = 0, oldCityId = 0;
};

extern TFrmAddInfo* FrmAddInfoOwner;
extern TFrmAddInfo* FrmAddInfoCust;
