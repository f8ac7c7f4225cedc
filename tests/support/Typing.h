#pragma once
// Typing into a widget as a user does, for any text (QTest::keyClicks takes ASCII only).

#include <QString>

class QWidget;

namespace testing_support {

// One key press and release per character, sent to the widget (and on to its parents when
// it does not take them).
void typeText(QWidget* w, const QString& text);

} // namespace testing_support
