#include "app/TForm3.h"

TForm3* Form3 = nullptr;

TForm3::TForm3(QWidget* parent)
    : TPictureHelpForm(QStringLiteral("Windows XP Help"), QStringLiteral("تنظيم زبان فارسي در ويندوز XP"),
                       QColor(0, 84, 227),
                       {{QStringLiteral("از منوي Start گزينه Control Panel را باز کنيد و Regional and Language Options را انتخاب کنيد."),
                         QStringLiteral("Control Panel"), {QStringLiteral("Accessibility Options"), QStringLiteral("Fonts"),
                                                           QStringLiteral("*Regional and Language Options"),
                                                           QStringLiteral("System")}},
                        {QStringLiteral("در برگه Languages گزينه Install files for complex script and right-to-left languages را علامت بزنيد."),
                         QStringLiteral("Languages"), {QStringLiteral("Text services and input languages"),
                                                       QStringLiteral("Details..."),
                                                       QStringLiteral("*Install files for complex script")}},
                        {QStringLiteral("دکمه Details و سپس Add را بزنيد و Persian را اضافه کنيد."),
                         QStringLiteral("Add Input Language"), {QStringLiteral("Input language:"), QStringLiteral("*Persian"),
                                                                QStringLiteral("Keyboard layout/IME:"), QStringLiteral("Persian")}},
                        {QStringLiteral("در برگه Advanced، زبان Language for non-Unicode programs را Persian کنيد و رايانه را دوباره راه اندازي کنيد."),
                         QStringLiteral("Advanced"), {QStringLiteral("Language for non-Unicode programs:"),
                                                      QStringLiteral("*Persian"), QStringLiteral("OK")}}},
                       parent)
{
}
