// Documents of a property (query, add, refused long paths, delete, viewer panels and its
// wrap-around) and the phone book (letter tabs, find, delete, entry window).
#include "registry_fixture.h"

#include "platform/widgets/DBNavigator.h"
#include "registry/TFrmTelsNEw.h"
#include "forms/TListFrame.h"
#include "registry/TfrmDocs.h"
#include "registry/TfrmShowDocs.h"
#include "platform/widgets/BidiText.h"
#include "ui/WindowLook.h"
#include "ui_TFrmTels.h"
#include "ui_TFrmTelsNEw.h"
#include "ui_TfrmShowDocs.h"

#include <QCheckBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void shot(QWidget* w, const char* name)
{
    if (qEnvironmentVariableIsSet("DOVIN_SHOTS"))
        w->grab().save(qEnvironmentVariable("DOVIN_SHOTS") + QLatin1Char('/') + QLatin1String(name) + ".png");
}

TEST(DocumentHelpers, FoldersAndPictureKinds)
{
    EXPECT_EQ(DocumentFolder(QStringLiteral("/home/a/b.jpg")), QStringLiteral("/home/a/"));
    EXPECT_EQ(DocumentFolder(QStringLiteral("C:\\docs\\x.pdf")), QStringLiteral("C:\\docs\\"));
    EXPECT_EQ(DocumentFolder(QStringLiteral("C:x.pdf")), QStringLiteral("C:"));
    EXPECT_EQ(DocumentFolder(QStringLiteral("x.pdf")), QString());
    for (const char* yes : {".jpg", ".JPG", ".jpeg", ".Bmp", ".ico", ".emf", ".wmf"})
        EXPECT_TRUE(IsImageFile(QString::fromLatin1(yes))) << yes;
    for (const char* no : {".png", ".pdf", ".avi", "", "jpg"})
        EXPECT_FALSE(IsImageFile(QString::fromLatin1(no))) << no;
}

class Documents : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        if (IsSkipped())
            return;
        melk = addProperty(QStringLiteral("الف"), true, false, false);
        other = addProperty(QStringLiteral("ب"), true, false, false);
        Dm->Conn->exec(QStringLiteral("insert into T_EstateDocs (melkId, docPath) values ($1, '/elsewhere.jpg')"), {other});
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(Qt::darkGreen);
        picture = files.path() + QStringLiteral("/BAGH.JPG");
        img.save(picture, "JPEG");
        film = files.path() + QStringLiteral("/film.avi");
        QFile f(film);
        f.open(QIODevice::WriteOnly);
        f.write("not a picture");
        f.close();
        broken = files.path() + QStringLiteral("/broken.jpg");
        QFile b(broken);
        b.open(QIODevice::WriteOnly);
        b.write("garbage");
    }
    void add(TfrmDocs& docs, const QString& path)
    {
        prompter.answerFile(path);
        docs.BitBtn1Click();
    }

    QTemporaryDir files;
    QString picture, film, broken;
    qint64 melk = 0, other = 0;
};

TEST_P(Documents, AddDeleteAndTheEmptyMessages)
{
    TfrmDocs docs(nullptr, QString::number(melk));
    EXPECT_EQ(QString(Dm->QDocs->SQL()).remove(QLatin1Char('N')),
              QStringLiteral("select * from T_EstateDocs where melkId = ") + QString::number(melk));
    EXPECT_EQ(Dm->QDocs->RecordCount(), 0);
    docs.BitBtn3Click();
    docs.BitBtn2Click();
    docs.BitBtn4Click();
    ASSERT_EQ(prompter.calls.size(), 3);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("اطلاعاتي (عکس، فيلم و ...) براي نمايش وجود ندارد.\nبا استفاده از دکمه «اضافه کردن سند» اطلاعات جديدي را براي ملک ثبت نماييد."));
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("هيچ رديفي انتخاب نشده است."));
    EXPECT_EQ(prompter.calls[2].text, QStringLiteral("هيچ رديفي انتخاب نشده است."));

    // cancelling the dialog adds nothing; the same file twice gives two rows
    docs.BitBtn1Click();
    add(docs, picture);
    add(docs, picture);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_EstateDocs where melkId = %1").arg(melk)).toInt(), 2);
    // a path longer than the column is refused, never cut
    prompter.calls.clear();
    add(docs, QStringLiteral("/") + QString(160, QLatin1Char('x')) + QStringLiteral(".jpg"));
    ASSERT_EQ(prompter.calls.size(), 2);   // the file dialog and the message
    EXPECT_TRUE(prompter.calls[1].text.contains(QStringLiteral("150")));
    EXPECT_EQ(Dm->QDocs->RecordCount(), 2);

    docs.BitBtn4Click();
    EXPECT_EQ(prompter.opened.last(), files.path() + QLatin1Char('/'));
    // delete answered No keeps the row, Yes removes it and leaves the file
    prompter.answer(shell::ResultNo);
    docs.BitBtn2Click();
    EXPECT_EQ(Dm->QDocs->RecordCount(), 2);
    prompter.answer(shell::ResultYes);
    docs.BitBtn2Click();
    EXPECT_EQ(Dm->QDocs->RecordCount(), 1);
    EXPECT_TRUE(QFile::exists(picture));
}

TEST_P(Documents, ViewerPanelsAndWrapAround)
{
    TfrmDocs docs(nullptr, QString::number(melk));
    add(docs, picture);
    add(docs, film);
    add(docs, broken);
    add(docs, files.path() + QStringLiteral("/gone.jpg"));
    Dm->QDocs->First();
    docs.show();
    shot(&docs, "documents");
    TfrmShowDocs viewer;
    Ui::TfrmShowDocs* ui = viewer.form();
    viewer.resize(700, 500);
    viewer.show();
    viewer.ShowCurrentDoc();
    shot(&viewer, "viewer_picture");
    EXPECT_FALSE(ui->Image1->isHidden());
    EXPECT_TRUE(ui->pnlOpenInwin->isHidden());
    EXPECT_TRUE(ui->pnlNotFound->isHidden());
    EXPECT_EQ(ui->lblfpath2->text(), widgets::LeftToRight(picture));
    viewer.NextDoc();   // a film: open with the system
    shot(&viewer, "viewer_film");
    EXPECT_TRUE(ui->Image1->isHidden());
    EXPECT_FALSE(ui->pnlOpenInwin->isHidden());
    EXPECT_EQ(ui->lblfpath->text(), widgets::LeftToRight(film));
    viewer.NextDoc();   // a picture that does not load: the same panel
    EXPECT_FALSE(ui->pnlOpenInwin->isHidden());
    EXPECT_EQ(ui->lblfpath->text(), widgets::LeftToRight(broken));
    viewer.NextDoc();   // gone
    shot(&viewer, "viewer_gone");
    EXPECT_FALSE(ui->pnlNotFound->isHidden());
    EXPECT_TRUE(ui->Image1->isHidden());
    EXPECT_TRUE(ui->pnlOpenInwin->isHidden());
    EXPECT_EQ(ui->Label4->text(), widgets::LeftToRight(files.path() + QStringLiteral("/gone.jpg")));
    viewer.NextDoc();   // past the last: the first
    EXPECT_EQ(ui->lblfpath2->text(), widgets::LeftToRight(picture));
    EXPECT_FALSE(ui->Image1->isHidden());
    viewer.PriorDoc();  // before the first: the last
    EXPECT_EQ(ui->lblfpath2->text(), widgets::LeftToRight(files.path() + QStringLiteral("/gone.jpg")));
    ui->BitBtn3->click();
    ui->BitBtn5->click();
    EXPECT_EQ(prompter.opened.mid(prompter.opened.size() - 2),
              (QStringList{files.path() + QStringLiteral("/gone.jpg"), files.path() + QLatin1Char('/')}));

    // one document: both directions keep showing it
    TfrmDocs single(nullptr, QString::number(other));
    viewer.NextDoc();
    EXPECT_EQ(ui->lblfpath2->text(), widgets::LeftToRight(QStringLiteral("/elsewhere.jpg")));
    viewer.PriorDoc();
    EXPECT_EQ(ui->lblfpath2->text(), widgets::LeftToRight(QStringLiteral("/elsewhere.jpg")));
}

DOVIN_INSTANTIATE_ENGINES(Documents);

class PhoneBook : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        if (IsSkipped())
            return;
        for (const char* name : {"بهرام کريمي", "بابک", "آرش", "احمد", "پروين"})
            Dm->Conn->exec(QStringLiteral("insert into t_Tels (Esm, Phone, Mobile, Fax) values ($1, '021', '0912', '')"),
                           {QString::fromUtf8(name)});
    }
    Ui::TFrmTels* ui() { return tels()->form(); }
};

TEST_P(PhoneBook, LetterTabs)
{
    ASSERT_EQ(TFrmTels::TabLetters().size(), 33);
    EXPECT_EQ(TFrmTels::TabLetters()[0], QStringLiteral("آ"));
    EXPECT_EQ(TFrmTels::TabLetters()[24], QStringLiteral("ک"));
    EXPECT_EQ(TFrmTels::TabLetters()[31], QStringLiteral("ي"));
    EXPECT_EQ(TFrmTels::TabSql(QStringLiteral("ب")), QStringLiteral("select * from t_Tels where esm like 'ب%' order by AKey"));
    EXPECT_EQ(TFrmTels::TabSql(QStringLiteral("...")), QStringLiteral("select * from t_Tels order by AKey"));
    tels()->show();
    EXPECT_EQ(ui()->TabControl1->count(), 33);
    EXPECT_EQ(ui()->TabControl1->tabText(ui()->TabControl1->currentIndex()), QStringLiteral("..."));
    EXPECT_EQ(Dm->QTels->RecordCount(), 5);
    ui()->TabControl1->setCurrentIndex(1);
    EXPECT_EQ(Dm->QTels->RecordCount(), 2);
    ui()->TabControl1->setCurrentIndex(0);   // "آ" from that very character: not the plain alef
    EXPECT_EQ(Dm->QTels->RecordCount(), 1);
    EXPECT_EQ(f(Dm->QTels, "Esm")->AsString(), QStringLiteral("آرش"));
}

TEST_P(PhoneBook, FindDeleteAndEntry)
{
    tels()->show();
    EXPECT_EQ(ui()->CmbSearch->count(), 4);
    EXPECT_EQ(ui()->CmbSearch->currentText(), QStringLiteral("نام شخص"));
    ui()->chkjozi->setChecked(false);
    ui()->edtsearch->setText(QStringLiteral("بابک"));
    EXPECT_EQ(f(Dm->QTels, "Esm")->AsString(), QStringLiteral("بابک"));
    ui()->edtsearch->setText(QStringLiteral("کريم"));
    ui()->chkfilter->click();
    EXPECT_EQ(Dm->QTels->RecordCount(), 0);   // exact: nobody
    ui()->chkjozi->setChecked(true);
    ui()->btnsearch->click();
    EXPECT_EQ(Dm->QTels->RecordCount(), 1);
    ui()->edtsearch->clear();
    EXPECT_EQ(Dm->QTels->RecordCount(), 5);
    ui()->chkfilter->click();

    // delete: the current row only, whatever else is selected
    Dm->QTels->First();
    Dm->QTels->SelectRow(1, true);
    Dm->QTels->SelectRow(2, true);
    const QString first = f(Dm->QTels, "Esm")->AsString();
    prompter.answer(shell::ResultYes);
    tels()->btndelClick();
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("آيا رديف(هاي) انتخاب شده حذف شود؟"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_Tels")).toInt(), 4);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_Tels where Esm = '%1'").arg(first)).toInt(), 0);

    // a new row through the entry window; its close box asks, No discards
    QTimer::singleShot(0, [this] {
        auto* entry = qobject_cast<TFrmTelsNEw*>(QApplication::activeModalWidget());
        ASSERT_TRUE(entry);
        f(Dm->QTels, "Esm")->SetAsString(QStringLiteral("زهره"));
        prompter.answer(shell::ResultNo);
        entry->close();
    });
    tels()->BitBtn1Click();
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("آيا تغييرات ذخيره شوند؟"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_Tels")).toInt(), 4);
    EXPECT_EQ(Dm->QTels->State(), db::DataSetState::Browse);

    // change (Enter in the grid): post closes the entry window
    QTimer::singleShot(0, [this] {
        auto* entry = qobject_cast<TFrmTelsNEw*>(QApplication::activeModalWidget());
        ASSERT_TRUE(entry);
        f(Dm->QTels, "Fax")->SetAsString(QStringLiteral("88"));
        entry->form()->DBNavigator1->BtnClick(widgets::NavButton::Post);
    });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(ui()->dbgrid1, &enter);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_Tels where Fax = '88'")).toInt(), 1);

    prompter.answer(shell::ResultYes);   // all rows
    tels()->btnprintClick();
    EXPECT_EQ(prompter.previewCount, 1);
}

DOVIN_INSTANTIATE_ENGINES(PhoneBook);

} // namespace
