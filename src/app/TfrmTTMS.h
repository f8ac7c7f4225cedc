#pragma once
// A window with one grid over the data module's QTTMS; its creation opens the dataset.

#include <QWidget>
#include <memory>

namespace Ui { class TfrmTTMS; }

class TfrmTTMS : public QWidget {
    Q_OBJECT
public:
    explicit TfrmTTMS(QWidget* parent = nullptr);
    ~TfrmTTMS() override;

    void FormCreate();

private:
    std::unique_ptr<Ui::TfrmTTMS> ui;
};

extern TfrmTTMS* frmTTMS;
