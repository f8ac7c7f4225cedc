#pragma once
// How every window of the program looks and opens: Qt's own dialogs in Persian, captions
// with a keyboard mnemonic inside a word drawn with their letters joined, top-level windows
// opening centred on the screen, and left-to-right texts kept in their order inside
// right-to-left windows.

#include "platform/widgets/BidiText.h"

#include <QProxyStyle>
#include <QString>

class QApplication;
class QFileDialog;
class QStyleOptionButton;
class QWidget;

// Installs the style, Qt's Persian translation and the window centring on the application.
void InstallWindowLook(QApplication& app);

// The style: draws "ان&صراف" as the joined word with the mnemonic letter underlined, and a
// caption without Persian letters ("/tmp/a.jpg", "1403/05/12") left to right.
class PersianStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit PersianStyle(QStyle* base = nullptr);

    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& pal, bool enabled,
                      const QString& text, QPalette::ColorRole textRole = QPalette::NoRole) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    // A focused button shows its focus frame.
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    // Drop-down lists whose rows Qt sizes by the Latin font get rows as high as their letters.
    void polish(QWidget* widget) override;
    using QProxyStyle::polish;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

private:
    // A button caption with its icon in a right-to-left window: side by side, never overlapping.
    void drawRightToLeftButtonLabel(const QStyleOptionButton& button, QPainter* painter, const QWidget* widget) const;
};

// The caption without its mnemonic marker ("&&" gives "&"); mnemonicAt: the index of the
// marked letter in the result, -1 when there is none.
QString StripMnemonic(const QString& text, int* mnemonicAt = nullptr);
// True when the text holds a letter of the Arabic script.
bool HasArabicLetters(const QString& text);

// Left-to-right texts inside right-to-left windows: widgets::LeftToRight, widgets::Isolated.

// A window without a caption: the title stays blank instead of the program's name.
void SetNoCaption(QWidget* window);

// The window a modal window blocks: the active one, else the window of its parent; null when
// none is shown. The modal window opens transient for it, and on top while a shown window is.
QWidget* BlockedWindow(const QWidget* modal);

// Qt's file dialog as the program shows it: file names, sizes and dates keep their order.
void PrepareFileDialog(QFileDialog& dialog);
