// The program's look: mnemonic captions keep their letters joined, the message dialog grows
// to its text, top-level windows open centred, left-to-right texts keep their order.
#include "platform/report/Fonts.h"
#include "platform/shell/Prompter.h"
#include "ui/Tfrm_dlg.h"
#include "platform/widgets/BidiText.h"
#include "ui/WindowLook.h"
#include "ui/WidgetPrompter.h"
#include "ui_Tfrm_dlg.h"

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QTreeWidget>
#include <memory>
#include <gtest/gtest.h>

namespace {

void shot(QWidget* w, const char* name)
{
    if (qEnvironmentVariableIsSet("DOVIN_SHOTS"))
        w->grab().save(qEnvironmentVariable("DOVIN_SHOTS") + QLatin1Char('/') + QLatin1String(name) + ".png");
}

TEST(WindowLook, StripMnemonic)
{
    const struct {
        const char* text;
        const char* plain;
        int at;
    } cases[] = {{"ان&صراف", "انصراف", 2}, {"&تاييد", "تاييد", 0}, {"چ&اپ", "چاپ", 1},
                 {"a && b", "a & b", -1}, {"&&x&y", "&xy", 2},     {"end&", "end&", -1},
                 {"بدون", "بدون", -1}};
    for (const auto& c : cases) {
        int at = -2;
        EXPECT_EQ(StripMnemonic(QString::fromUtf8(c.text), &at), QString::fromUtf8(c.plain)) << c.text;
        EXPECT_EQ(at, c.at) << c.text;
    }
    EXPECT_TRUE(HasArabicLetters(QStringLiteral("ok چاپ")));
    EXPECT_FALSE(HasArabicLetters(QStringLiteral("/tmp/a.jpg 1403/05/12")));
}

// The caption with its mnemonic draws the same joined letters as the plain word, with an
// underline below them.
TEST(WindowLook, MnemonicCaptionsKeepTheirLettersJoined)
{
    PersianStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font(QStringLiteral("Noto Sans Arabic"));
    font.setPixelSize(20);
    const QRect area(0, 0, 200, 40);
    const auto draw = [&](const QString& text, int flags, bool styled) {
        QImage img(area.size(), QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setFont(font);
        p.setLayoutDirection(Qt::RightToLeft);
        p.setPen(Qt::black);
        if (styled)
            style.drawItemText(&p, area, flags, QPalette(Qt::white), true, text, QPalette::WindowText);
        else
            p.drawText(area, flags, text);
        return img;
    };
    const QFontMetrics fm(font);
    const int baseline = (area.height() - fm.height()) / 2 + fm.ascent();
    for (const char* word : {"ان&صراف", "چ&اپ", "ح&ذف"}) {
        const QString text = QString::fromUtf8(word);
        const QImage marked = draw(text, Qt::AlignCenter | Qt::TextShowMnemonic, true);
        const QImage plain = draw(StripMnemonic(text), Qt::AlignCenter, false);
        // the letters: every row down to the baseline as the plain word
        bool same = true;
        for (int y = 0; y <= baseline; ++y)
            same = same && memcmp(marked.constScanLine(y), plain.constScanLine(y), size_t(marked.bytesPerLine())) == 0;
        EXPECT_TRUE(same) << word;
        // the underline: dark pixels below the baseline that the plain word lacks
        int extra = 0;
        for (int y = baseline + 1; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                extra += qGray(marked.pixel(x, y)) < 128 && qGray(plain.pixel(x, y)) >= 128;
        EXPECT_GT(extra, 3) << word;
    }
    // without a mnemonic, or hidden, nothing is underlined
    const QString word = QStringLiteral("ان&صراف");
    EXPECT_EQ(draw(word, Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextHideMnemonic, true),
              draw(StripMnemonic(word), Qt::AlignCenter, false));
}

shell::MessageRequest message(const QString& text, int buttons = 4 | 8)
{
    shell::MessageRequest r;
    r.kind = 1;
    r.text = text;
    r.buttons = buttons;
    r.fontSize = 8;
    return r;
}

TEST(WindowLook, MessageDialogGrowsToItsText)
{
    const QString question = QStringLiteral("توصيه مي شود براي چاپ از دکمه «چاپ جزييات» استفاده نماييد.") +
                             QLatin1Char('\n') +
                             QStringLiteral("آيا مي خواهيد از دکمه «چاپ جزييات» به جاي «چاپ» استفاده نماييد؟");
    const QString restore = QStringLiteral("در صورت ادامه دادن ، كليه اطلاعات با اطلاعات فايل  انتخاب شده") +
                            QStringLiteral("\r\n") + QStringLiteral("جايگزين مي شوند ، آيا ادامه مي دهيد؟");
    QString longText;
    for (int i = 0; i < 60; ++i)
        longText += QStringLiteral("سطر %1 از راهنماي برنامه\n").arg(i);
    const struct {
        const char* name;
        QString text;
        bool grows;
        bool scrolls;
    } cases[] = {{"short", QStringLiteral("هيچ رديفي انتخاب نشده است"), false, false},
                 {"print question", question, true, false},
                 {"restore question", restore, true, false},
                 {"very long", longText, true, true}};
    report::installFontSubstitutions(); // tahoma as the program shows it
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    for (const auto& c : cases) {
        Tfrm_dlg dlg;
        dlg.setup(message(c.text));
        dlg.show();
        QTextEdit* memo = dlg.form()->memmess;
        EXPECT_EQ(dlg.size() != QSize(411, 156), c.grows) << c.name;
        EXPECT_EQ(memo->verticalScrollBar()->maximum() > 0, c.scrolls) << c.name;
        EXPECT_EQ(memo->verticalScrollBar()->isVisible(), c.scrolls) << c.name;
        // where the room allows, each line of the message stays one line
        if (!c.scrolls)
            for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next())
                EXPECT_EQ(b.layout()->lineCount(), 1) << c.name << " " << b.text().toStdString();
        EXPECT_LE(dlg.width(), screen.width()) << c.name;
        EXPECT_LE(dlg.height(), screen.height()) << c.name;
        // the buttons stay below the text, inside the dialog
        for (QPushButton* b : dlg.buttons()) {
            EXPECT_GE(b->y(), memo->geometry().bottom()) << c.name;
            EXPECT_LE(b->geometry().bottom(), dlg.height()) << c.name;
        }
        shot(&dlg, c.name);
        dlg.hide();
    }
}

// The focused button shows its focus frame as soon as it has the focus, before any key moved it.
TEST(WindowLook, AFocusedButtonShowsItsFocusFrame)
{
    PersianStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    const auto draw = [&](QStyle::State state) {
        QImage img(80, 26, QImage::Format_ARGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        QStyleOptionButton option;
        option.rect = img.rect();
        option.state = QStyle::State_Enabled | QStyle::State_Raised | state;
        option.text = QStringLiteral("تاييد");
        style.drawControl(QStyle::CE_PushButton, &option, &p);
        return img;
    };
    const QImage plain = draw(QStyle::State_None);
    const QImage focused = draw(QStyle::State_HasFocus);
    EXPECT_NE(plain, focused);
    EXPECT_EQ(focused, draw(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange));
}

TEST(WindowLook, WindowsOpenCentredOnce)
{
    QWidget window;
    window.resize(500, 300);
    QApplication* app = qApp;
    InstallWindowLook(*app);
    window.show();
    const QRect area = window.screen()->availableGeometry();
    EXPECT_LE((window.geometry().center() - area.center()).manhattanLength(), 2);
    // moved by the user, it opens there again
    window.hide();
    window.move(10, 20);
    window.show();
    EXPECT_EQ(window.pos(), QPoint(10, 20));
}

TEST(WindowLook, LeftToRightTextsKeepTheirOrder)
{
    // drawn in a right-to-left line, the marked path looks as it does in a left-to-right one
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    const auto draw = [&](const QString& text, Qt::LayoutDirection direction) {
        QImage img(200, 30, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setFont(font);
        p.setLayoutDirection(direction);
        p.drawText(img.rect(), Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter, text);
        return img;
    };
    const QString path = QStringLiteral("/tmp/a.jpg");
    const QImage ltr = draw(path, Qt::LeftToRight);
    EXPECT_NE(draw(path, Qt::RightToLeft), ltr);
    EXPECT_EQ(draw(widgets::LeftToRight(path), Qt::RightToLeft), ltr);
    EXPECT_EQ(draw(widgets::Isolated(path), Qt::RightToLeft), ltr);
    EXPECT_EQ(draw(widgets::Isolated(QStringLiteral("-12/5")), Qt::RightToLeft), draw(QStringLiteral("-12/5"), Qt::LeftToRight));
    // Persian keeps its own direction
    EXPECT_EQ(widgets::Isolated(QStringLiteral("12 متر")), QStringLiteral("12 متر"));
}

TEST(WindowLook, ListRowsKeepANegativeAmountsMinusBeforeItsDigits)
{
    const auto shot = [](QStyle* style, const QString& text) {
        QTreeWidget list;
        list.setStyle(style);
        list.setLayoutDirection(Qt::RightToLeft);
        list.setHeaderHidden(true);
        list.setColumnCount(1);
        (new QTreeWidgetItem(&list))->setText(0, text);
        list.resize(200, 60);
        return list.grab().toImage();
    };
    PersianStyle persian(QStyleFactory::create(QStringLiteral("Fusion")));
    std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString amount = QStringLiteral("-42,530,080,000");
    // a plain right-to-left row shows "42,530,080,000-"
    EXPECT_NE(shot(plain.get(), amount), shot(plain.get(), widgets::LeftToRight(amount)));
    EXPECT_EQ(shot(&persian, amount), shot(plain.get(), widgets::LeftToRight(amount)));
}

} // namespace

namespace {

TEST(WindowLook, ThePlainBoxShowsErrorsWithTheErrorPicture)
{
    WidgetPrompter prompter;
    const struct {
        bool error;
        shell::PlainMessageRequest::Buttons buttons;
        QMessageBox::Icon icon;
    } cases[] = {
        {true, shell::PlainMessageRequest::Ok, QMessageBox::Critical},
        {false, shell::PlainMessageRequest::Ok, QMessageBox::Information},
        {false, shell::PlainMessageRequest::YesNo, QMessageBox::Question},
    };
    for (const auto& c : cases) {
        QMessageBox::Icon shown = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->icon();
                box->done(0);
            }
        });
        shell::PlainMessageRequest r;
        r.text = QStringLiteral("خطا");
        r.error = c.error;
        r.buttons = c.buttons;
        prompter.plainMessage(r);
        EXPECT_EQ(shown, c.icon) << c.error;
    }
}

} // namespace
