#pragma once
// A check box bound to a boolean field (or a text field holding ValueChecked / ValueUnchecked).

#include <QCheckBox>

namespace db { class DataSet; }

namespace widgets {

class FieldLink;

class DBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    void setDataField(const QString& name);
    FieldLink* link() const { return link_; }

    QString ValueChecked = QStringLiteral("True");
    QString ValueUnchecked = QStringLiteral("False");

private:
    void showField();

    FieldLink* link_;
};

} // namespace widgets
