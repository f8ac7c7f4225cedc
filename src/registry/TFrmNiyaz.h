#pragma once
// The demand record form: every control bound to the current row of Dm.QNiyaz.

#include "registry/TRecordForm.h"

#include <memory>

namespace Ui { class TFrmNiyaz; }

class TFrmNiyaz : public TRecordForm {
    Q_OBJECT
public:
    explicit TFrmNiyaz(QWidget* parent = nullptr);
    ~TFrmNiyaz() override;

    // The fixed items of the three type lists.
    static const QStringList& DealTypes();

    void BitBtn2Click(); // removes the chosen type of property from the stored list

    Ui::TFrmNiyaz* form() const { return ui.get(); }

private:
    void bind();

    std::unique_ptr<Ui::TFrmNiyaz> ui;
};

extern TFrmNiyaz* FrmNiyaz;
