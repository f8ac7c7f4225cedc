#include "app/TForm2000.h"

TForm2000* Form2000 = nullptr;

TForm2000::TForm2000(QWidget* parent)
    : TPictureHelpForm(QStringLiteral("Windows 2000 Help"), QStringLiteral("تنظيم زبان فارسي در ويندوز 2000"),
                       QColor(10, 36, 106),
                       {{QStringLiteral("از منوي Start گزينه Settings و سپس Control Panel را باز کنيد."),
                         QStringLiteral("Start"), {QStringLiteral("Programs"), QStringLiteral("Documents"),
                                                   QStringLiteral("*Settings"), QStringLiteral("Search"),
                                                   QStringLiteral("Help")}},
                        {QStringLiteral("روي Regional Options دو بار کليک کنيد."),
                         QStringLiteral("Control Panel"), {QStringLiteral("Display"), QStringLiteral("Fonts"),
                                                           QStringLiteral("Keyboard"), QStringLiteral("*Regional Options"),
                                                           QStringLiteral("System")}},
                        {QStringLiteral("در برگه General، در فهرست Language settings for the system گزينه Arabic را علامت بزنيد."),
                         QStringLiteral("Regional Options"), {QStringLiteral("General"), QStringLiteral("Baltic"),
                                                              QStringLiteral("*Arabic"), QStringLiteral("Cyrillic")}},
                        {QStringLiteral("در برگه Input Locales دکمه Add را بزنيد و Farsi را اضافه کنيد."),
                         QStringLiteral("Add Input Locale"), {QStringLiteral("Input locale:"), QStringLiteral("*Farsi"),
                                                              QStringLiteral("Keyboard layout/IME:"), QStringLiteral("Farsi")}},
                        {QStringLiteral("دکمه Set default را بزنيد تا Farsi زبان پيش فرض سيستم شود و رايانه را دوباره راه اندازي کنيد."),
                         QStringLiteral("Regional Options"), {QStringLiteral("Your locale (location):"),
                                                              QStringLiteral("*Set default..."), QStringLiteral("OK")}}},
                       parent)
{
}
