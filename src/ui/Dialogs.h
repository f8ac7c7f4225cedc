#pragma once
// The program's message dialog and input box, reached through the current prompter.

#include <QString>

// Dialog kinds.
enum DlgKind { dkError = 0, dkInfo = 1, dkQuestion = 2 };
// Button bits.
enum DlgButton { dbOk = 1, dbCancel = 2, dbYes = 4, dbNo = 8, dbRetry = 16, dbAll = 32 };
// Font style bits.
enum DlgFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4 };
// Input box modes.
enum InputMode { imText = 0, imAmount = 1, imNumber = 2, imDate = 3, imPassword = 4 };

// The program's Persian title: the start of the main window's caption and the title of the
// platform's plain message box whose caller gives none in Persian.
QString ProgramTitle();

// Returns the pressed button's result (OK 1, Cancel 2, Retry 4, Yes 6, No 7, All 8; close box 2).
int ShowMessageDlg(int kind, const QString& caption, const QString& message, int buttons,
                   int fontSize = 10, const QString& fontName = QStringLiteral("tahoma"), int fontStyle = 0);

// The text typed, empty when cancelled.
QString ShowInputBox(const QString& caption, const QString& prompt, int maxLength,
                     const QString& initialText = {}, int mode = imText, const QString& decimalFlag = {});
