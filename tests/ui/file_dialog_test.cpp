// The program's file dialogs: a name typed without extension gets the filter's one before the
// overwrite question, so an existing file is never replaced unasked; the filters' patterns
// keep their order in the right-to-left dialog.
#include "platform/widgets/BidiText.h"
#include "ui/Dialogs.h"
#include "ui/WidgetPrompter.h"
#include "ui/WindowLook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(FileDialog, FilterSuffix)
{
    const struct {
        const char* filter;
        const char* suffix;
    } cases[] = {{"فايل هاي اکسس (*.mdb)", "mdb"},
                 {"PDF (*.pdf)", "pdf"},
                 {"Pictures (*.jpg *.jpeg)", "jpg"},
                 {"Backup (*.zdc;*.bak)", "zdc"},
                 {"All (*.*)", ""},
                 {"All (*)", ""},
                 {"*.rtf", "rtf"},
                 {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(FilterSuffix(QString::fromUtf8(c.filter)), QString::fromUtf8(c.suffix)) << c.filter;
}

// Answers the save dialog with a typed name, and the overwrite question when it comes.
struct SaveScript {
    QString typed;
    QMessageBox::StandardButton overwrite = QMessageBox::No;
    QStringList questions;
    QStringList filterTexts;
    bool typedOnce = false;

    void step(QTimer& timer)
    {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            if (typedOnce) {   // back in the dialog after "No": the user gives up
                dialog->reject();
                timer.stop();
                return;
            }
            if (qEnvironmentVariableIsSet("DOVIN_SHOTS"))
                dialog->grab().save(qEnvironmentVariable("DOVIN_SHOTS") + QStringLiteral("/save_dialog.png"));
            if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
                for (int i = 0; i < types->count(); ++i)
                    filterTexts << types->itemText(i);
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
            typedOnce = true;
            // the overwrite question waits inside the dialog's accept
            QTimer answer;
            QObject::connect(&answer, &QTimer::timeout, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    questions << box->text();
                    box->button(overwrite)->click();
                }
            });
            answer.start(10);
            static_cast<QDialog*>(dialog)->accept();
            if (!dialog->isVisible())
                timer.stop();
        }
    }
};

TEST(FileDialog, ANameTypedWithoutExtensionIsAskedAboutUnderItsRealName)
{
    InstallWindowLook(*qApp);
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("tax.mdb")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    const struct {
        const char* name;
        const char* typed;
        QMessageBox::StandardButton answer;
        int questions;
        const char* result;
    } cases[] = {{"existing, No keeps it", "tax", QMessageBox::No, 1, ""},
                 {"existing, Yes replaces it", "tax", QMessageBox::Yes, 1, "tax.mdb"},
                 {"typed with its extension", "tax.mdb", QMessageBox::Yes, 1, "tax.mdb"},
                 {"a new name", "new", QMessageBox::Yes, 0, "new.mdb"}};
    for (const auto& c : cases) {
        WidgetPrompter prompter;
        shell::FileRequest r;
        r.caption = QStringLiteral("خروجي TTMS");
        r.filter = QStringLiteral("فايل هاي اکسس (*.mdb)");
        r.directory = dir.path();
        SaveScript script;
        script.typed = QString::fromUtf8(c.typed);
        script.overwrite = c.answer;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { script.step(timer); });
        timer.start(10);
        const QString chosen = prompter.saveFile(r);
        timer.stop();
        EXPECT_EQ(script.questions.size(), c.questions) << c.name;
        if (!script.questions.isEmpty())
            EXPECT_TRUE(script.questions.first().contains(QStringLiteral("tax.mdb"))) << c.name;
        EXPECT_EQ(chosen, *c.result ? dir.filePath(QString::fromUtf8(c.result)) : QString()) << c.name;
        ASSERT_EQ(script.filterTexts.size(), 1) << c.name;
        EXPECT_EQ(script.filterTexts.first(),
                  QStringLiteral("فايل هاي اکسس ") + widgets::Isolated(QStringLiteral("(*.mdb)")))
            << c.name;
    }
}

// The platform's plain box: a caller's Latin caption (the program's name, "Confirm") gives way
// to the program's Persian title; a Persian caption stays.
TEST(PlainMessageBox, TheWindowTitleIsPersian)
{
    const struct {
        QString caption;
        QString title;
    } cases[] = {{QStringLiteral("Zanit Kolvar (Dovin)"), ProgramTitle()},
                 {QStringLiteral("Confirm"), ProgramTitle()},
                 {QString(), ProgramTitle()},
                 {QStringLiteral("خطا"), QStringLiteral("خطا")}};
    for (const auto& c : cases) {
        WidgetPrompter prompter;
        QString title;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer.start(10);
        shell::PlainMessageRequest r;
        r.caption = c.caption;
        r.text = QStringLiteral("عناوين با موفقيت ذخيره شدند");
        EXPECT_EQ(prompter.plainMessage(r), shell::ResultOk);
        EXPECT_EQ(title, c.title) << c.caption.toStdString();
    }
}

} // namespace
