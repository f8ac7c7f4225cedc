#pragma once
// A label showing a field's display text.

#include <QLabel>

namespace db { class DataSet; }

namespace widgets {

class FieldLink;

class DBText : public QLabel {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    void setDataField(const QString& name);
    FieldLink* link() const { return link_; }

private:
    FieldLink* link_;
};

} // namespace widgets
