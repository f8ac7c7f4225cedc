#include "registry/TFrmTels.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/FormShow.h"
#include "forms/FormShared.h"
#include "registry/TFrmTelsNEw.h"
#include "forms/TListFrame.h"
#include "ui_TFrmTels.h"

#include <QHash>
#include <QKeyEvent>

TFrmTels* FrmTels = nullptr;

const QStringList& TFrmTels::TabLetters()
{
    static const QStringList letters = QStringLiteral("آ ب پ ت ث ج چ ح خ د ذ ر ز ژ س ش ص ض ط ظ ع غ ف ق ک گ ل م ن و ه ي ...")
                                           .split(QLatin1Char(' '));
    return letters;
}

QString TFrmTels::TabSql(const QString& tab)
{
    if (tab == QLatin1String("..."))
        return QStringLiteral("select * from t_Tels order by AKey");
    QString sql = QStringLiteral("select * from t_Tels where esm like ") + db::Q(tab + QLatin1Char('%'));
    // names typed with the other form of the letter (Persian or Arabic yeh and kaf)
    static const QHash<QChar, QChar> other{{QChar(0x064A), QChar(0x06CC)}, {QChar(0x06CC), QChar(0x064A)},
                                           {QChar(0x06A9), QChar(0x0643)}, {QChar(0x0643), QChar(0x06A9)}};
    if (tab.size() == 1 && other.contains(tab[0]))
        sql += QStringLiteral(" or esm like ") + db::Q(QString(other.value(tab[0])) + QLatin1Char('%'));
    return sql + QStringLiteral(" order by AKey");
}

TFrmTels::TFrmTels(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TFrmTels>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    ui->TabControl1->setShape(QTabBar::RoundedSouth);
    ui->TabControl1->setExpanding(false);
    ui->TabControl1->setUsesScrollButtons(true);
    for (const QString& t : TabLetters())
        ui->TabControl1->addTab(t);
    ui->TabControl1->setCurrentIndex(32);
    ui->TabControl1->setMouseTracking(true);
    // every letter in sight when the book opens, none behind the scroll arrows
    resize(qMax(width(), ui->TabControl1->sizeHint().width() + 24), height());

    widgets::DBGrid* g = ui->dbgrid1;
    if (Dm)
        g->setDataSet(Dm->QTels);
    g->setColumns({{QStringLiteral("row"), QStringLiteral("رديف"), 40, true},
                   {QStringLiteral("Esm"), QStringLiteral("نام شخص"), 220, true},
                   {QStringLiteral("Phone"), QStringLiteral("تلفن"), 140, true},
                   {QStringLiteral("Mobile"), QStringLiteral("موبايل"), 140, true},
                   {QStringLiteral("Fax"), QStringLiteral("فاکس"), 120, true}});
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setCellStyler([](int, const QString& fieldName, widgets::CellStyle& style) {
        if (fieldName == QLatin1String("Esm"))
            style.alignment = Qt::AlignLeft | Qt::AlignAbsolute;
    });
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::ExtendedSelection);

    frame_ = new TListFrame(this, TListFrame::PartsOf(ui.get()), QStringLiteral("GTels"));
    frame_->FillSearchTitles(1);
    frame_->SetChangeAction([this] { btnchangeClick(); });

    connect(ui->TabControl1, &QTabBar::currentChanged, this, [this] { TabControl1Change(); });
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(ui->btnchange, &QPushButton::clicked, this, [this] { btnchangeClick(); });
    connect(ui->btndel, &QPushButton::clicked, this, [this] { btndelClick(); });
    connect(ui->btnrefresh, &QPushButton::clicked, this, [this] { btnrefreshClick(); });
    connect(ui->btnprint, &QPushButton::clicked, this, [this] { btnprintClick(); });
    setWindowTitle(QStringLiteral("دفترچه تلفن"));
}

TFrmTels::~TFrmTels() = default;

void TFrmTels::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QWidget::keyReleaseEvent(event);
}

void TFrmTels::FormShow()
{
    TabControl1Change();
    frame_->LoadLayout();
}

void TFrmTels::closeEvent(QCloseEvent* event)
{
    frame_->SaveLayout();
    QWidget::closeEvent(event);
}

void TFrmTels::TabControl1Change()
{
    if (!Dm)
        return;
    db::DataSet* tels = Dm->QTels;
    const QString sql = TabSql(ui->TabControl1->tabText(ui->TabControl1->currentIndex()));
    widgets::guarded([&] {
        tels->Close();
        tels->setSQL(sql);
        tels->Open();
    });
}

void TFrmTels::runEntry(bool insert, const QStringList& values)
{
    db::DataSet* tels = Dm->QTels;
    TFrmTelsNEw entry(this);
    const bool ready = widgets::guarded([&] {
        if (!tels->Active())
            tels->Open();
        if (insert) {
            tels->Insert();
            const char* const fields[] = {"Esm", "Phone", "Mobile", "Fax"};
            for (int i = 0; i < values.size() && i < 4; ++i)
                tels->FieldByName(QString::fromLatin1(fields[i]))->SetAsString(values[i]);
        } else {
            tels->Edit();
        }
    });
    if (!ready)
        return;
    entry.exec();
    // closed by other means than the buttons and the question: nothing stays half-entered
    if (tels->State() == db::DataSetState::Edit || tels->State() == db::DataSetState::Insert)
        widgets::guarded([&] { tels->Cancel(); });
}

void TFrmTels::AddToPhoneBook(const QString& name, const QString& phone, const QString& mobile, const QString& fax)
{
    runEntry(true, {name, phone, mobile, fax});
}

void TFrmTels::BitBtn1Click() { runEntry(true); }

void TFrmTels::btnchangeClick()
{
    if (!frame_->RequireRow())
        return;
    runEntry(false);
}

void TFrmTels::btndelClick()
{
    frame_->DeleteCurrent(windowTitle(), QStringLiteral("آيا رديف(هاي) انتخاب شده حذف شود؟"), 10);
}

void TFrmTels::btnrefreshClick() { frame_->Refresh(); }

void TFrmTels::btnprintClick() { frame_->Print(QStringLiteral("دفترچه تلفن")); }
