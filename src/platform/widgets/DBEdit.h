#pragma once
// An edit box bound to a field: the display text while browsing, the edit text with focus;
// the field's edit mask applies.

#include "platform/widgets/MaskEdit.h"

namespace db { class DataSet; }

namespace widgets {

class FieldLink;

class DBEdit : public MaskEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);

    void setDataSet(db::DataSet* ds);
    db::DataSet* dataSet() const;
    void setDataField(const QString& name);
    QString dataField() const;
    FieldLink* link() const { return link_; }

    // Writes a pending change to the field; false when the field refused it.
    bool UpdateRecord();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void showField();
    void userEdited();

    FieldLink* link_;
};

} // namespace widgets
