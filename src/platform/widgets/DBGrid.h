#pragma once
// A grid over a dataset: columns by a layout (field, title, width, visibility, order),
// multi-row selection kept in the dataset's selection, the current row following the
// dataset's current record both ways, and a click on a column title sorting by it. The last
// column takes the width the others leave. Switched on, cells are edited in place.

#include <QStringList>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QVector>
#include <functional>
#include <optional>

namespace db { class DataSet; }

namespace widgets {

class DataSetModel;
class GridCellEditor;
class GridDelegate;
struct CellStyle;

struct GridColumn {
    QString fieldName;
    QString title;
    int width = 100;        // pixels
    bool visible = true;
    bool operator==(const GridColumn& o) const
    {
        return fieldName == o.fieldName && title == o.title && width == o.width && visible == o.visible;
    }
};

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    db::DataSet* dataSet() const;
    DataSetModel* dataModel() const { return model_; }

    // The column layout; widths follow the user's resizing. Until setColumns is called the
    // grid shows one column per visible field of the dataset.
    QVector<GridColumn> columns() const;
    void setColumns(const QVector<GridColumn>& columns);
    bool customColumns() const { return custom_; }
    // Back to one column per visible field.
    void resetColumns();
    // The dataset's field index of a grid column; -1 when none.
    int columnFieldIndex(int column) const;

    // Colours, fonts and pictures per cell (row of the dataset's order, field name).
    void setCellStyler(std::function<void(int row, const QString& fieldName, CellStyle& style)> styler);

    // A click on a column title sorts the dataset ascending by its field (default on);
    // titleClicked is emitted in any case.
    void setSortOnTitleClick(bool on) { sortOnTitle_ = on; }

    // Every row: the ones still to come are read first.
    void selectAll() override;
    // In-place editing (off by default): typing, F2 or a double click edits the current
    // record's cell through the field layer; Enter or leaving the cell writes it, Escape drops
    // the cell's typing and a second Escape cancels the record's edit; the record is posted
    // when another row becomes current.
    void setEditable(bool on);
    bool isEditable() const;
    using QTableView::edit;
    // The editor open now, if any.
    GridCellEditor* cellEditor() const;

    // The text a cell shows (cut when too long for its width) and its tool tip: the whole
    // text when it is cut, else empty.
    QString shownText(const QModelIndex& index) const;
    QString cellToolTip(const QModelIndex& index) const;

    // Rows added below the cells shown move the scroll bar and leave the cells as painted.
    void doItemsLayout() override;

signals:
    void titleClicked(int column);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void updateGeometries() override;

private:
    void applyColumns();
    void defaultColumns();
    void datasetLayoutChanged();
    void syncCurrent();
    void syncSelection();
    void syncRowSelection(int row);
    QItemSelection selectedRuns(int first, int last) const;
    void viewCurrentChanged(const QModelIndex& current);
    void viewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void sortBy(int column);
    void datasetStateChanged();
    void dropEditor();
    QStyleOptionViewItem cellOption(const QModelIndex& index) const;
    int lastVisibleColumn() const;
    int othersWidth(int column) const;
    void fillWidth();
    void fitRowNumbers();

    DataSetModel* model_;
    GridDelegate* delegate_;
    int amountRowsSeen_ = 0;   // rows whose amounts have widened their columns
    bool appendedBelow_ = false;   // the layout to come is only for rows added below the view
    // typing kept across a reset of the model while a cell is edited
    struct Typed {
        QString field;
        QString text;
        int cursor = 0;
    };
    std::optional<Typed> typed_;
    QVector<GridColumn> cols_;
    bool custom_ = false;
    bool sortOnTitle_ = true;
    bool filling_ = false;
    int syncing_ = 0;
    bool extending_ = false;
    bool viewMove_ = false;    // the current row follows a move made in the view
    QVariant shownKey_;        // the record last made current   // Shift+Ctrl+End: the selection grows to the new current row
};

} // namespace widgets
