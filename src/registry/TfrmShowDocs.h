#pragma once
// The document viewer: the current document of Dm.QDocs as a picture, or the offer to open
// it with the system's program, or the note that the file is gone; next and previous wrap.

#include <QDialog>
#include <memory>

namespace Ui { class TfrmShowDocs; }

class TfrmShowDocs : public QDialog {
    Q_OBJECT
public:
    explicit TfrmShowDocs(QWidget* parent = nullptr);
    ~TfrmShowDocs() override;

    void ShowCurrentDoc();
    void NextDoc();
    void PriorDoc();

    Ui::TfrmShowDocs* form() const { return ui.get(); }

protected:

private:
    QString currentPath() const;

    std::unique_ptr<Ui::TfrmShowDocs> ui;
};
