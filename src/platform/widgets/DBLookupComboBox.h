#pragma once
// A drop-down list of another dataset's rows (ListSource): shows ListField, stores KeyField's
// value in the bound field. Without a bound field it only keeps the chosen key (KeyValue).

#include <QComboBox>
#include <QPointer>
#include <QVariant>

namespace db { class DataSet; }

namespace widgets {

class FieldLink;

class DBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    void setDataField(const QString& name);
    FieldLink* link() const { return link_; }

    void setListSource(db::DataSet* list);
    void setKeyField(const QString& name);
    void setListField(const QString& name);

    // The chosen key; null when nothing is chosen.
    QVariant KeyValue() const { return key_; }
    void setKeyValue(const QVariant& key);

signals:
    void keyValueChanged();

private:
    void reloadList();
    void showKey();
    void showField();

    FieldLink* link_;
    QPointer<db::DataSet> list_;
    QString keyField_;
    QString listField_;
    QVariant key_;
    bool loading_ = false;
};

} // namespace widgets
