#pragma once
// A group of radio buttons bound to a field: item i stores Values[i] (or the item's text).

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QGridLayout;

namespace db { class DataSet; }

namespace widgets {

class FieldLink;

class DBRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit DBRadioGroup(QWidget* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    void setDataField(const QString& name);
    FieldLink* link() const { return link_; }

    void setItems(const QStringList& items);
    const QStringList& items() const { return items_; }
    void setValues(const QStringList& values);
    void setColumns(int columns);
    // The checked item, -1 when none.
    int ItemIndex() const;

private:
    void rebuild();
    void showField();
    QString valueOf(int i) const;

    FieldLink* link_;
    QButtonGroup* group_;
    QGridLayout* grid_;
    QStringList items_;
    QStringList values_;
    int columns_ = 1;
};

} // namespace widgets
