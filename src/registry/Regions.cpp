#include "registry/Regions.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/db/Errors.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/FieldLink.h"
#include "ui/Dialogs.h"

namespace {

void reopen(db::DataSet* ds)
{
    ds->Close();
    ds->Open();
}

bool nonEmpty(const QString& sql)
{
    Dm->QFree->Close();
    Dm->QFree->setSQL(sql);
    Dm->QFree->Open();
    return !Dm->QFree->IsEmpty();
}

} // namespace

void ReopenRegionLookups()
{
    reopen(Dm->QMn);
    reopen(Dm->Qmn2);
}

bool RegionInUse(const QString& id)
{
    const bool properties = nonEmpty(QStringLiteral("select * from t_melk where mantaghehid=") + id);
    const bool demands = nonEmpty(QStringLiteral("select * from t_niyaz where mnid=") + id);
    return properties || demands;
}

bool SaveCurrentRegion(const QString& caption)
{
    db::DataSet* ds = Dm->QMantagheh;
    try {
        widgets::FieldLink::updateRecord(ds);
        if (ds->State() == db::DataSetState::Edit || ds->State() == db::DataSetState::Insert)
            ds->Post();
    } catch (const db::Abort&) {
        return false;
    } catch (const db::DbError& e) {
        const QString text = db::textToShow(e);
        if (!text.isEmpty())
            ShowMessageDlg(dkError, caption, text, dbOk, 8);
        return false;
    }
    ReopenRegionLookups();
    return true;
}

bool DeleteCurrentRegion(const QString& caption)
{
    db::DataSet* ds = Dm->QMantagheh;
    if (!ds->Active() || ds->IsEmpty())
        return false;
    if (ShowMessageDlg(dkQuestion, caption, QStringLiteral("آيا رديف انتخاب شده حذف شود؟"), dbYes | dbNo, 10)
        != shell::ResultYes)
        return false;
    const QString id = QString::number(ds->FieldByName(QStringLiteral("MnID"))->AsLargeInt());
    if (RegionInUse(id)
        && ShowMessageDlg(dkQuestion, QString(),
                          QStringLiteral("اطلاعاتي از اين منطقه در برنامه موجود مي باشد") + QLatin1Char('\n')
                              + QStringLiteral("آيا ادامه مي دهيد؟"),
                          dbYes | dbNo, 10)
               != shell::ResultYes)
        return false;
    try {
        ds->Delete();
    } catch (const db::Abort&) {
        return false;
    } catch (const db::DbError& e) {
        const QString text = db::textToShow(e);
        if (!text.isEmpty())
            ShowMessageDlg(dkError, caption, text, dbOk, 8);
        return false;
    }
    ReopenRegionLookups();
    return true;
}
