#pragma once
// A window's opening work (reading its rows, resetting its criteria, taking the snapshot of
// what it may undo, centring it, focusing its first box) belongs to its opening: a show from
// hidden, by show() or exec(), also when a closed window is opened again from the menu. Qt
// also delivers a show event, a spontaneous one, when the window manager brings the window
// back from minimised: that one leaves the window exactly as the user left it.

#include <functional>

class QShowEvent;
class QWidget;

namespace widgets {

// True for the show event of an opening; false for a return from minimised.
bool IsOpening(const QShowEvent* event);

// Runs work at every opening of window, while it is shown (before it is on the screen).
// Works given for the same window run in the order given.
void OnFormShow(QWidget* window, std::function<void()> work);

} // namespace widgets
