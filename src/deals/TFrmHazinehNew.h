#pragma once
// One expense or income on the current row of QHazineh.

#include "deals/BookForms.h"

#include <memory>

namespace Ui { class TFrmHazinehNew; }

class TFrmHazinehNew : public TBookEntry {
    Q_OBJECT
public:
    explicit TFrmHazinehNew(QWidget* parent = nullptr);
    ~TFrmHazinehNew() override;

    Ui::TFrmHazinehNew* form() const { return ui.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TFrmHazinehNew> ui;
    QString numberOnEnter_; // the number as it stood when DBEdit1 received the focus
};

extern TFrmHazinehNew* FrmHazinehNew;
