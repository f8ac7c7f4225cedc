#pragma once
// One cheque or other payment document on the current row of QCheck.

#include "deals/BookForms.h"

#include <memory>

namespace Ui { class TFrmCheck; }

class TFrmCheck : public TBookEntry {
    Q_OBJECT
public:
    explicit TFrmCheck(QWidget* parent = nullptr);
    ~TFrmCheck() override;

    Ui::TFrmCheck* form() const { return ui.get(); }

    // The states a document can be in.
    static const QStringList& States();

private:
    std::unique_ptr<Ui::TFrmCheck> ui;
};

extern TFrmCheck* FrmCheck;
