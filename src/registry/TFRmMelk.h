#pragma once
// The property record form: every control bound to the current row of Dm.QMelk.

#include "registry/TRecordForm.h"

#include <memory>

namespace Ui { class TFRmMelk; }
namespace widgets { class ShownRefresh; }

class TFRmMelk : public TRecordForm {
    Q_OBJECT
public:
    explicit TFRmMelk(QWidget* parent = nullptr);
    ~TFRmMelk() override;

    // Binds the controls to Dm.QMelk; the form is created before the data module, so the
    // start-up calls this once Dm exists (showing the form does it too).
    void ConnectDataModule();

    // The fixed items of the three type lists.
    static const QStringList& DealTypes();

    void BitBtn9Click();      // set price
    void btnDocsClick();      // documents of the current property
    void SaveTitlesAsDefault();

    Ui::TFRmMelk* form() const { return ui.get(); }

protected:
    void prepareShow() override;

private:
    void updateDocsButton();
    void showDocsButton();

    std::unique_ptr<Ui::TFRmMelk> ui;
    widgets::ShownRefresh* docsButton_ = nullptr;
    bool bound_ = false;
};

extern TFRmMelk* FRmMelk;
