#pragma once
// A grid over a dataset: columns by a layout (field, title, width, visibility, order),
// multi-row selection kept in the dataset's selection, the current row following the
// dataset's current record both ways, and a click on a column title sorting by it.

#include <QStringList>
#include <QTableView>
#include <QVector>
#include <functional>

namespace db { class DataSet; }

namespace widgets {

class DataSetModel;
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

signals:
    void titleClicked(int column);

private:
    void applyColumns();
    void defaultColumns();
    void datasetLayoutChanged();
    void syncCurrent();
    void syncSelection();
    void syncRowSelection(int row);
    void viewCurrentChanged(const QModelIndex& current);
    void viewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void sortBy(int column);

    DataSetModel* model_;
    QVector<GridColumn> cols_;
    bool custom_ = false;
    bool sortOnTitle_ = true;
    int syncing_ = 0;
};

} // namespace widgets
