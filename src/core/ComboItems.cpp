#include "core/ComboItems.h"

#include "core/TDm.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/FieldLink.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

void setItems(QComboBox* combo, const QStringList& items)
{
    const QString shown = combo->currentText();
    const bool wasBlocked = combo->blockSignals(true);
    combo->clear();
    combo->addItems(items);
    if (combo->isEditable()) {
        combo->setEditText(shown);
        if (combo->lineEdit())
            combo->lineEdit()->setModified(false);
    } else {
        combo->setCurrentIndex(combo->findText(shown));
    }
    combo->blockSignals(wasBlocked);
}

QStringList itemsOf(const QComboBox* combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

int indexOf(const QStringList& items, const QString& item)
{
    for (int i = 0; i < items.size(); ++i)
        if (items[i].compare(item, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// Every stored row of the name (two workstations making the first row at once make two),
// merged in order without repeats.
QStringList readStored(db::Connection& c, const QString& name)
{
    QStringList items;
    auto cur = c.query(QStringLiteral("select TStrData from t_CmbItems where lower(TStrName)=lower($1)"), {name});
    for (bool first = true; cur->next(); first = false) {
        const std::string_view t = cur->text(0);
        for (const QString& item : ComboItemsFromText(QString::fromUtf8(t.data(), qsizetype(t.size()))))
            if (first || indexOf(items, item) < 0)
                items << item;
    }
    return items;
}

// t_CmbItems has no key: the row is rewritten by its name, every copy of it alike
void writeStored(db::Connection& c, const QString& name, const QString& data)
{
    const int n = c.exec(QStringLiteral("update t_CmbItems set TStrName=$1, TStrData=$2 where lower(TStrName)=lower($1)"),
                         {name, data});
    if (n == 0)
        c.exec(QStringLiteral("insert into t_CmbItems (TStrName, TStrData) values ($1, $2)"), {name, data});
}

template <typename Fn>
void inListTransaction(db::Connection& c, Fn fn)
{
    if (c.inTransaction())
        fn();
    else
        db::inTransaction(c, fn);
}

} // namespace

QStringList ComboItemsFromText(const QString& text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString ComboItemsToText(const QStringList& items)
{
    QString out;
    for (const QString& item : items)
        out += item + QStringLiteral("\r\n");
    return out;
}

void FillComboItems(TDm& dm, QComboBox* combo)
{
    setItems(combo, readStored(*dm.Conn, combo->objectName()));
}

void SaveComboItems(TDm& dm, QComboBox* combo)
{
    const QString name = combo->objectName();
    const QString data = ComboItemsToText(itemsOf(combo));
    inListTransaction(*dm.Conn, [&] { writeStored(*dm.Conn, name, data); });
}

QStringList ChangeComboItem(TDm& dm, QComboBox* combo, const QString& item, bool add)
{
    const QString name = combo->objectName();
    db::Connection& c = *dm.Conn;
    QStringList items;
    inListTransaction(c, [&] {
        // the rows are locked first, so another workstation's change waits for this one
        c.exec(QStringLiteral("update t_CmbItems set TStrName=TStrName where lower(TStrName)=lower($1)"), {name});
        items = readStored(c, name);
        const int at = indexOf(items, item);
        if (add == (at >= 0))
            return;
        if (add)
            items << item;
        else
            items.removeAt(at);
        writeStored(c, name, ComboItemsToText(items));
    });
    setItems(combo, items);
    return items;
}

bool ComboTextAccepted(const QComboBox* combo)
{
    const auto* bound = qobject_cast<const widgets::DBComboBox*>(combo);
    if (!bound || !bound->link()->canModify())
        return true;
    const widgets::FieldLink* link = bound->link();
    if (link->refused())
        return false;
    // in edit, or posted meanwhile: the record holds the text
    return link->editing() || link->field()->AsString() == combo->currentText();
}

bool LeavesControl(const QEvent* focusOut)
{
    const Qt::FocusReason r = static_cast<const QFocusEvent*>(focusOut)->reason();
    return r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason;
}

bool DeleteComboItem(TDm& dm, widgets::DBComboBox* combo, QString* removed)
{
    Q_UNUSED(dm);
    // the item shown in the box, not whichever the list last had current
    const QString shown = combo->currentText();
    const int index = shown.isEmpty() ? -1 : combo->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        return false;
    db::DataSet* ds = combo->link()->dataSet();
    if (ds && ds->Active()) {
        if (ds->State() != db::DataSetState::Edit && ds->State() != db::DataSetState::Insert)
            ds->Edit();   // may refuse (rights): then nothing is removed
    }
    combo->removeItem(index);
    if (removed)
        *removed = shown;
    if (ds && ds->Active()) {
        if (db::Field* f = ds->FindField(combo->dataField()))
            f->SetAsString(QString());
    }
    combo->setEditText(QString());
    return true;
}
