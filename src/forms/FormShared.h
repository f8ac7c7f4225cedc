#pragma once
// Small pieces the record and list windows share: the save question before an action that would
// lose a record being edited, a panel's design state, and the Alt-key repaint.

#include <QHash>
#include <QString>
#include <QVariant>
#include <initializer_list>
#include <utility>

class QCheckBox;
class QWidget;
namespace db { class DataSet; }
namespace widgets { class DBNavigator; }

// Binds each data-aware control to its field of ds.
template <class Control>
void BindFields(db::DataSet* ds, std::initializer_list<std::pair<Control*, const char*>> controls)
{
    for (const auto& [control, field] : controls) {
        control->setDataSet(ds);
        control->setDataField(QString::fromLatin1(field));
    }
}

// The one save question of every way out (closing a window or the program, the login
// window's exit, a search, a match): when ds is being edited or inserted, asks
// "آيا تغييرات ذخيره شوند؟" (Yes, No, Cancel). Yes hands the text still in the bound controls
// (the focused one too) to the fields and posts in a transaction, No cancels the changes.
// True when the caller may go on (browse state, saved or discarded); false on Cancel or a
// refused value or post (its message has been shown).
// confirmSaved: after Yes, shows "تغييرات با موفقيت ذخيره شدند".
bool AskSavePending(db::DataSet* ds, const QString& caption, bool confirmSaved = false);

// The check boxes and plain edit boxes directly on a panel as designed, by object name.
using PanelDesign = QHash<QString, QVariant>;
PanelDesign CapturePanelDesign(QWidget* panel);
// LoadPanelState, except that a control whose key the file lacks (or a missing file) takes its
// design state instead of "checked" and "0".
void LoadPanelStateKeepingDesign(const QString& iniPath, const QString& section, QWidget* panel,
                                 const PanelDesign& design);

// Each box enables the controls it governs; a box set from the settings file does the same.
void EnableWith(QCheckBox* box, std::initializer_list<QWidget*> controls);

// A message through the prompter, tahoma 8: kind 1 information, 2 question; the answer.
int AskMessage(const QString& text, int buttons = 1, int kind = 2);

// Repaints every control of the window (releasing Alt).
void RepaintAll(QWidget* window);

// The record forms' two navigators: new, save (green), cancel (red) with the text under the
// picture; prior and next with the text beside it.
void SetupRecordNavigators(widgets::DBNavigator* nav1, widgets::DBNavigator* nav2);

// Shows a long-lived window and brings it to the front.
void BringUp(QWidget* window);
