#pragma once
// The long-lived windows, created once at start-up in the program's order.

// Creates them; false when the start-up must end (the reason has been shown).
bool CreateForms();
// Frees them in the reverse order.
void FreeForms();
