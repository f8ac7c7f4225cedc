#pragma once
// The long-lived windows, created once at start-up in the program's order.

// Creates them; false when the start-up must end (the reason has been shown).
bool CreateForms();
// Frees them in the reverse order.
void FreeForms();

#include <functional>

// Ends the program: leaves the running event loops, and the main loop ends as soon as it
// would start. The handler (tests replace it) runs after the request is noted.
void TerminateApplication();
bool TerminateRequested();
// Replaces the handler and clears the request; returns the previous handler.
std::function<void()> SetTerminateHandler(std::function<void()> handler);
