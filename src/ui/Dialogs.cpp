#include "ui/Dialogs.h"

#include "platform/shell/Prompter.h"

#include <QtGlobal>

QString ProgramTitle() { return QStringLiteral("آژانس املاک - گروه مهندسين مشاور زانيت کلوار"); }

int ShowMessageDlg(int kind, const QString& caption, const QString& message, int buttons,
                   int fontSize, const QString& fontName, int fontStyle)
{
    shell::MessageRequest r;
    r.kind = kind;
    r.caption = caption;
    r.text = message;
    r.buttons = buttons;
    r.fontSize = qMax(10, fontSize);
    r.fontName = fontName;
    r.bold = fontStyle & fsBold;
    r.italic = fontStyle & fsItalic;
    r.underline = fontStyle & fsUnderline;
    return shell::prompter().messageDlg(r);
}

QString ShowInputBox(const QString& caption, const QString& prompt, int maxLength,
                     const QString& initialText, int mode, const QString& decimalFlag)
{
    shell::InputRequest r;
    r.caption = caption;
    r.prompt = prompt;
    r.maxLength = maxLength;
    r.initialText = initialText;
    r.mode = mode;
    r.decimalFlag = decimalFlag;
    return shell::prompter().inputBox(r).value_or(QString());
}
