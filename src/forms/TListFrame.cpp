#include "forms/TListFrame.h"

#include "core/AppGlobals.h"
#include "core/TPrefMng.h"
#include "forms/FormShared.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/FormShow.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui/PrintGrid.h"
#include "ui/TTools.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>

void ShowNoRowMessage(const QString& text)
{
    shell::MessageRequest r;
    r.kind = 1;
    r.text = text.isEmpty() ? QStringLiteral("هيچ رديفي انتخاب نشده است") : text;
    r.buttons = 1;
    r.fontSize = 8;
    shell::prompter().messageDlg(r);
}

TListFrame::TListFrame(QWidget* form, const Parts& parts, const QString& layoutKey)
    : QObject(form), form_(form), parts_(parts), layoutKey_(layoutKey)
{
    if (parts_.btnsearch)
        connect(parts_.btnsearch, &QAbstractButton::clicked, this, [this] { Find(); });
    if (parts_.edtsearch) {
        // room for a name or a date as typed
        QLineEdit* e = parts_.edtsearch;
        e->setMinimumWidth(qMax(e->minimumWidth(), e->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24));
        connect(e, &QLineEdit::textChanged, this, [this] { Find(); });
    }
    if (parts_.BitBtn3)
        connect(parts_.BitBtn3, &QAbstractButton::clicked, this, [this] { FindNext(); });
    if (parts_.chkfilter)
        connect(parts_.chkfilter, &QCheckBox::clicked, this, [this](bool on) { SetFoundOnly(on); });
    // the window gives its own opening work before it makes the frame: the columns it loads
    // or shows there are the ones to make room for
    if (form_ && parts_.grid)
        widgets::OnFormShow(form_, [this] { FitWindowToColumns(); });
}

db::DataSet* TListFrame::dataSet() const { return parts_.grid ? parts_.grid->dataSet() : nullptr; }

void TListFrame::FillSearchTitles(int firstColumn)
{
    if (!parts_.CmbSearch || !parts_.grid)
        return;
    parts_.CmbSearch->clear();
    const auto cols = parts_.grid->columns();
    for (int i = firstColumn; i < cols.size(); ++i)
        parts_.CmbSearch->addItem(cols[i].title);
    if (parts_.CmbSearch->count() > 0)
        parts_.CmbSearch->setCurrentIndex(0);
}

QString TListFrame::FilterFor(const QString& title, const QString& text, bool partial) const
{
    db::DataSet* ds = dataSet();
    if (!ds || !parts_.grid)
        return {};
    // the first column with that title, hidden ones included
    const auto cols = parts_.grid->columns();
    const db::Field* field = nullptr;
    for (const widgets::GridColumn& c : cols)
        if (c.title == title) {
            field = ds->FindField(c.fieldName);
            break;
        }
    if (!field)
        return {};
    const QString w = partial ? QStringLiteral("%") : QString();
    if (field->IsText()) {
        if (dateTitles_.contains(title))
            return field->FieldName() + QStringLiteral(" like ") + db::Q(DatePrefixFromMask(text) + w);
        return field->FieldName() + QStringLiteral(" like ") + db::Q(w + text + w);
    }
    if (amountTitles_.contains(title))
        return field->FieldName() + QLatin1Char('=') + TTools::StripThousands(text);
    return field->FieldName() + QLatin1Char('=') + text;
}

void TListFrame::Find()
{
    db::DataSet* ds = dataSet();
    if (!ds || !parts_.edtsearch)
        return;
    if (grouping_)
        return;
    const QString title = parts_.CmbSearch ? parts_.CmbSearch->currentText() : QString();
    const bool amount = amountTitles_.contains(title);
    const QString raw = parts_.edtsearch->text();
    const QString text = amount && !raw.isEmpty() ? TTools::StripThousands(raw) : raw;
    if (amount && !raw.isEmpty()) {
        // the grouped text shows what was typed; the search reads the plain number
        grouping_ = true;
        MoneyEditChange(parts_.edtsearch);
        grouping_ = false;
    }
    try {
        if (text.isEmpty()) {
            ds->setFilter(QString());
            return;
        }
        const bool partial = parts_.chkjozi && parts_.chkjozi->isChecked();
        const QString filter = FilterFor(title, text, partial);
        if (filter.isEmpty())
            return;
        ds->setFilter(filter);
        ds->FindFirst();
    } catch (...) {
        // a filter the dataset cannot read leaves the list as it was
    }
}

void TListFrame::FindNext()
{
    if (db::DataSet* ds = dataSet())
        try {
            ds->FindNext();
        } catch (...) {
        }
}

void TListFrame::SetFoundOnly(bool on)
{
    if (db::DataSet* ds = dataSet())
        try {
            ds->setFiltered(on);
        } catch (...) {
        }
}

bool TListFrame::RequireRow(const QString& text) const
{
    db::DataSet* ds = dataSet();
    if (ds && ds->Active() && !ds->IsEmpty())
        return true;
    ShowNoRowMessage(text);
    return false;
}

bool TListFrame::DeleteCurrent(const QString& caption, const QString& question, int fontSize,
                               const std::function<void()>& deleter)
{
    if (!RequireRow())
        return false;
    shell::MessageRequest r;
    r.kind = 2;
    r.caption = caption;
    r.text = question;
    r.buttons = 4 | 8;
    r.fontSize = fontSize;
    if (shell::prompter().messageDlg(r) != shell::ResultYes)
        return false;
    db::DataSet* ds = dataSet();
    return widgets::guarded([&] {
        if (deleter)
            deleter();
        else
            ds->Delete();
    });
}

void TListFrame::Refresh(std::initializer_list<db::DataSet*> alongside)
{
    db::DataSet* ds = dataSet();
    // the reopen would drop a record being edited
    if (!ds || !AskSavePending(ds, form_ ? form_->windowTitle() : QString()))
        return;
    const QVariant mark = ds->Active() ? ds->GetBookmark() : QVariant();
    widgets::guarded([&] {
        ds->Close();
        ds->Open();
    });
    for (db::DataSet* other : alongside)
        widgets::guarded([&] {
            other->Close();
            other->Open();
        });
    try {
        if (mark.isValid() && ds->Active())
            ds->GotoBookmark(mark);
    } catch (...) {
    }
}

void TListFrame::LoadLayout()
{
    if (parts_.grid && !layoutKey_.isEmpty())
        LoadGridColumns(parts_.grid, layoutKey_);
}

void TListFrame::SaveLayout()
{
    if (parts_.grid && !layoutKey_.isEmpty())
        SaveGridColumns(parts_.grid, layoutKey_);
}

int TListFrame::WidthForColumns() const
{
    widgets::DBGrid* g = parts_.grid;
    if (!g || !form_)
        return 0;
    form_->ensurePolished();
    if (QLayout* layout = form_->layout())
        layout->activate();
    QHeaderView* rows = g->verticalHeader();
    const int rowHeader = rows->isHidden() ? 0 : qMax(rows->width(), rows->sizeHint().width());
    // the vertical scroll bar is counted whether or not the rows need it yet
    const int gridWidth = g->horizontalHeader()->length() + rowHeader + 2 * g->frameWidth()
                          + g->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, g) + 2;
    QWidget* window = form_->window();
    return window->width() - g->width() + gridWidth;
}

void TListFrame::FitWindowToColumns()
{
    if (!form_ || !parts_.grid)
        return;
    QWidget* window = form_->window();
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // the window's frame, where a window manager draws one, comes out of the screen's width too
    const int frame = window->frameGeometry().width() - window->width();
    int width = qMax(window->width(), WidthForColumns());
    if (area.isValid())
        width = qMin(width, area.width() - frame);
    if (width == window->width())
        return;
    const int centre = window->geometry().center().x();
    window->resize(width, window->height());
    if (!area.isValid())
        return;
    int left = centre - width / 2;
    left = qBound(area.left(), left, area.right() + 1 - width - frame);
    window->move(left, window->y());
}

namespace {

GridPrintSettings listPrintSettings()
{
    GridPrintSettings s;
    s.paperOrdinal = PrintSettings.PaperSizeReport;
    s.orientation = PrintSettings.OrientationReport;
    s.bodyFont = PrintSettings.BodyFont;
    s.reportTitle = TPrefMng::GetReportTitle();
    s.economicCode = TPrefMng::GetEconomicCode();
    if (Tools) {
        s.today = Tools->TodayShamsi();
        s.time = Tools->NowHHmm();
    }
    return s;
}

} // namespace

void TListFrame::Print(const QString& title, const QString& footer, const QString& sumField, const QString& sumLabel)
{
    PrintGrid(listPrintSettings(), parts_.grid, title, footer, false, 0, sumField, sumLabel, true);
}

void TListFrame::PrintRows(const QString& title, const QString& footer, bool allRows)
{
    PrintGrid(listPrintSettings(), parts_.grid, title, footer, allRows, 0, QString(), QString(), false);
}

void TListFrame::SetChangeAction(std::function<void()> change)
{
    const bool first = !change_;
    change_ = std::move(change);
    if (!first || !parts_.grid)
        return;
    connect(parts_.grid, &QAbstractItemView::doubleClicked, this, [this] {
        if (change_)
            change_();
    });
    parts_.grid->installEventFilter(this);
}

bool TListFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parts_.grid && event->type() == QEvent::KeyPress && change_) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            change_();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool TListFrame::ForSelectedRows(const std::function<void(db::DataSet& ds, int row)>& add) const
{
    db::DataSet* ds = dataSet();
    if (!ds || !ds->Active())
        return true;
    QString error;
    try {
        for (int row = 0; row < ds->RecordCount(); ++row)
            if (ds->IsRowSelected(row))
                add(*ds, row);
    } catch (const db::DbError& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    if (error.isNull())
        return true;
    shell::MessageRequest r;
    r.kind = 0;
    r.caption = QStringLiteral("خطا");
    r.text = QStringLiteral("خطايي در روند برنامه پيش آمد") + QStringLiteral("\r\n") + error;
    r.buttons = 1;
    r.fontSize = 8;
    shell::prompter().messageDlg(r);
    return false;
}
