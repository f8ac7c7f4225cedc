#include "platform/widgets/DBEdit.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/FieldLink.h"

#include <QKeyEvent>

namespace widgets {

DBEdit::DBEdit(QWidget* parent) : MaskEdit(parent), link_(new FieldLink(this))
{
    link_->writer = [this](db::Field& f) { f.SetText(Text()); };
    connect(link_, &FieldLink::refresh, this, &DBEdit::showField);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::userEdited);
    connect(this, &QLineEdit::editingFinished, this, [this] { link_->updateRecord(); });
}

void DBEdit::setDataSet(db::DataSet* ds) { link_->setDataSet(ds); }
db::DataSet* DBEdit::dataSet() const { return link_->dataSet(); }
void DBEdit::setDataField(const QString& name) { link_->setFieldName(name); }
QString DBEdit::dataField() const { return link_->fieldName(); }
bool DBEdit::UpdateRecord() { return link_->updateRecord(); }

void DBEdit::showField()
{
    const db::Field* f = link_->field();
    if (!f) {
        setEditMask(QString());
        clear();
        return;
    }
    setEditMask(f->EditMask());
    // amounts stand at the right, typed or not, also in a box that reads left to right
    if (f->IsNumeric())
        setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
    setMaxLength(f->IsText() && f->Size() > 0 && f->EditMask().isEmpty() ? f->Size() : 32767);
    const bool editText = hasFocus() && link_->editing();
    const int pos = cursorPosition();
    QLineEdit::setText(editText ? f->Text() : f->DisplayText());
    if (hasFocus())
        setCursorPosition(pos);
    setReadOnly(!link_->canModify());
}

void DBEdit::userEdited()
{
    if (link_->modified())
        return;
    const QString typed = Text();
    const int pos = cursorPosition();
    if (!link_->edit()) {
        showField();
        return;
    }
    link_->setModified(true);
    // entering edit state may have shown the field again
    if (Text() != typed) {
        QLineEdit::setText(typed);
        setCursorPosition(pos);
    }
}

void DBEdit::focusInEvent(QFocusEvent* e)
{
    MaskEdit::focusInEvent(e);
    if (!link_->modified() && link_->editing())
        showField();
}

void DBEdit::focusOutEvent(QFocusEvent* e)
{
    MaskEdit::focusOutEvent(e);
    link_->updateRecord();
    showField();
}

void DBEdit::keyPressEvent(QKeyEvent* e)
{
    // Esc takes back what was typed since the last write
    if (e->key() == Qt::Key_Escape && link_->modified()) {
        link_->setModified(false);
        showField();
        return;
    }
    MaskEdit::keyPressEvent(e);
}

} // namespace widgets
