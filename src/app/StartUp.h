#pragma once
// The long-lived windows, created once at start-up in the program's order.

// Creates them; false when the start-up must end (the reason has been shown).
bool CreateForms();
// Frees them in the reverse order.
void FreeForms();

#include <functional>

// Ends the program the way closing the main window does (the save questions of the open
// windows and records, the commit of an open transaction, every window closed), then leaves
// the running event loops; the main loop ends as soon as it would start. When the user stops
// the close, the request is withdrawn. The handler (tests replace it) runs after the close.
void TerminateApplication();
bool TerminateRequested();
// Replaces the handler and clears the request; returns the previous handler.
std::function<void()> SetTerminateHandler(std::function<void()> handler);
