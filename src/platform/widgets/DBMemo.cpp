#include "platform/widgets/DBMemo.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/FieldLink.h"

namespace widgets {

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent), link_(new FieldLink(this))
{
    link_->writer = [this](db::Field& f) { f.SetText(toPlainText()); };
    link_->setKeepsRefusedText(true);
    connect(link_, &FieldLink::refresh, this, &DBMemo::showField);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (loading_)
            return;
        link_->noteEdit();
        if (link_->modified())
            return;
        const QString typed = toPlainText();
        if (!link_->edit()) {
            showField();
            return;
        }
        link_->setModified(true);
        if (toPlainText() != typed) {
            loading_ = true;
            setPlainText(typed);
            moveCursor(QTextCursor::End);
            loading_ = false;
        }
    });
}

void DBMemo::setDataSet(db::DataSet* ds) { link_->setDataSet(ds); }
void DBMemo::setDataField(const QString& name) { link_->setFieldName(name); }

void DBMemo::showField()
{
    if (link_->modified())
        return;
    loading_ = true;
    const db::Field* f = link_->field();
    const QString text = f ? f->AsString() : QString();
    if (text != toPlainText())
        setPlainText(text);
    setReadOnly(!link_->canModify());
    loading_ = false;
}

void DBMemo::focusOutEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusOutEvent(e);
    link_->updateRecord();
}

} // namespace widgets
