#include "forms/FormShared.h"

#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/ini/IniFile.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBCheckBox.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/MaskEdit.h"
#include "ui/GridHelpers.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>
#include <vector>

namespace {

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

} // namespace

bool AskSavePending(db::DataSet* ds, const QString& caption, bool confirmSaved)
{
    if (!ds || (ds->State() != db::DataSetState::Edit && ds->State() != db::DataSetState::Insert))
        return true;
    shell::MessageRequest q;
    q.kind = 2;
    q.caption = caption;
    q.text = QStringLiteral("آيا تغييرات ذخيره شوند؟");
    q.buttons = 4 | 8 | 2;
    q.fontSize = 10;
    const int answer = shell::prompter().messageDlg(q);
    if (answer == shell::ResultYes) {
        const bool saved = widgets::guarded([&] {
            // the text still in the focused control belongs to the record
            if (!widgets::FieldLink::updateRecord(ds))
                throw db::Abort();
            // a number the post claims is kept only together with the row
            db::Connection* conn = ds->connection();
            if (conn && !conn->inTransaction())
                db::inTransaction(*conn, [&] { ds->Post(); });
            else
                ds->Post();
        });
        if (!saved || ds->State() != db::DataSetState::Browse)
            return false;
        if (confirmSaved) {
            shell::MessageRequest done;
            done.kind = 1;
            done.caption = caption;
            done.text = QStringLiteral("تغييرات با موفقيت ذخيره شدند");
            done.buttons = 1;
            done.fontSize = 8;
            shell::prompter().messageDlg(done);
        }
        return true;
    }
    if (answer == shell::ResultNo)
        return widgets::guarded([&] { ds->Cancel(); });
    return false;
}

PanelDesign CapturePanelDesign(QWidget* panel)
{
    PanelDesign design;
    for (QObject* child : panel->children()) {
        if (QCheckBox* c = plainCheckBox(child))
            design.insert(c->objectName(), c->isChecked());
        else if (QLineEdit* e = plainEdit(child))
            design.insert(e->objectName(), e->text());
    }
    return design;
}

void LoadPanelStateKeepingDesign(const QString& iniPath, const QString& section, QWidget* panel,
                                 const PanelDesign& design)
{
    const ini::IniFile ini(iniPath);
    for (QObject* child : panel->children()) {
        const QString name = child->objectName();
        if (QCheckBox* c = plainCheckBox(child))
            c->setChecked(ini.readBool(section, name, design.value(name, true).toBool()));
        else if (QLineEdit* e = plainEdit(child))
            e->setText(ini.readString(section, name, design.value(name, QStringLiteral("0")).toString()));
    }
}

void RepaintAll(QWidget* window)
{
    if (!window)
        return;
    window->update();
    for (QWidget* w : window->findChildren<QWidget*>())
        w->update();
}

void EnableWith(QCheckBox* box, std::initializer_list<QWidget*> controls)
{
    QObject::connect(box, &QCheckBox::toggled, box, [controls = std::vector<QWidget*>(controls)](bool on) {
        for (QWidget* w : controls)
            w->setEnabled(on);
    });
}

int AskMessage(const QString& text, int buttons, int kind)
{
    shell::MessageRequest r;
    r.kind = kind;
    r.text = text;
    r.buttons = buttons;
    r.fontSize = 8;
    return shell::prompter().messageDlg(r);
}

void SetupRecordNavigators(widgets::DBNavigator* nav1, widgets::DBNavigator* nav2)
{
    using widgets::NavButton;
    nav1->setVisibleButtons({NavButton::Insert, NavButton::Post, NavButton::Cancel, NavButton::Refresh});
    nav1->setCaption(NavButton::Insert, QStringLiteral("جديد"));
    nav1->setCaption(NavButton::Post, QStringLiteral("ذخيره تغييرات"));
    nav1->setCaption(NavButton::Cancel, QStringLiteral("لغو تغييرات"));
    for (NavButton b : {NavButton::Insert, NavButton::Post, NavButton::Cancel})
        nav1->button(b)->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    nav1->button(NavButton::Post)->setStyleSheet(QStringLiteral("color: green;"));
    nav1->button(NavButton::Cancel)->setStyleSheet(QStringLiteral("color: red;"));
    nav2->setVisibleButtons({NavButton::Prior, NavButton::Next});
    nav2->setCaption(NavButton::Next, QStringLiteral("بعدي"));
    nav2->setCaption(NavButton::Prior, QStringLiteral("قبلي"));
    for (NavButton b : {NavButton::Prior, NavButton::Next})
        nav2->button(b)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void BringUp(QWidget* window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
