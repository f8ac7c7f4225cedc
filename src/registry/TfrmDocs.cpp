#include "registry/TfrmDocs.h"

#include "core/TDm.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/FieldLink.h"
#include "forms/TListFrame.h"
#include "registry/TfrmShowDocs.h"
#include "ui_TfrmDocs.h"

namespace {

const QString kNoRow = QStringLiteral("هيچ رديفي انتخاب نشده است.");

void info(const QString& text)
{
    shell::MessageRequest r;
    r.kind = 1;
    r.text = text;
    r.buttons = 1;
    r.fontSize = 8;
    shell::prompter().messageDlg(r);
}

bool hasRows()
{
    return Dm->QDocs->Active() && !Dm->QDocs->IsEmpty();
}

int docPathWidth()
{
    const db::Field* f = Dm->QDocs->FindField(QStringLiteral("docPath"));
    return f && f->Size() > 0 ? f->Size() : 150;
}

} // namespace

QString DocumentFolder(const QString& path)
{
    const qsizetype i = std::max({path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')),
                                  path.lastIndexOf(QLatin1Char(':'))});
    return i < 0 ? QString() : path.left(i + 1);
}

bool IsImageFile(const QString& extension)
{
    static const QStringList kinds{QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".bmp"),
                                   QStringLiteral(".ico"), QStringLiteral(".emf"), QStringLiteral(".wmf")};
    return kinds.contains(extension.toLower());
}

void DeleteProperty(db::DataSet& qmelk)
{
    const QVariant id = qmelk.FieldByName(QStringLiteral("MID"))->Value();
    db::Connection* conn = qmelk.connection();
    const auto run = [&] {
        if (!id.isNull() && conn->tableExists(QStringLiteral("T_EstateDocs")))
            conn->exec(QStringLiteral("delete from T_EstateDocs where melkId = $1"), {id});
        qmelk.Delete();
    };
    if (conn->inTransaction())
        run();
    else
        db::inTransaction(*conn, run);
}

TfrmDocs::TfrmDocs(QWidget* owner, const QString& melkId)
    : QDialog(owner), ui(std::make_unique<Ui::TfrmDocs>()), melkId_(melkId)
{
    ui->setupUi(this);
    db::DataSet* docs = Dm->QDocs;
    ui->DBGrid1->setDataSet(docs);
    ui->DBGrid1->setColumns({{QStringLiteral("docPath"), QStringLiteral("مسير و نام فايل"), 560, true}});
    ui->DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    // the id is the stored key of a property: a whole number
    bool ok = false;
    const qint64 id = melkId.trimmed().toLongLong(&ok);
    widgets::guarded([&] {
        docs->Close();
        docs->setSQL(QStringLiteral("select * from T_EstateDocs where melkId = ")
                     + (ok ? QString::number(id) : QStringLiteral("-1")));
        docs->Open();
    });
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(ui->BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(ui->BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(ui->BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
}

TfrmDocs::~TfrmDocs() = default;

void TfrmDocs::BitBtn1Click()
{
    shell::FileRequest r;
    r.filter = QStringLiteral("تمامي فيل ها (*)");
    r.pictures = true;
    const QString path = shell::prompter().openFile(r);
    if (path.isEmpty())
        return;
    const int width = docPathWidth();
    if (path.size() > width) {
        info(QStringLiteral("مسير و نام فايل طولاني تر از %1 حرف است و ذخيره نمي شود:").arg(width)
             + QLatin1Char('\n') + path);
        return;
    }
    db::DataSet* docs = Dm->QDocs;
    const bool ok = widgets::guarded([&] {
        docs->Append();
        docs->FieldByName(QStringLiteral("melkId"))->SetAsInteger(melkId_.toLongLong());
        docs->FieldByName(QStringLiteral("docPath"))->SetAsString(path);
        docs->Post();
    });
    if (!ok && docs->State() == db::DataSetState::Insert)
        docs->Cancel();
}

void TfrmDocs::BitBtn2Click()
{
    if (!hasRows()) {
        info(kNoRow);
        return;
    }
    widgets::guarded([] { Dm->QDocs->Delete(); });
}

void TfrmDocs::BitBtn3Click()
{
    if (!hasRows()) {
        info(QStringLiteral("اطلاعاتي (عکس، فيلم و ...) براي نمايش وجود ندارد.") + QLatin1Char('\n')
             + QStringLiteral("با استفاده از دکمه «اضافه کردن سند» اطلاعات جديدي را براي ملک ثبت نماييد."));
        return;
    }
    TfrmShowDocs viewer;
    viewer.exec();
}

void TfrmDocs::BitBtn4Click()
{
    if (!hasRows()) {
        info(kNoRow);
        return;
    }
    shell::prompter().shellOpen(DocumentFolder(Dm->QDocs->FieldByName(QStringLiteral("docPath"))->AsString()));
}
