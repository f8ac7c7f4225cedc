#include "ui/GridHelpers.h"

#include "ui/TTools.h"

#include "platform/db/DataSet.h"
#include "platform/db/Errors.h"
#include "platform/db/Format.h"
#include "platform/ini/IniFile.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBCheckBox.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/MaskEdit.h"
#include "ui/Tfrmgridcols.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>
#include <QSaveFile>
#include <QScrollArea>

namespace {

const char* const kAmountFormat = "###,###,###,###,##0.###";

bool isDigits(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// The controls a panel's state holds: plain check boxes and plain edit boxes.
QCheckBox* plainCheckBox(QObject* o)
{
    auto* c = qobject_cast<QCheckBox*>(o);
    return c && !qobject_cast<widgets::DBCheckBox*>(o) ? c : nullptr;
}

QLineEdit* plainEdit(QObject* o)
{
    auto* e = qobject_cast<QLineEdit*>(o);
    return e && !qobject_cast<widgets::MaskEdit*>(o) ? e : nullptr;
}

// A float read the way a field reads it: a text that is no number is an error.
double asFloat(const QVariant& v)
{
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if (s.isEmpty())
            return 0;
        bool ok = false;
        const double d = s.toDouble(&ok);
        if (!ok)
            throw db::DbError(db::ErrorCategory::Other, QStringLiteral("'%1' is not a valid floating point value").arg(s));
        return d;
    }
    return v.toDouble();
}

} // namespace

QString AppFolder() { return TTools::AppPath(); }

void ChooseGridColumns(widgets::DBGrid* grid)
{
    Tfrmgridcols form(grid);
    if (form.exec() == QDialog::Accepted)
        form.apply();
}

void SaveGridColumns(widgets::DBGrid* grid, const QString& key, const QString& folder)
{
    QJsonArray cols;
    for (const widgets::GridColumn& c : grid->columns())
        cols.append(QJsonObject{{QStringLiteral("field"), c.fieldName},
                                {QStringLiteral("title"), c.title},
                                {QStringLiteral("width"), c.width},
                                {QStringLiteral("visible"), c.visible}});
    QSaveFile file(folder + key);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QJsonDocument(QJsonObject{{QStringLiteral("columns"), cols}}).toJson());
    file.commit();
}

void LoadGridColumns(widgets::DBGrid* grid, const QString& key, const QString& folder)
{
    QFile file(folder + key);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(1 << 20));
    const QJsonArray cols = doc.object().value(QStringLiteral("columns")).toArray();
    if (cols.isEmpty())
        return;
    QVector<widgets::GridColumn> layout;
    for (const QJsonValue& v : cols) {
        const QJsonObject o = v.toObject();
        const QJsonValue field = o.value(QStringLiteral("field"));
        const QJsonValue title = o.value(QStringLiteral("title"));
        const QJsonValue width = o.value(QStringLiteral("width"));
        const QJsonValue visible = o.value(QStringLiteral("visible"));
        if (!field.isString() || field.toString().isEmpty() || !title.isString() || !width.isDouble()
            || width.toInt(-1) < 0 || width.toInt() > 10000 || !visible.isBool())
            return;
        layout.append({field.toString(), title.toString(), width.toInt(), visible.toBool()});
    }
    grid->setColumns(layout);
}

bool SavePanelState(const QString& iniPath, const QString& section, QWidget* panel)
{
    ini::IniFile ini(iniPath);
    for (QObject* child : panel->children()) {
        if (QCheckBox* c = plainCheckBox(child))
            ini.writeBool(section, c->objectName(), c->isChecked());
        else if (QLineEdit* e = plainEdit(child))
            ini.writeString(section, e->objectName(), e->text());
    }
    return ini.save();
}

void LoadPanelState(const QString& iniPath, const QString& section, QWidget* panel)
{
    const ini::IniFile ini(iniPath);
    for (QObject* child : panel->children()) {
        if (QCheckBox* c = plainCheckBox(child))
            c->setChecked(ini.readBool(section, c->objectName(), true));
        else if (QLineEdit* e = plainEdit(child))
            e->setText(ini.readString(section, e->objectName(), QStringLiteral("0")));
    }
}

namespace {

// Enter goes on from a button that Enter reached: a push or tool button ("تاييد", a navigator's
// save) is pressed; a radio button or check box hands the focus on to the next control.
class EnterPresses : public QObject {
public:
    static void install(QAbstractButton* button)
    {
        if (!button->findChild<QObject*>(QStringLiteral("EnterPresses"), Qt::FindDirectChildrenOnly))
            button->installEventFilter(new EnterPresses(button));
    }

protected:
    explicit EnterPresses(QAbstractButton* button) : QObject(button) { setObjectName(QStringLiteral("EnterPresses")); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && watched == parent()) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                && !(key->modifiers() & ~Qt::KeypadModifier)) {
                auto* button = static_cast<QAbstractButton*>(watched);
                if (qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button)) {
                    if (button->isEnabled())
                        button->click();
                } else {
                    QChar enter(13);
                    EnterAsTab(button, enter);
                }
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void EnterAsTab(QWidget* formOrControl, QChar& key)
{
    if (key != QChar(13) || !formOrControl)
        return;
    key = QChar(0);
    QWidget* window = formOrControl->window();
    QWidget* current = window->focusWidget() ? window->focusWidget() : formOrControl;
    for (QWidget* w = current->nextInFocusChain(); w && w != current; w = w->nextInFocusChain()) {
        if (w->window() == window && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)
            && !w->focusProxy()) {
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                EnterPresses::install(button);
            w->setFocus(Qt::TabFocusReason);
            // a control inside a scroll box is scrolled into view, as Tab does
            for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
                if (auto* area = qobject_cast<QScrollArea*>(p))
                    area->ensureWidgetVisible(w);
            return;
        }
    }
}

void SumSelectedRows(widgets::DBGrid* grid, const QString& fieldName, QString& outText)
{
    double sum = 0;
    db::DataSet* ds = grid ? grid->dataSet() : nullptr;
    QString error;
    try {
        if (ds && ds->Active()) {
            const int field = ds->FieldByName(fieldName)->Index();
            // rows are read in place: the current row never moves
            for (int row = 0; row < ds->RecordCount(); ++row)
                if (ds->IsRowSelected(row))
                    sum += asFloat(ds->ValueAt(row, field));
        }
    } catch (const db::DbError& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    if (!error.isNull()) {
        shell::MessageRequest r;
        r.kind = 0;
        r.caption = QStringLiteral("خطا");
        r.text = QStringLiteral("خطايي در روند برنامه پيش آمد") + QStringLiteral("\r\n") + error;
        r.buttons = 1;
        r.fontName = QStringLiteral("tahoma");
        r.fontSize = 10;
        shell::prompter().messageDlg(r);
    }
    outText = db::formatNumber(sum, QString::fromLatin1(kAmountFormat));
}

QString DatePrefixFromMask(const QString& date)
{
    const QString year = date.mid(0, 4);
    if (year.size() != 4 || !isDigits(year))
        return {};
    QString out = year;
    const QString month = date.mid(5, 2);
    if (month.size() == 2 && isDigits(month)) {
        out += QLatin1Char('/') + month;
        const QString day = date.mid(8, 2);
        if (day.size() == 2 && isDigits(day))
            out += QLatin1Char('/') + day;
    }
    return out;
}

bool ComboValueSet(const widgets::DBLookupComboBox* combo)
{
    const QVariant key = combo ? combo->KeyValue() : QVariant();
    return !key.isNull() && key.isValid() && key.toString() != QStringLiteral("-1");
}

QChar GetDecimalSeparator() { return QLatin1Char('.'); }
QChar GetThousandSeparator() { return QLatin1Char(','); }
