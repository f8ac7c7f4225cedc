#pragma once
// A combo box bound to a text field: the chosen or typed text is the field's text.

#include <QComboBox>

namespace db { class DataSet; }

namespace widgets {

class FieldLink;

class DBComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBComboBox(QWidget* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    void setDataField(const QString& name);
    QString dataField() const;
    FieldLink* link() const { return link_; }

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    void showField();
    void changed();

    FieldLink* link_;
    bool loading_ = false;
};

} // namespace widgets
