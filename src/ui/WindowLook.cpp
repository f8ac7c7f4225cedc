#include "ui/WindowLook.h"

#include <algorithm>

#include "platform/widgets/BidiText.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QStyledItemDelegate>
#include <QFileDialog>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QLibraryInfo>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextLayout>
#include <QTranslator>
#include <QTreeView>
#include <QWidget>
#include <QWindow>

using widgets::Isolated;
using widgets::LeftToRight;

namespace {

// Set while a menu item is drawn: its text goes straight to the painter, so a mnemonic there
// is hidden rather than splitting the word.
thread_local bool hideMnemonics = false;

// Opens every top-level window centred on its screen the first time it is shown, unless it
// was placed already (a dialog over its parent, a window moved by code or by the user).
class WindowCentring : public QObject {
public:
    using QObject::QObject;

private:
    // Without a window manager nobody maximises a window: once the manager would have done
    // it, a window still well short of the screen is given the whole free area by hand.
    static void fillScreenWithoutWindowManager(QWidget* w)
    {
        QPointer<QWidget> window(w);
        QTimer::singleShot(300, w, [window] {
            if (!window || !window->isVisible() || !(window->windowState() & Qt::WindowMaximized))
                return;
            QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
            if (!screen)
                return;
            const QRect area = screen->availableGeometry();
            if (window->frameGeometry().width() < area.width() * 9 / 10
                || window->frameGeometry().height() < area.height() * 9 / 10)
                window->setGeometry(area);
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            const Qt::WindowType type = w->windowType();
            if (w->isWindow() && (w->windowState() & Qt::WindowMaximized))
                fillScreenWithoutWindowManager(w);
            if (w->isWindow() && (type == Qt::Window || type == Qt::Dialog) && !w->testAttribute(Qt::WA_Moved)
                && !(w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
                if (QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen()) {
                    const QRect area = screen->availableGeometry();
                    QPoint at = area.center() - QPoint(w->width() / 2, w->height() / 2);
                    at.setX(qMax(at.x(), area.left()));
                    at.setY(qMax(at.y(), area.top()));
                    w->move(at);
                }
        }
        return QObject::eventFilter(watched, event);
    }
};

// A modal window opens over the window it blocks: transient for it (whatever the parent it
// was made with), and staying on top while any shown window does (it blocks them all), so
// that no window manager stacks the window the user must answer under another one. Hidden
// again, it gets back its own owner and flags.
class ModalOwner : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip) {
                if (event->type() == QEvent::Show && w->windowModality() != Qt::NonModal)
                    keepOver(w, BlockedWindow(w));
                else if (event->type() == QEvent::Hide && w->property(OwnTransient).isValid())
                    giveBack(w);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static constexpr const char* OwnTransient = "dovinOwnTransient";
    static constexpr const char* AddedOnTop = "dovinAddedOnTop";

    static void keepOver(QWidget* w, QWidget* blocked)
    {
        QWindow* handle = w->windowHandle();
        if (!handle || !blocked || !blocked->windowHandle())
            return;
        if (!w->property(OwnTransient).isValid())
            w->setProperty(OwnTransient, QVariant::fromValue(QPointer<QWindow>(handle->transientParent())));
        handle->setTransientParent(blocked->windowHandle());
        if (!(handle->flags() & Qt::WindowStaysOnTopHint) && anotherOnTop(w)) {
            w->setProperty(AddedOnTop, true);
            setOnTop(w, true);
        }
    }

    // Whether a shown window other than w stays on top: w blocks it too, so it goes above it.
    static bool anotherOnTop(const QWidget* w)
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(), [w](const QWidget* other) {
            return other != w && other->isVisible() && other->windowType() != Qt::Popup
                   && other->windowType() != Qt::ToolTip && other->windowHandle()
                   && (other->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
        });
    }

    static void giveBack(QWidget* w)
    {
        if (QWindow* handle = w->windowHandle())
            handle->setTransientParent(w->property(OwnTransient).value<QPointer<QWindow>>());
        w->setProperty(OwnTransient, QVariant());
        if (w->property(AddedOnTop).toBool()) {
            w->setProperty(AddedOnTop, QVariant());
            setOnTop(w, false);
        }
    }

    // Changes the flag on the shown window without hiding it, as setWindowFlags would.
    static void setOnTop(QWidget* w, bool on)
    {
        Qt::WindowFlags flags = w->windowFlags();
        flags.setFlag(Qt::WindowStaysOnTopHint, on);
        w->overrideWindowFlags(flags);
        if (QWindow* handle = w->windowHandle())
            handle->setFlags(flags);
    }
};

// Names, sizes and dates of the file dialog's lists, each in its own direction.
class IsolatedNames : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override
    {
        const QVariant v = QIdentityProxyModel::data(index, role);
        if (role == Qt::DisplayRole && v.typeId() == QMetaType::QString)
            return Isolated(v.toString());
        return v;
    }
};

// Rows as high as the Persian letters, which come from a taller fallback font than the
// widget's own one that Qt measures the rows by.
class PersianRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        QFont persian = option.font;
        persian.setFamilies({QStringLiteral("Noto Sans Arabic"), option.font.family()});
        size.setHeight(qMax(size.height(), QFontMetrics(persian).height() + 2));
        return size;
    }
};

} // namespace

QWidget* BlockedWindow(const QWidget* modal)
{
    const auto usable = [modal](QWidget* w) {
        return w && w != modal && w->isVisible() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip;
    };
    QWidget* active = QApplication::activeWindow();
    if (usable(active))
        return active->window();
    QWidget* parent = modal->parentWidget() ? modal->parentWidget()->window() : nullptr;
    return usable(parent) ? parent : nullptr;
}

void PrepareFileDialog(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new IsolatedNames(&dialog));
    // the filters' patterns read "(*.mdb)", never "(mdb.*)"
    if (auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        for (int i = 0; i < types->count(); ++i) {
            const QString text = types->itemText(i);
            const qsizetype open = text.lastIndexOf(QLatin1Char('('));
            if (open >= 0 && text.endsWith(QLatin1Char(')')))
                types->setItemText(i, text.left(open) + Isolated(text.mid(open)));
        }
    // a typed path reads left to right
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setLayoutDirection(Qt::LeftToRight);
    // the details list shows size, type and date whole; the name takes the rest
    if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = tree->header();
        header->setStretchLastSection(false);
        for (int column = 0; column < header->count(); ++column)
            header->setSectionResizeMode(column, column == 0 ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    }
    dialog.resize(qMax(dialog.width(), 900), qMax(dialog.height(), 500));
}

QString StripMnemonic(const QString& text, int* mnemonicAt)
{
    QString out;
    out.reserve(text.size());
    int at = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
            if (text[i] != QLatin1Char('&') && at < 0)
                at = int(out.size());
        }
        out += text[i];
    }
    if (mnemonicAt)
        *mnemonicAt = at;
    return out;
}

bool HasArabicLetters(const QString& text)
{
    for (const QChar c : text)
        if (c.script() == QChar::Script_Arabic)
            return true;
    return false;
}

void SetNoCaption(QWidget* window)
{
    // an empty title would show the program's name
    window->setWindowTitle(QStringLiteral(" "));
}

PersianStyle::PersianStyle(QStyle* base) : QProxyStyle(base) {}

void PersianStyle::drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& pal,
                                       bool enabled, const QString& text, QPalette::ColorRole textRole) const
{
    if (!HasArabicLetters(text)) {
        // a path or a date: its slashes stay where they are
        QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, text.isEmpty() ? text : LeftToRight(text),
                                  textRole);
        return;
    }
    if (!(flags & (Qt::TextShowMnemonic | Qt::TextHideMnemonic)) || !text.contains(QLatin1Char('&'))) {
        QProxyStyle::drawItemText(painter, rect, flags, pal, enabled, widgets::NegativeNumbersLeftToRight(text),
                                  textRole);
        return;
    }
    // Qt underlines the marked letter as a separately shaped piece, which breaks the joining
    // of the word: draw the whole word, then the underline under the letter's place in it
    int at = -1;
    const QString plain = StripMnemonic(text, &at);
    const bool underline = (flags & Qt::TextShowMnemonic) && !(flags & Qt::TextHideMnemonic) && at >= 0
                           && !plain.contains(QLatin1Char('\n'));
    const int plainFlags = flags & ~(Qt::TextShowMnemonic | Qt::TextHideMnemonic);
    // a lone "&" left in the text is drawn as it is
    QProxyStyle::drawItemText(painter, rect, plainFlags, pal, enabled, plain, textRole);
    if (!underline)
        return;

    QTextLayout layout(plain, painter->font());
    QTextOption option;
    option.setTextDirection(painter->layoutDirection());
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return;
    }
    line.setLineWidth(1e6);
    layout.endLayout();
    const qreal left = line.naturalTextRect().left();
    const qreal width = line.naturalTextWidth();
    const qreal a = line.cursorToX(at) - left;
    const qreal b = line.cursorToX(at + 1) - left;

    const QFontMetricsF fm(painter->font());
    const Qt::Alignment align = QStyle::visualAlignment(painter->layoutDirection(), Qt::Alignment(flags));
    const QRect textRect =
        QStyle::alignedRect(Qt::LeftToRight, align, QSize(qCeil(width), qCeil(fm.height())), rect);
    const qreal y = textRect.top() + fm.ascent() + fm.underlinePos();
    QPen pen(pal.color(enabled ? QPalette::Active : QPalette::Disabled,
                       textRole == QPalette::NoRole ? QPalette::WindowText : textRole));
    pen.setWidthF(qMax<qreal>(1, fm.lineWidth()));
    painter->save();
    painter->setPen(pen);
    painter->drawLine(QPointF(textRect.left() + qMin(a, b), y), QPointF(textRect.left() + qMax(a, b), y));
    painter->restore();
}

void PersianStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const
{
    // the focused button shows its focus frame from the start, not only after a key moved the
    // focus: Enter presses it
    if (element == PE_PanelButtonCommand && option && (option->state & State_HasFocus)
        && !(option->state & State_KeyboardFocusChange)) {
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            QStyleOptionButton shown = *button;
            shown.state |= State_KeyboardFocusChange;
            QProxyStyle::drawPrimitive(element, &shown, painter, widget);
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void PersianStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                      const QWidget* widget) const
{
    if (element == CE_PushButtonLabel) {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (button && button->direction == Qt::RightToLeft && !button->icon.isNull() && !button->text.isEmpty()) {
            drawRightToLeftButtonLabel(*button, painter, widget);
            return;
        }
    }
    if (element == CE_ItemViewItem) {
        // list rows keep a path's or a negative amount's order, as labels do
        const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option);
        if (item && item->direction == Qt::RightToLeft && !item->text.isEmpty()) {
            QStyleOptionViewItem isolated = *item;
            isolated.text = Isolated(item->text);
            QProxyStyle::drawControl(element, &isolated, painter, widget);
            return;
        }
    }
    if (element == CE_MenuItem) {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (item && HasArabicLetters(item->text)) {
            hideMnemonics = true;
            QProxyStyle::drawControl(element, option, painter, widget);
            hideMnemonics = false;
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void PersianStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    // the plain delegate of an editable combo's list measures rows by the widget's font alone,
    // so Persian letters (drawn by a taller fallback font) overlap the next row
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        if (combo->itemDelegate() && combo->itemDelegate()->inherits("QComboBoxDelegate"))
            combo->setItemDelegate(new PersianRowDelegate(combo));
}

void PersianStyle::drawRightToLeftButtonLabel(const QStyleOptionButton& button, QPainter* painter,
                                              const QWidget* widget) const
{
    // the icon at the right, the caption left of it, the two centred together in the button
    const int spacing = 4;
    const QSize iconSize = button.iconSize;
    const int textWidth = button.fontMetrics.horizontalAdvance(StripMnemonic(button.text));
    const QRect area = button.rect;
    const int width = qMin(area.width(), iconSize.width() + spacing + textWidth);
    const int right = area.left() + (area.width() + width) / 2;
    const QRect iconRect(right - iconSize.width(), area.top() + (area.height() - iconSize.height()) / 2,
                         iconSize.width(), iconSize.height());
    const QIcon::Mode mode = !(button.state & State_Enabled) ? QIcon::Disabled
                             : (button.state & State_HasFocus) ? QIcon::Active : QIcon::Normal;
    const QIcon::State state = (button.state & State_On) ? QIcon::On : QIcon::Off;
    painter->drawPixmap(iconRect, button.icon.pixmap(iconSize, painter->device()->devicePixelRatio(), mode, state));
    QStyleOptionButton caption(button);
    caption.icon = QIcon();
    caption.rect = QRect(iconRect.left() - spacing - textWidth, area.top(), textWidth, area.height()).intersected(area);
    QProxyStyle::drawControl(CE_PushButtonLabel, &caption, painter, widget);
}

int PersianStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                   QStyleHintReturn* returnData) const
{
    if (hint == SH_UnderlineShortcut && hideMnemonics)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void InstallWindowLook(QApplication& app)
{
    // Qt's own dialogs (file, message box, colours, fonts) in Persian
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Persian, QLocale::Iran), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qt);
    QApplication::setStyle(new PersianStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    app.installEventFilter(new WindowCentring(&app));
    app.installEventFilter(new ModalOwner(&app));
}
