#pragma once
// Key and change handlers that keep Persian dates and amounts in shape while they are typed.
//
// Forms call the key handlers from an event filter on the edit box's key presses and return
// their result: true means the key was handled here or refused, and must not reach the box.
// Refused keys that would change the text are swallowed; navigation keys always pass.
// Persian and Arabic-Indic digits are accepted and stored as ASCII digits.

#include <QString>

class QKeyEvent;
class QLineEdit;

// Date box "yyyy/mm/dd" with "_" for untyped places (a read-only or masked "9999/99/99" box).
bool DateEditKeyDown(QLineEdit* edit, const QKeyEvent* event);

// Amount and number boxes: sign in front, at most maxDigits characters besides separators and sign,
// at most three decimals; decimalFlag "FALSE" (any case) forbids decimals.
bool MoneyEditKeyDown(QLineEdit* edit, const QKeyEvent* event, int maxDigits, const QString& decimalFlag);
// The same decisions for a data-aware box.
bool MoneyEditKeyDown2(QLineEdit* edit, const QKeyEvent* event, int maxDigits, const QString& decimalFlag);

// Holds pasted text to the same limits as typed keys (the key handlers call it themselves;
// forms may call it when they set the box up, so that a paste before any key is held too).
void SetMoneyEditLimit(QLineEdit* edit, int maxDigits, const QString& decimalFlag);

// Regroups an amount with thousands separators, keeping the caret.
void MoneyEditChange(QLineEdit* edit);

// Refuses the double quote in free-text boxes.
bool BlockApostropheKey(QLineEdit* edit, const QKeyEvent* event);
