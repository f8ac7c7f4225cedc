#include "app/TForm5.h"

TForm5* Form5 = nullptr;

TForm5::TForm5(QWidget* parent)
    : TPictureHelpForm(QStringLiteral("Win 8 Help"), QStringLiteral("تنظيم زبان فارسي در ويندوز 8"),
                       QColor(0, 130, 153),
                       {{QStringLiteral("در Control Panel گزينه Language را باز کنيد."),
                         QStringLiteral("Control Panel"), {QStringLiteral("Clock, Language, and Region"),
                                                           QStringLiteral("*Language"), QStringLiteral("Region")}},
                        {QStringLiteral("دکمه Add a language را بزنيد و فارسي (Persian) را اضافه کنيد."),
                         QStringLiteral("Add languages"), {QStringLiteral("Polski"), QStringLiteral("*فارسی - Persian"),
                                                           QStringLiteral("Português")}},
                        {QStringLiteral("در Control Panel گزينه Region را باز کنيد و به برگه Administrative برويد."),
                         QStringLiteral("Region"), {QStringLiteral("Formats"), QStringLiteral("Location"),
                                                    QStringLiteral("*Administrative")}},
                        {QStringLiteral("دکمه Change system locale را بزنيد، Persian (Iran) را انتخاب کنيد و رايانه را دوباره راه اندازي کنيد."),
                         QStringLiteral("Region Settings"), {QStringLiteral("Current system locale:"),
                                                             QStringLiteral("*Persian (Iran)"), QStringLiteral("OK")}}},
                       parent)
{
}
