#pragma once
// The documents of one property (paths of photos, films or any files) over Dm.QDocs.

#include <QDialog>
#include <memory>

namespace Ui { class TfrmDocs; }
namespace db { class DataSet; }

class TfrmDocs : public QDialog {
    Q_OBJECT
public:
    // CreateFor: keeps the property id and opens its documents.
    TfrmDocs(QWidget* owner, const QString& melkId);
    ~TfrmDocs() override;

    void BitBtn1Click();   // add
    void BitBtn2Click();   // delete
    void BitBtn3Click();   // view
    void BitBtn4Click();   // open the folder

    const QString& MelkId() const { return melkId_; }
    Ui::TfrmDocs* form() const { return ui.get(); }

private:
    std::unique_ptr<Ui::TfrmDocs> ui;
    QString melkId_;
};

// The folder of a document: the path up to and including its last separator ("/", "\" or ":").
QString DocumentFolder(const QString& path);
// Whether the extension (with its dot, any case) is one of the pictures the viewer shows.
bool IsImageFile(const QString& extension);
// Deletes the current property of qmelk together with its document rows, in one transaction.
void DeleteProperty(db::DataSet& qmelk);
