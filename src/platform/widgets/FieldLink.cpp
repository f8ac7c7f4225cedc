#include "platform/widgets/FieldLink.h"

#include "platform/db/DataSet.h"
#include "platform/db/Errors.h"
#include "platform/shell/Progress.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/ShownRefresh.h"

#include <QList>
#include <QWidget>

namespace widgets {

namespace {

void showError(const QString& text)
{
    shell::MessageRequest r;
    r.kind = 0;
    r.text = text;
    r.buttons = 1;
    shell::prompter().messageDlg(r);
}

// The links bound to one dataset, kept as the dataset's child. The class has no
// meta-object of its own, so it is found by its name and checked with dynamic_cast:
// a typed findChild would take any plain QObject child (the idle-read timer) for it.
class LinkList : public QObject {
public:
    explicit LinkList(QObject* parent) : QObject(parent) { setObjectName(QLatin1String(kName)); }
    QList<FieldLink*> links;

    static LinkList* of(db::DataSet* ds, bool create)
    {
        LinkList* list = nullptr;
        for (QObject* c : ds->findChildren<QObject*>(QLatin1String(kName), Qt::FindDirectChildrenOnly))
            if ((list = dynamic_cast<LinkList*>(c)))
                break;
        if (!list && create)
            list = new LinkList(ds);
        return list;
    }

private:
    static constexpr const char* kName = "dovinFieldLinks";
};

class BusyGuard {
public:
    explicit BusyGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~BusyGuard() { flag_ = old_; }

private:
    bool& flag_;
    bool old_;
};

} // namespace

bool guarded(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const db::Abort&) {
    } catch (const shell::Cancelled&) {
        // stopped by the user: nothing to tell
    } catch (const db::DbError& e) {
        const QString text = db::textToShow(e);
        if (!text.isEmpty())
            showError(text);
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
    return false;
}

FieldLink::FieldLink(QObject* parent) : QObject(parent) {}

FieldLink::~FieldLink()
{
    if (ds_)
        if (LinkList* list = LinkList::of(ds_, false))
            list->links.removeAll(this);
}

void FieldLink::setDataSet(db::DataSet* ds)
{
    if (ds_ == ds)
        return;
    if (ds_) {
        disconnect(ds_, nullptr, this, nullptr);
        if (LinkList* list = LinkList::of(ds_, false))
            list->links.removeAll(this);
    }
    ds_ = ds;
    setModified(false);
    attach();
    showAgain();
}

void FieldLink::setFieldName(const QString& name)
{
    fieldName_ = name;
    setModified(false);
    showAgain();
}

void FieldLink::showAgain()
{
    auto* control = qobject_cast<QWidget*>(parent());
    if (!control) {
        emit refresh();
        return;
    }
    if (!shown_)
        shown_ = new ShownRefresh(control, [this] { emit refresh(); });
    shown_->request(ds_);
}

void FieldLink::attach()
{
    if (!ds_)
        return;
    LinkList::of(ds_, true)->links.append(this);
    connect(ds_, &db::DataSet::currentChanged, this, &FieldLink::reload);
    connect(ds_, &db::DataSet::layoutChanged, this, &FieldLink::reload);
    connect(ds_, &db::DataSet::stateChanged, this, [this] {
        if (!editing())
            setModified(false);
        if (!busy_)
            showAgain();
    });
    connect(ds_, &db::DataSet::fieldChanged, this, [this](int index) {
        const db::Field* f = field();
        // calculated and lookup fields follow every change of the record
        if (!busy_ && f && (f->Index() == index || f->Kind() != db::FieldKind::Data))
            emit refresh();
    });
}

void FieldLink::reload()
{
    if (busy_)
        return;
    setModified(false);
    showAgain();
}

db::Field* FieldLink::field() const
{
    if (!ds_ || !ds_->Active() || fieldName_.isEmpty())
        return nullptr;
    return ds_->FindField(fieldName_);
}

bool FieldLink::active() const { return ds_ && ds_->Active(); }

bool FieldLink::editing() const
{
    return ds_ && (ds_->State() == db::DataSetState::Edit || ds_->State() == db::DataSetState::Insert);
}

bool FieldLink::canModify() const { return canModify(field()); }

bool FieldLink::canModify(const db::Field* f)
{
    return f && !f->ReadOnly() && (f->Kind() == db::FieldKind::Data || f->Kind() == db::FieldKind::Lookup)
        && !f->DataSetOf()->updateTable().isEmpty();
}

bool FieldLink::edit()
{
    if (!canModify())
        return false;
    if (editing())
        return true;
    if (busy_)
        return false;   // asked again while the first attempt is still answering: one message
    bool ok;
    {
        BusyGuard busy(busy_);
        ok = guarded([this] { ds_->Edit(); });
    }
    if (!ok)
        emit refresh();
    return ok && editing();
}

bool FieldLink::updateRecord(bool retry)
{
    if (!modified_)
        return true;
    if (refused_ && !retry)
        return false;
    db::Field* f = field();
    modified_ = false;
    if (!f || !writer || !editing()) {
        refused_ = false;
        emit refresh();
        return !f || !editing();
    }
    bool ok;
    {
        BusyGuard busy(busy_);
        ok = guarded([&] { writer(*f); });
    }
    if (!ok && keepsRefused_ && editing()) {
        modified_ = true;
        refused_ = true;
        return false;
    }
    refused_ = false;
    emit refresh();
    return ok;
}

bool FieldLink::updateRecord(db::DataSet* ds)
{
    if (!ds)
        return true;
    LinkList* list = LinkList::of(ds, false);
    if (!list)
        return true;
    const QList<FieldLink*> links = list->links;
    for (FieldLink* link : links)
        if (!link->updateRecord(true))
            return false;
    return true;
}

} // namespace widgets
