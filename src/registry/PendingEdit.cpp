#include "registry/PendingEdit.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/db/Errors.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/FieldLink.h"
#include "ui/Dialogs.h"

bool SaveOrDropPendingEdit(db::DataSet& ds, const QString& caption)
{
    if (ds.State() != db::DataSetState::Edit && ds.State() != db::DataSetState::Insert)
        return true;
    const int answer = ShowMessageDlg(dkQuestion, caption, QStringLiteral("آيا تغييرات ذخيره شوند؟"),
                                      dbYes | dbNo | dbCancel, 10);
    if (answer == shell::ResultNo) {
        ds.Cancel();
        return true;
    }
    if (answer != shell::ResultYes)
        return false;
    try {
        widgets::FieldLink::updateRecord(&ds);
        if (Dm && ds.connection() == Dm->Conn.get())
            Dm->PostInTransaction(ds);
        else
            ds.Post();
    } catch (const db::Abort&) {
        return false;
    } catch (const db::DbError& e) {
        ShowMessageDlg(dkError, caption, e.message(), dbOk, 8);
        return false;
    }
    return ds.State() == db::DataSetState::Browse;
}
