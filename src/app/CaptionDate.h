#pragma once
// Today's Persian date as yyyy/mm/dd for the main window's caption.

#include <QString>

QString CaptionDate();
