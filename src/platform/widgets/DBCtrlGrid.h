#pragma once
// Cards: one panel repeated per record, PanelCount panels at a time, scrolling with the
// dataset. Labels inside a panel that carry the property "dataField" show that field of
// the panel's record; the current record's panel is highlighted; a click makes its record current.

#include <QPointer>
#include <QWidget>
#include <functional>

class QScrollBar;
class QVBoxLayout;

namespace db { class DataSet; }

namespace widgets {

class DBCtrlGrid : public QWidget {
    Q_OBJECT
public:
    explicit DBCtrlGrid(QWidget* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    db::DataSet* dataSet() const { return ds_; }
    // Builds the contents of one panel; called once per panel.
    void setPanelFactory(std::function<void(QWidget* panel)> factory);
    void setPanelCount(int n);
    int panelCount() const { return int(panels_.size()); }
    QWidget* panel(int i) const { return panels_.value(i); }
    // Row of the dataset's order shown in the first panel.
    int topRow() const { return top_; }
    // Called after a panel shows its record (-1: no record), for what labels cannot show.
    std::function<void(QWidget* panel, int row)> OnPaintPanel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void rebuild();
    void refresh();
    void refreshShown();
    void showRows();
    void follow();
    void setTop(int row);

    QPointer<db::DataSet> ds_;
    std::function<void(QWidget*)> factory_;
    QList<QWidget*> panels_;
    QVBoxLayout* column_;
    QScrollBar* bar_;
    class ShownRefresh* shown_;
    int count_ = 3;
    int top_ = 0;
    bool stale_ = false;
};

} // namespace widgets
