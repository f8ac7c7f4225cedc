#pragma once
// A table model over a dataset's rows: one column per named field, text from the display
// text of each row (read without moving the current record), colours and pictures by a hook.
// It holds the rows the dataset has read and grows as more arrive, a few times a second (each
// growth lays out and paints the view again); a view at its end asks for the next ones.
// When editable, typed text goes to the current record through the field layer.

#include <QAbstractTableModel>
#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <functional>

class QTimer;
#include <optional>
#include <vector>

namespace db { class DataSet; }

namespace widgets {

// How one cell is drawn; set by the grid's owner through the model's cellStyle hook.
struct CellStyle {
    QColor foreground;          // invalid: the default
    QColor background;
    std::optional<QFont> font;
    QPixmap picture;            // shown beside the text, or over the whole cell with fillPicture
    bool fillPicture = false;   // the picture stretched to the cell, no text
    Qt::Alignment alignment = {}; // horizontal; none: the field's alignment
};

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSetModel(QObject* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    db::DataSet* dataSet() const { return ds_; }
    // The columns: field names and their titles.
    void setColumns(const QStringList& fieldNames, const QStringList& titles);
    const QStringList& fieldNames() const { return names_; }
    // The dataset's field index of a column; -1 when the dataset has no such field.
    int fieldIndex(int column) const;

    // Whether the view shows: a dataset that has read nothing yet is not made to read for a
    // view nobody sees.
    std::function<bool()> viewShown;

    // Called for every drawn cell: row of the dataset's order, the column's field name.
    std::function<void(int row, const QString& fieldName, CellStyle& style)> cellStyle;
    static constexpr int FillPictureRole = Qt::UserRole + 1;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Cells of modifiable fields take typed text (off by default).
    void setEditable(bool on);
    bool editable() const { return editable_; }
    // Typed text for a cell of the current record: the dataset enters edit state (its gate may
    // refuse) and the field takes the text as a bound edit box gives it; a refusal shows the
    // field layer's message and gives false.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Takes in the rows that arrived and wait for their turn; done before anything else the
    // dataset tells, so that the model's rows are the dataset's whenever that matters.
    void showArrived();
    // Milliseconds between two growths while rows keep arriving.
    static constexpr int kGrowMs = 200;

signals:
    // Rows read after the others, now in the model.
    void rowsAppended(int first, int count);

private:
    void reset();
    void resolve();
    CellStyle styleOf(int row, int column) const;

    QPointer<db::DataSet> ds_;
    QStringList names_;
    QStringList titles_;
    std::vector<int> fieldIdx_;
    int rows_ = 0;
    int waiting_ = 0;           // rows arrived after rows_, not yet in the model
    QElapsedTimer grown_;       // since the last growth
    QTimer* growTimer_ = nullptr;
    bool editable_ = false;
};

} // namespace widgets
