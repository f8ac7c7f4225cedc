#pragma once
// The phone book: names with phone, mobile and fax over Dm.QTels, one letter tab at a time.

#include <QWidget>
#include <memory>

namespace Ui { class TFrmTels; }
class TListFrame;

class TFrmTels : public QWidget {
    Q_OBJECT
public:
    explicit TFrmTels(QWidget* parent = nullptr);
    ~TFrmTels() override;

    // The 33 tab texts, "..." last.
    static const QStringList& TabLetters();
    // The query of a tab text.
    static QString TabSql(const QString& tab);

    // Opens the entry window on a new row holding these values; posts nothing itself.
    void AddToPhoneBook(const QString& name, const QString& phone, const QString& mobile, const QString& fax);

    void TabControl1Change();
    void BitBtn1Click();     // new
    void btnchangeClick();
    void btndelClick();
    void btnrefreshClick();
    void btnprintClick();

    Ui::TFrmTels* form() const { return ui.get(); }
    TListFrame* frame() const { return frame_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void FormShow();
    void runEntry(bool insert, const QStringList& values = {});

    std::unique_ptr<Ui::TFrmTels> ui;
    TListFrame* frame_ = nullptr;
};

extern TFrmTels* FrmTels;
