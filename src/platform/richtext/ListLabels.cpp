#include "platform/richtext/ListLabels.h"

#include "platform/richtext/RtfUnits.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTextList>
#include <cmath>

namespace richtext {

namespace {

constexpr double kTabStop = 48.0;   // the default tab stops of RTF, 720 twips apart
const QString kCacheName = QStringLiteral("richtext-list-labels");
const QString kEditorName = QStringLiteral("richtext-list-label-painter");

constexpr char16_t kArabicAlpha[] = {0x0623, 0x0628, 0x062A, 0x062B, 0x062C, 0x062D, 0x062E, 0x062F, 0x0630, 0x0631,
                                     0x0632, 0x0633, 0x0634, 0x0635, 0x0636, 0x0637, 0x0638, 0x0639, 0x063A, 0x0641,
                                     0x0642, 0x0643, 0x0644, 0x0645, 0x0646, 0x0647, 0x0648, 0x064A};
constexpr char16_t kAbjad[] = {0x0623, 0x0628, 0x062C, 0x062F, 0x0647, 0x0648, 0x0632, 0x062D, 0x0637, 0x064A,
                               0x0643, 0x0644, 0x0645, 0x0646, 0x0633, 0x0639, 0x0641, 0x0635, 0x0642, 0x0631,
                               0x0634, 0x062A, 0x062B, 0x062E, 0x0630, 0x0636, 0x0638, 0x063A};

QString roman(int n, bool upper)
{
    static const struct { int value; const char* text; } parts[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"}, {40, "xl"},
        {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
    QString out;
    for (const auto& p : parts)
        for (; n >= p.value; n -= p.value)
            out += QLatin1String(p.text);
    return upper ? out.toUpper() : out;
}

// The n-th of an alphabet, its letter repeated for each round past the end (a … z, aa …).
QString letters(int n, const char16_t* alphabet, int size)
{
    return QString(1 + (n - 1) / size, QChar(alphabet[(n - 1) % size]));
}

QString digitsIn(QString number, char16_t zero)
{
    for (QChar& c : number)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            c = QChar(char16_t(zero + (c.unicode() - '0')));
    return number;
}

struct Level {
    int nfc = 0, start = 1;
    QString text;
    bool persian = false;
    bool noRestart = false;
};

Level levelOf(const QVariantList& levels, int i)
{
    Level l;
    if (i < 0 || i >= levels.size())
        return l;
    const QVariantList v = levels[i].toList();
    if (v.size() >= 4) {
        l.nfc = v[0].toInt();
        l.start = v[1].toInt();
        l.text = v[2].toString();
        l.persian = v[3].toBool();
        l.noRestart = v.value(4).toBool();
    }
    return l;
}

bool labelDrawn(const QTextBlock& b)
{
    const QTextBlockFormat bf = b.blockFormat();
    return b.textList() && bf.hasProperty(QTextFormat::ListStyle)
        && bf.intProperty(QTextFormat::ListStyle) == QTextListFormat::ListStyleUndefined;
}

// The labels of a document, worked out again after it changes.
class LabelCache : public QObject {
public:
    explicit LabelCache(QTextDocument* doc) : QObject(doc)
    {
        setObjectName(kCacheName);
        connect(doc, &QTextDocument::contentsChange, this, [this] { dirty = true; });
        // edits of a document never laid out tell only this
        connect(doc, &QTextDocument::contentsChanged, this, [this] { dirty = true; });
    }
    bool dirty = true;
    QHash<int, QString> labels;
};

void computeLabels(const QTextDocument* doc, QHash<int, QString>& out)
{
    out.clear();
    struct Counters {
        int value[ListLevelCount] = {};
        bool seen[ListLevelCount] = {};
    };
    QHash<int, Counters> counters;            // by list identity
    QHash<const QTextList*, int> plainItems;  // lists of the editor's own kinds
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (!labelDrawn(b))
            continue;
        const QTextList* list = b.textList();
        const QTextListFormat lf = list->format();
        if (!lf.hasProperty(ListLevels)) {
            const int n = ++plainItems[list];
            const bool bullet = lf.style() == QTextListFormat::ListDisc || lf.style() == QTextListFormat::ListCircle
                || lf.style() == QTextListFormat::ListSquare;
            out.insert(b.blockNumber(), bullet ? QString(QChar(0x2022)) : QString::number(n) + QLatin1Char('.'));
            continue;
        }
        const QVariantList levels = lf.property(ListLevels).toList();
        const int level = std::clamp(lf.intProperty(ListLevel), 0, ListLevelCount - 1);
        Counters& c = counters[lf.intProperty(ListIdentity)];
        c.value[level] = c.seen[level] ? c.value[level] + 1 : levelOf(levels, level).start;
        c.seen[level] = true;
        // the levels below count again under this item, unless they count on
        for (int d = level + 1; d < ListLevelCount; ++d)
            if (!levelOf(levels, d).noRestart)
                c.seen[d] = false;
        QString label;
        for (const QChar ch : levelOf(levels, level).text) {
            const int k = ch.unicode() - ListPlaceholder;
            if (k >= 0 && k < ListLevelCount) {
                const Level of = levelOf(levels, k);
                label += formatListNumber(c.seen[k] ? c.value[k] : of.start, of.nfc, of.persian);
            } else {
                label += ch;
            }
        }
        out.insert(b.blockNumber(), label);
    }
}

// The label laid out in the paragraph's direction, its left edge at 0.
struct LaidLabel {
    QTextLayout layout;
    double width = 0, ascent = 0;
};

void layLabel(LaidLabel& out, const QString& label, const QTextBlock& b, QPaintDevice* device)
{
    QFont font = b.charFormat().font();
    if (device)
        font = QFont(font, device);
    out.layout.setText(label);
    out.layout.setFont(font);
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setTextDirection(isRightToLeft(b) ? Qt::RightToLeft : Qt::LeftToRight);
    out.layout.setTextOption(option);
    out.layout.beginLayout();
    QTextLine line = out.layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(1e6);
        line.setPosition(QPointF(0, 0));
    }
    out.layout.endLayout();
    if (line.isValid()) {
        out.width = line.naturalTextWidth();
        out.ascent = line.ascent();
    }
}

class EditorLabels : public QObject {
public:
    explicit EditorLabels(QTextEdit* editor) : QObject(editor), editor(editor)
    {
        setObjectName(kEditorName);
        editor->viewport()->installEventFilter(this);
        // an edit may renumber clauses far below it
        connect(editor->document(), &QTextDocument::contentsChange, this, [this] {
            if (this->editor && !listLabels(this->editor->document()).isEmpty())
                this->editor->viewport()->update();
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || inside || !editor || watched != editor->viewport())
            return false;
        // the editor paints its text first, the labels go over it
        inside = true;
        QCoreApplication::sendEvent(watched, event);
        inside = false;
        QWidget* viewport = editor->viewport();
        const QScrollBar* h = editor->horizontalScrollBar();
        const int x = editor->isRightToLeft() ? h->maximum() - h->value() : h->value();
        const int y = editor->verticalScrollBar()->value();
        QPainter p(viewport);
        p.translate(-x, -y);
        const QRectF clip = QRectF(static_cast<QPaintEvent*>(event)->rect()).translated(x, y);
        p.setClipRect(clip);
        paintListLabels(&p, editor->document(), clip, editor->palette().color(QPalette::Text));
        return true;
    }

private:
    QPointer<QTextEdit> editor;
    bool inside = false;
};

} // namespace

QString formatListNumber(int n, int nfc, bool persianDigits)
{
    switch (nfc) {
    case 255: return QString();
    case 23: return QString(QChar(0x2022));
    case 1: case 2: if (n > 0 && n < 4000) return roman(n, nfc == 1); break;
    case 3: case 4: if (n > 0) return QString(1 + (n - 1) / 26, QChar((nfc == 3 ? 'A' : 'a') + (n - 1) % 26)); break;
    case 46: if (n > 0) return letters(n, kArabicAlpha, 28); break;
    case 48: if (n > 0) return letters(n, kAbjad, 28); break;
    case 22: return digitsIn(QString::number(n).rightJustified(2, QLatin1Char('0')), persianDigits ? 0x06F0 : '0');
    case 62: case 63: case 64: return QString::number(n).rightJustified(nfc - 59, QLatin1Char('0'));
    case 51: return digitsIn(QString::number(n), persianDigits ? 0x06F0 : 0x0660);
    default: break;
    }
    return digitsIn(QString::number(n), persianDigits ? 0x06F0 : '0');
}

const QHash<int, QString>& listLabels(const QTextDocument* doc)
{
    auto* mutableDoc = const_cast<QTextDocument*>(doc);
    // found by name: the classes here have no meta-object of their own
    auto* cache = static_cast<LabelCache*>(mutableDoc->findChild<QObject*>(kCacheName, Qt::FindDirectChildrenOnly));
    if (!cache)
        cache = new LabelCache(mutableDoc);
    if (cache->dirty) {
        computeLabels(doc, cache->labels);
        cache->dirty = false;
    }
    return cache->labels;
}

QString listLabel(const QTextBlock& block)
{
    return block.isValid() ? listLabels(block.document()).value(block.blockNumber()) : QString();
}

void makeRoomForLabels(QTextDocument* doc)
{
    const QHash<int, QString> labels = listLabels(doc);
    if (labels.isEmpty())
        return;
    QTextCursor c(doc);
    c.beginEditBlock();
    for (auto it = labels.constBegin(); it != labels.constEnd(); ++it) {
        const QTextBlock b = doc->findBlockByNumber(it.key());
        QTextBlockFormat bf = b.blockFormat();
        const double start = bf.hasProperty(ListLabelIndent) ? bf.doubleProperty(ListLabelIndent) : bf.textIndent();
        const double margin = isRightToLeft(b) ? bf.rightMargin() : bf.leftMargin();
        LaidLabel label;
        layLabel(label, it.value(), b, nullptr);
        const double end = margin + start + label.width;
        // the text goes to the paragraph's indent when a hanging label ends before it, else
        // to the tab stop after the label
        const double text = start < 0 && end <= margin ? margin : (std::floor(end / kTabStop) + 1) * kTabStop;
        if (!bf.hasProperty(ListLabelIndent) || std::abs(bf.textIndent() - (text - margin)) > 0.01) {
            bf.setProperty(ListLabelIndent, start);
            bf.setTextIndent(text - margin);
            c.setPosition(b.position());
            c.setBlockFormat(bf);
        }
    }
    c.endEditBlock();
}

void paintListLabels(QPainter* painter, const QTextDocument* doc, const QRectF& clip, const QColor& text)
{
    const QHash<int, QString>& labels = listLabels(doc);
    if (labels.isEmpty())
        return;
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    for (auto it = labels.constBegin(); it != labels.constEnd(); ++it) {
        const QTextBlock b = doc->findBlockByNumber(it.key());
        const QTextLayout* tl = b.layout();
        if (!b.isVisible() || !tl || tl->lineCount() == 0)
            continue;
        const QRectF br = layout->blockBoundingRect(b);
        if (!br.intersects(clip) && !clip.isNull())
            continue;
        const QTextBlockFormat bf = b.blockFormat();
        const QTextLine first = tl->lineAt(0);
        const double indent = bf.textIndent();
        const double start = bf.hasProperty(ListLabelIndent) ? bf.doubleProperty(ListLabelIndent) : 0.0;
        LaidLabel label;
        layLabel(label, it.value(), b, layout->paintDevice());
        double x;
        if (isRightToLeft(b))
            x = br.left() + first.x() + first.width() + indent - start - label.width;
        else
            x = br.left() + first.x() - indent + start;
        const double baseline = br.top() + first.y() + first.ascent();
        const QTextCharFormat mark = b.charFormat();
        painter->save();
        painter->setPen(mark.hasProperty(QTextFormat::ForegroundBrush) && mark.foreground().style() != Qt::NoBrush
                            ? mark.foreground().color()
                            : text);
        label.layout.draw(painter, QPointF(x, baseline - label.ascent));
        painter->restore();
    }
}

void showListLabels(QTextEdit* editor)
{
    if (editor && !editor->findChild<QObject*>(kEditorName, Qt::FindDirectChildrenOnly))
        new EditorLabels(editor);
}

} // namespace richtext
