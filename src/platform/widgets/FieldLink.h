#pragma once
// The binding of a data-aware control to one field of a dataset: follows the dataset's
// signals, puts it into edit state on the first change and writes the control's value.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace db {
class DataSet;
class Field;
}

namespace widgets {

// Runs an action on a dataset: db::Abort is silent, db::DbError and other errors are shown
// in the message dialog (a database error only once, and none after the server was
// reported away in the same action). False when the action was refused.
bool guarded(const std::function<void()>& action);

class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(QObject* parent = nullptr);
    ~FieldLink() override;

    void setDataSet(db::DataSet* ds);
    db::DataSet* dataSet() const { return ds_; }
    void setFieldName(const QString& name);
    const QString& fieldName() const { return fieldName_; }

    // Null while the dataset is closed or has no such field.
    db::Field* field() const;
    bool active() const;
    bool editing() const;
    bool canModify() const;
    // A field typed values may be written to: stored data or a lookup, not read-only, of a
    // dataset that writes a table.
    static bool canModify(const db::Field* f);

    // Puts the dataset into edit state for the first change; false when refused.
    bool edit();
    // The control holds a change not yet written to the field.
    bool modified() const { return modified_; }
    void setModified(bool on)
    {
        modified_ = on;
        refused_ = false;
    }
    // Writes a pending change through writer. On a refusal a text control keeps what was
    // typed, still pending, for correction (a refused text is not tried again until it
    // changes, unless retry); other controls show the field again.
    bool updateRecord(bool retry = false);
    std::function<void(db::Field&)> writer;
    // The control holds typed text: a refused text stays in it.
    void setKeepsRefusedText(bool on) { keepsRefused_ = on; }
    // The pending text was refused and has not changed since.
    bool refused() const { return refused_; }
    // The control's text changed since the last refusal.
    void noteEdit() { refused_ = false; }

    // Writes the pending changes of every control bound to the dataset (before a post),
    // refused texts again.
    static bool updateRecord(db::DataSet* ds);

signals:
    // The control shows the field's value again.
    void refresh();

private:
    void attach();
    void reload();
    // The control shows the field again, unless that would make a deferred dataset read its
    // rows for a hidden control (then on its next show).
    void showAgain();

    QPointer<db::DataSet> ds_;
    QString fieldName_;
    bool modified_ = false;
    bool keepsRefused_ = false;
    bool refused_ = false;   // the pending text was refused and has not changed since
    bool busy_ = false;   // editing or writing: the dataset's echo is not shown
    class ShownRefresh* shown_ = nullptr;
};

} // namespace widgets
