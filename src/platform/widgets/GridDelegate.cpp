#include "platform/widgets/GridDelegate.h"

#include "platform/db/DataSet.h"
#include "platform/db/Errors.h"
#include "platform/widgets/BidiText.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/FieldLink.h"

#include <algorithm>
#include <cmath>

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QTextBoundaryFinder>
#include <QTimer>
#include <QToolTip>
#include <vector>

namespace widgets {

namespace {

const QChar Ellipsis(0x2026);

bool isSeparator(QChar c)
{
    // thousands and decimal marks, date and time separators, Persian and Latin
    return c == QLatin1Char(',') || c == QLatin1Char('.') || c == QLatin1Char('/') || c == QLatin1Char(':')
        || c == QChar(0x066B) || c == QChar(0x066C) || c == QChar(0x060C);
}

struct Span {
    int start;
    int end;
};

// The numbers of a text: digits with the separators between them and a sign before them.
std::vector<Span> numbers(const QString& text)
{
    std::vector<Span> spans;
    int i = 0;
    while (i < text.size()) {
        if (!text.at(i).isDigit()) {
            ++i;
            continue;
        }
        int start = i;
        if (start > 0 && (text.at(start - 1) == QLatin1Char('-') || text.at(start - 1) == QLatin1Char('+')))
            --start;
        int end = i;
        while (end < text.size()) {
            if (text.at(end).isDigit())
                ++end;
            else if (isSeparator(text.at(end)) && end + 1 < text.size() && text.at(end + 1).isDigit())
                end += 2;
            else
                break;
        }
        spans.push_back({start, end});
        i = end;
    }
    return spans;
}

QString withEllipsis(const QString& text, int length)
{
    QString head = text.left(length);
    while (!head.isEmpty() && head.back().isSpace())
        head.chop(1);
    return head + Ellipsis;
}

// The text up to its last amount with the words of each label before an amount shrunk to the
// first one, and that word to its first letters when letters > 0; "…" marks what went.
QString shrunkLabels(const QString& text, const std::vector<Span>& spans, int letters, bool markTerms)
{
    QString out;
    int from = 0;
    for (const Span& n : spans) {
        const QString label = text.mid(from, n.start - from);
        // words with a letter: start, end of their letters (a colon after them stays)
        std::vector<std::pair<int, int>> words;
        for (int p = 0; p < label.size();) {
            if (label.at(p).isSpace()) {
                ++p;
                continue;
            }
            int e = p;
            int lettersEnd = -1;
            for (; e < label.size() && !label.at(e).isSpace(); ++e)
                if (label.at(e).isLetter())
                    lettersEnd = e + 1;
            if (lettersEnd > 0)
                words.push_back({p, lettersEnd});
            p = e;
        }
        if (words.empty()) {
            out += label;
        } else {
            const auto [start, end] = words.front();
            int keep = end;
            if (letters > 0) {
                // the first letters of the word, when it has more
                QTextBoundaryFinder g(QTextBoundaryFinder::Grapheme, label);
                g.setPosition(start);
                int at = start;
                for (int i = 0; i < letters && at < end; ++i)
                    at = int(g.toNextBoundary());
                if (at > start && at < end)
                    keep = at;
            }
            const bool dropped = words.size() >= 2 || keep < end;
            out += label.left(keep) + (dropped ? QString(Ellipsis) : QString()) + label.mid(words.back().second);
        }
        out += text.mid(n.start, n.end - n.start);
        from = n.end;
    }
    return markTerms ? out + Ellipsis : out;
}

// The width the style gives a cell's text.
qreal textWidth(const QStyleOptionViewItem& option)
{
    const QWidget* w = option.widget;
    const QStyle* style = w ? w->style() : QApplication::style();
    const QRect r = style->subElementRect(QStyle::SE_ItemViewItemText, &option, w);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1;
    // a pixel to spare against rounding in the text layout
    return r.width() - 2 * margin - 1;
}

bool editing(const db::DataSet* ds)
{
    return ds && (ds->State() == db::DataSetState::Edit || ds->State() == db::DataSetState::Insert);
}

} // namespace

QString CutCellText(const QString& text, const QFontMetricsF& metrics, qreal width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const auto fitting = [&](const QString& shown) { return metrics.horizontalAdvance(shown) <= width; };
    const std::vector<Span> spans = numbers(text);
    std::vector<bool> inside(size_t(text.size()) + 1, false);
    for (const Span& n : spans)
        for (int p = n.start + 1; p < n.end; ++p)
            inside[size_t(p)] = true;
    std::vector<int> wordEnds, wordStarts;
    for (int p = 1; p < text.size(); ++p) {
        if (text.at(p).isSpace() && !text.at(p - 1).isSpace())
            wordEnds.push_back(p);
        if (!text.at(p).isSpace() && text.at(p - 1).isSpace())
            wordStarts.push_back(p);
    }

    if (!spans.empty()) {
        // every amount stays whole with the words before it: first the words after the last
        // one go (a condition's terms), ...
        const int lastEnd = spans.back().end;
        const bool terms = !text.mid(lastEnd).trimmed().isEmpty();
        for (auto it = wordEnds.rbegin(); it != wordEnds.rend() && *it >= lastEnd; ++it)
            if (fitting(withEllipsis(text, *it)))
                return withEllipsis(text, *it);
        const QString amounts = text.left(lastEnd) + (terms ? QString(Ellipsis) : QString());
        if (fitting(amounts))
            return amounts;
        // ... then the words of a several-word label before an amount shrink to its first one
        // ("رهن کامل : 6,900,000,000" shows as "رهن… : 6,900,000,000"), and then that word to its
        // first letters ("ف… : 1,250,000,000"), at least one, which tell the kinds apart
        QString tried = amounts;
        for (bool mark : {terms, false})
            for (int letters : {0, 6, 5, 4, 3, 2, 1}) {
                // at the narrowest, the terms go without their mark: the kind's shows the cut
                const QString shown = shrunkLabels(text, spans, letters, mark);
                if (shown != tried && fitting(shown))
                    return shown;
                tried = shown;
            }
        // ... then, the first amount kept whole, the words after it and those before it go,
        // the cut then standing at the text's start
        const Span amount = spans.front();
        for (auto it = wordEnds.rbegin(); it != wordEnds.rend() && *it >= amount.end; ++it)
            if (fitting(withEllipsis(text, *it)))
                return withEllipsis(text, *it);
        if (fitting(withEllipsis(text, amount.end)))
            return withEllipsis(text, amount.end);
        const bool more = !text.mid(amount.end).trimmed().isEmpty();
        std::vector<int> starts;
        for (int k : wordStarts)
            if (k < amount.start)
                starts.push_back(k);
        if (amount.start > 0)
            starts.push_back(amount.start);
        for (int k : starts) {
            const QString shown = Ellipsis + text.mid(k, amount.end - k) + (more ? QString(Ellipsis) : QString());
            if (fitting(shown))
                return shown;
        }
    }

    // no room for the amount: the longest run of whole words that fits, ...
    for (auto it = wordEnds.rbegin(); it != wordEnds.rend(); ++it)
        if (fitting(withEllipsis(text, *it)))
            return withEllipsis(text, *it);
    // ... else the first word cut at a letter outside any number
    const int firstWordEnd = wordEnds.empty() ? int(text.size()) : wordEnds.front();
    QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, text);
    std::vector<int> cuts;
    for (int p = letters.toNextBoundary(); p > 0 && p < firstWordEnd; p = letters.toNextBoundary())
        if (!inside[size_t(p)])
            cuts.push_back(p);
    for (auto it = cuts.rbegin(); it != cuts.rend(); ++it)
        if (fitting(withEllipsis(text, *it)))
            return withEllipsis(text, *it);
    return fitting(Ellipsis) ? QString(Ellipsis) : QString();
}

// ---- the cell editor ----

GridCellEditor::GridCellEditor(DataSetModel* model, const QModelIndex& index, QWidget* parent)
    : MaskEdit(parent), model_(model), index_(index), link_(new FieldLink(this))
{
    db::DataSet* ds = model->dataSet();
    const int fi = model->fieldIndex(index.column());
    link_->setDataSet(ds);
    if (ds && fi >= 0)
        link_->setFieldName(ds->FieldAt(fi)->FieldName());
    link_->writer = [this](db::Field&) {
        failed_ = true;
        const QString typed = Text();
        // one refusal, one message: the other ways out of the same action stay quiet
        if (quiet_ && typed == refusedText_)
            throw db::Abort();
        if (!model_->setData(index_, typed, Qt::EditRole)) {
            refusedText_ = typed;
            quiet_ = true;
            QTimer::singleShot(0, this, [this] { quiet_ = false; });
            throw db::Abort();
        }
        failed_ = false;
    };
    connect(link_, &FieldLink::refresh, this, [this] {
        // a refused text stays, still to be written
        if (failed_) {
            failed_ = false;
            link_->setModified(true);
        }
    });
    connect(this, &QLineEdit::textEdited, this, &GridCellEditor::userEdited);
}

void GridCellEditor::showField()
{
    if (pending())
        return;
    const db::Field* f = link_->field();
    setEditMask(f ? f->EditMask() : QString());
    setText(f ? f->Text() : QString());
}

bool GridCellEditor::pending() const { return link_->modified(); }

bool GridCellEditor::commit() { return !link_->modified() || link_->updateRecord(); }

void GridCellEditor::discard()
{
    link_->setModified(false);
    link_->setDataSet(nullptr);
}

void GridCellEditor::restore(const QString& text, int cursor)
{
    setText(text);
    setCursorPosition(cursor);
    if (editing(link_->dataSet()))
        link_->setModified(true);
}

void GridCellEditor::userEdited()
{
    if (link_->modified())
        return;
    const QString typed = text();
    const int pos = cursorPosition();
    if (!link_->edit()) {
        emit editRefused();
        return;
    }
    link_->setModified(true);
    if (text() != typed) {
        setText(typed);
        setCursorPosition(pos);
    }
}

// ---- the delegate ----

void GridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->text.isEmpty())
        return;
    if (option->rect.width() > 0) {
        option->text = CutCellText(option->text, QFontMetricsF(option->font), textWidth(*option));
        option->textElideMode = Qt::ElideNone;
    }
    // each value keeps the direction of its own first letter: a path or a date with slashes
    // keeps its order in a right-to-left grid
    option->text = Isolated(option->text);
}

int GridDelegate::widthToShow(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    QStyledItemDelegate::initStyleOption(&opt, index);
    const QString text = opt.text;
    const QFontMetricsF metrics(opt.font);
    // the narrowest width whose text room holds it, found as painting finds it
    const auto fits = [&](int width) {
        opt.rect.setWidth(width);
        return CutCellText(text, metrics, textWidth(opt)) == text;
    };
    int low = 1, high = int(std::ceil(metrics.horizontalAdvance(text))) + 64;
    while (!fits(high))
        high *= 2;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (fits(mid))
            high = mid;
        else
            low = mid + 1;
    }
    return high;
}

QString KeptAmounts(const QString& text)
{
    const std::vector<Span> spans = numbers(text);
    const bool amounts = std::any_of(spans.begin(), spans.end(), [&](const Span& n) {
        return text.mid(n.start, n.end - n.start).contains(QLatin1Char(','));
    });
    if (!amounts)
        return {};
    return shrunkLabels(text, spans, 0, !text.mid(spans.back().end).trimmed().isEmpty());
}

int GridDelegate::widthToShowAmounts(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    QStyledItemDelegate::initStyleOption(&opt, index);
    const QString kept = KeptAmounts(opt.text);
    if (kept.isEmpty())
        return 0;
    // the cell's margins around its text room, then the room for the kept text
    opt.rect.setWidth(1000);
    const int margins = 1000 - int(std::floor(textWidth(opt)));
    return margins + int(std::ceil(QFontMetricsF(opt.font).horizontalAdvance(kept)));
}

QString GridDelegate::shownText(const QStyleOptionViewItem& option, const QModelIndex& index, bool* cut) const
{
    QStyleOptionViewItem opt = option;
    QStyledItemDelegate::initStyleOption(&opt, index);
    const QString full = opt.text;
    const QString shown = full.isEmpty() || opt.rect.width() <= 0
        ? full
        : CutCellText(full, QFontMetricsF(opt.font), textWidth(opt));
    if (cut)
        *cut = shown != full;
    return shown;
}

void GridDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(p, option, index);
    // a picture over the whole cell when its style asks for it
    const QVariant pic = index.data(DataSetModel::FillPictureRole);
    if (pic.isValid())
        p->drawPixmap(option.rect.adjusted(1, 1, -1, -1), pic.value<QPixmap>());
}

bool GridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                             const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    bool cut = false;
    shownText(option, index, &cut);
    if (cut)
        QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view->viewport(), option.rect);
    else
        QToolTip::hideText();
    return true;
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    auto* model = qobject_cast<DataSetModel*>(const_cast<QAbstractItemModel*>(index.model()));
    if (!model)
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* editor = new GridCellEditor(model, index, parent);
    editor->setFrame(false);
    // the text stays where the cell shows it, whatever the direction of what is typed
    const auto align = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    editor->setAlignment(QStyle::visualAlignment(parent->layoutDirection(), align) | Qt::AlignVCenter);
    editor_ = editor;
    return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* e = qobject_cast<GridCellEditor*>(editor))
        e->showField();
    else
        QStyledItemDelegate::setEditorData(editor, index);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* e = qobject_cast<GridCellEditor*>(editor))
        e->commit();
    else
        QStyledItemDelegate::setModelData(editor, model, index);
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* editor = qobject_cast<GridCellEditor*>(object);
    if (!editor)
        return QStyledItemDelegate::eventFilter(object, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Enter ends the cell's edit and goes no further (no default button of the window)
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
            return true;
        }
        if (key == Qt::Key_Escape) {
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            return true;
        }
        break;
    }
    case QEvent::FocusOut: {
        // another window taking the focus (a message, a menu) leaves the cell as it is
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        break;
    }
    default:
        break;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace widgets
