#pragma once
// The save question before an action reloads a shared dataset.

#include <QString>

namespace db { class DataSet; }

// An insert or edit in progress on ds is saved (Yes) or dropped (No) after the question
// "آيا تغييرات ذخيره شوند؟"; Cancel, or a save that fails, stops the action (false).
// Nothing in progress: true without a question.
bool SaveOrDropPendingEdit(db::DataSet& ds, const QString& caption);
