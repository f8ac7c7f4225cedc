#include "app/TForm4.h"

TForm4* Form4 = nullptr;

TForm4::TForm4(QWidget* parent)
    : TPictureHelpForm(QStringLiteral("Windows 7 Help"), QStringLiteral("تنظيم زبان فارسي در ويندوز 7"),
                       QColor(37, 98, 160),
                       {{QStringLiteral("از منوي Start گزينه Control Panel و سپس Region and Language را باز کنيد."),
                         QStringLiteral("Control Panel"), {QStringLiteral("Clock, Language, and Region"),
                                                           QStringLiteral("*Region and Language"),
                                                           QStringLiteral("Date and Time")}},
                        {QStringLiteral("در برگه Keyboards and Languages دکمه Change keyboards را بزنيد."),
                         QStringLiteral("Region and Language"), {QStringLiteral("Formats"), QStringLiteral("Location"),
                                                                 QStringLiteral("*Keyboards and Languages"),
                                                                 QStringLiteral("Administrative")}},
                        {QStringLiteral("دکمه Add را بزنيد و از فهرست، Persian را انتخاب کنيد."),
                         QStringLiteral("Add Input Language"), {QStringLiteral("Norwegian"), QStringLiteral("*Persian"),
                                                                QStringLiteral("Polish")}},
                        {QStringLiteral("در برگه Administrative دکمه Change system locale را بزنيد، Persian را انتخاب کنيد و رايانه را دوباره راه اندازي کنيد."),
                         QStringLiteral("Region and Language Settings"), {QStringLiteral("Current system locale:"),
                                                                          QStringLiteral("*Persian (Iran)"), QStringLiteral("OK")}}},
                       parent)
{
}
