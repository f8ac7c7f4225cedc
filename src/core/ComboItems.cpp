#include "core/ComboItems.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/FieldLink.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

QString selectOf(const QString& name)
{
    return QStringLiteral("select * from T_cmbItems where lower(TStrName)=lower(") + db::Q(name) + QLatin1Char(')');
}

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
    db::DataSet& q = *dm.QFree;
    q.Close();
    q.setSQL(selectOf(combo->objectName()));
    q.Open();
    QStringList items;
    if (!q.IsEmpty())
        items = ComboItemsFromText(q.FieldByName(QStringLiteral("TStrData"))->AsString());
    q.Close();
    setItems(combo, items);
}

void SaveComboItems(TDm& dm, QComboBox* combo)
{
    // t_CmbItems has no key: the row is rewritten by its name, every copy of it alike
    const QString name = combo->objectName();
    const QString data = ComboItemsToText(itemsOf(combo));
    db::Connection& c = *dm.Conn;
    const auto write = [&] {
        const int n = c.exec(QStringLiteral("update t_CmbItems set TStrName=$1, TStrData=$2 where lower(TStrName)=lower($1)"),
                             {name, data});
        if (n == 0)
            c.exec(QStringLiteral("insert into t_CmbItems (TStrName, TStrData) values ($1, $2)"), {name, data});
    };
    if (c.inTransaction())
        write();
    else
        db::inTransaction(c, write);
}

bool DeleteComboItem(TDm& dm, widgets::DBComboBox* combo)
{
    Q_UNUSED(dm);
    const int index = combo->currentIndex();
    if (index < 0)
        return false;
    db::DataSet* ds = combo->link()->dataSet();
    if (ds && ds->Active()) {
        if (ds->State() != db::DataSetState::Edit && ds->State() != db::DataSetState::Insert)
            ds->Edit();   // may refuse (rights): then nothing is removed
    }
    combo->removeItem(index);
    if (ds && ds->Active()) {
        if (db::Field* f = ds->FindField(combo->dataField()))
            f->SetAsString(QString());
    }
    return true;
}
