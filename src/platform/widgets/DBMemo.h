#pragma once
// A multi-line text box bound to a memo field; the text is written when the box loses focus
// and before the record is posted.

#include <QPlainTextEdit>

namespace db { class DataSet; }

namespace widgets {

class FieldLink;

class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    void setDataField(const QString& name);
    FieldLink* link() const { return link_; }

protected:
    void focusOutEvent(QFocusEvent* e) override;

private:
    void showField();

    FieldLink* link_;
    bool loading_ = false;
};

} // namespace widgets
