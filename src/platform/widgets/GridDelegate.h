#pragma once
// Drawing and in-place editing of the data grid's cells: a cell too narrow for its text is cut
// at the text's end, never inside a number, and shows the whole text as its tool tip; the
// editor of a cell is an edit box bound to the cell's field of the current record.

#include "platform/widgets/MaskEdit.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class QFontMetricsF;

namespace widgets {

class DataSetModel;
class FieldLink;

// The text as a cell width pixels wide shows it: whole when it fits; otherwise cut with "…"
// between words, never inside a number (digits with their signs and separators). Every amount
// stays whole with its label: the words after the last amount go first (a condition's terms),
// then a label of several words shrinks to its first word and "…". Without room for that, the
// first amount stays whole and in sight: the words after it go, then those before it (the cut
// then stands at the text's start); without room for the amount the text is cut at its end.
// "…" alone when nothing else fits.
QString CutCellText(const QString& text, const QFontMetricsF& metrics, qreal width);

// The narrowest form of a text with amounts (numbers with thousands separators) that keeps
// every amount whole with the first word of its label, as CutCellText shows it ("رهن  : 500,000,000
// اجاره : 12,000,000…"); empty for a text without amounts.
QString KeptAmounts(const QString& text);

// The editor of one cell. Its text reaches the field on commit, through the model, with the
// checks and messages of a bound edit box; a refused text stays for correction.
class GridCellEditor : public MaskEdit {
    Q_OBJECT
public:
    GridCellEditor(DataSetModel* model, const QModelIndex& index, QWidget* parent);

    QModelIndex index() const { return index_; }
    // Shows the field's edit text, unless something typed is pending.
    void showField();
    // Typed text not yet written to the field.
    bool pending() const;
    // Writes pending text; false when the dataset or the field refused it.
    bool commit();
    // Drops pending text and unbinds: nothing of this editor is written any more.
    void discard();
    // Puts back text typed before the editor was re-created.
    void restore(const QString& text, int cursor);

signals:
    // The dataset refused to enter edit state for the first change.
    void editRefused();

private:
    void userEdited();

    DataSetModel* model_;
    QPersistentModelIndex index_;
    FieldLink* link_;
    bool failed_ = false;       // the last write was refused
    bool quiet_ = false;        // refused already: the same text is refused without a message
    QString refusedText_;
};

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    // The text a cell shows with the given option (its rectangle set), and whether it was cut.
    QString shownText(const QStyleOptionViewItem& option, const QModelIndex& index, bool* cut = nullptr) const;
    // The width the cell's column needs to show its text whole.
    int widthToShow(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    // The width the cell's column needs to show every amount of its text whole with its kind
    // (KeptAmounts); 0 for a text without amounts.
    int widthToShowAmounts(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    // The editor open now, if any.
    GridCellEditor* openEditor() const { return editor_; }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    mutable QPointer<GridCellEditor> editor_;
};

} // namespace widgets
