#pragma once
// Checks on windows as a user meets them: the return from minimised and the opening width.

#include <gtest/gtest.h>

class QWidget;
namespace widgets { class DBGrid; }

namespace testing_support {

// Minimises the shown window and brings it back, as the window manager does: Qt delivers a
// spontaneous hide and then a spontaneous show.
void MinimiseAndRestore(QWidget* window);

// Success when the grid's visible columns are all whole inside it, or, when they cannot be,
// the window spans the screen's free width.
::testing::AssertionResult ShowsItsColumns(QWidget* window, widgets::DBGrid* grid);

} // namespace testing_support
