#include "deals/Tfrmchart.h"

#include "core/AppGlobals.h"
#include "platform/chart/ChartView.h"
#include "platform/report/Report.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/BidiText.h"
#include "ui/Dialogs.h"
#include "ui/TTools.h"
#include "ui_Tfrmchart.h"

#include <QActionGroup>
#include <QComboBox>
#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QImageWriter>
#include <QMenu>
#include <QPainter>
#include <QTreeWidget>
#include <QWheelEvent>

using chart::BarStyle;
using chart::Series;
using chart::SeriesKind;

namespace {

// The chart's own series, in the order of the chart kinds.
const char* const kSeriesNames[] = {"Series1", "Series4", "Series2", "Series3", "Series7", "Series5", "Series6"};
constexpr int kOwnSeries = 7;
constexpr int kComparisonCursor = 2020;

const QString kError = QStringLiteral("خطايي در روند برنامه پيش آمد");

QAction* item(QMenu* menu, const char* name, const QString& text, int tag)
{
    QAction* a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    a->setData(tag);
    return a;
}

QMenu* submenu(QMenu* parent, const char* name, const QString& text)
{
    QMenu* m = parent->addMenu(text);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    return m;
}

QMenu* popup(QWidget* owner, const char* name)
{
    auto* m = new QMenu(owner);
    m->setObjectName(QLatin1String(name));
    return m;
}

const QStringList& barStyleTexts()
{
    static const QStringList t{QStringLiteral("&ميله اي"), QStringLiteral("&هرمي"), QStringLiteral("هرمي بر&عكس"),
                               QStringLiteral("&استوانه اي"), QStringLiteral("&بيضي"), QStringLiteral("&فلش"),
                               QStringLiteral("ميله اي(تدري&جي)")};
    return t;
}

// A small picture of a chart kind for the kind list.
QIcon kindIcon(int kind)
{
    const SeriesKind kinds[] = {SeriesKind::Bar, SeriesKind::HorizBar, SeriesKind::Pie, SeriesKind::Line,
                                SeriesKind::FastLine, SeriesKind::Area, SeriesKind::Point, SeriesKind::Bar};
    chart::Chart c;
    c.axesVisible = false;
    c.legendVisible = false;
    c.background.gradientVisible = false;
    c.background.color = Qt::transparent;
    c.depthPercent = 25;
    for (int s = 0; s < (kind == 7 ? 2 : 1); ++s) {
        Series& series = c.addSeries(kinds[kind]);
        series.colorEachPoint = kind != 4 && kind != 7;
        series.color = chart::autoColor(s + 3);
        series.barStyle = BarStyle::Rectangle;
        series.pointerStyle = chart::PointerStyle::Circle;
        for (double v : {2.0, 4.0, 3.0})
            series.add(v + s, QString());
    }
    QImage img(40, 28, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    chart::renderChart(c, p, QRectF(-6, -6, 52, 40));
    p.end();
    return QIcon(QPixmap::fromImage(img));
}

} // namespace

Tfrmchart::Tfrmchart(QTreeWidget* months, QTreeWidget* sums, QComboBox* report, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrmchart>()), months_(months), sums_(sums), report_(report)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose, false);
    ui->cmbcharts->addItems({QStringLiteral("ميله اي عمودي"), QStringLiteral("ميله اي افقي"), QStringLiteral("دايره اي"),
                             QStringLiteral("خطي(1)"), QStringLiteral("خطي(2)"), QStringLiteral("مساحتي"),
                             QStringLiteral("نقطه اي"), QStringLiteral("مقايسه اي")});
    ui->cmbcharts->setIconSize(QSize(40, 28));
    for (int k = 0; k < ui->cmbcharts->count(); ++k)
        ui->cmbcharts->setItemIcon(k, kindIcon(k));
    ui->cmbcharts->setCurrentIndex(0);
    buildSeries();
    buildMenus();

    // the grouped check buttons: at most one down, all may be up
    QToolButton* const tools[] = {ui->ToolButton6, ui->ToolButton2, ui->ToolButton7, ui->ToolButton8, ui->ToolButton10};
    for (QToolButton* b : tools)
        connect(b, &QToolButton::toggled, this, [this, b, tools](bool on) {
            if (!on)
                return;
            for (QToolButton* other : tools)
                if (other != b)
                    other->setChecked(false);
        });

    connect(ui->btnchart, &QPushButton::clicked, this, &Tfrmchart::btnchartClick);
    connect(ui->ToolButton19, &QToolButton::clicked, this, &QDialog::close);
    connect(ui->ToolButton1, &QToolButton::clicked, this, &Tfrmchart::PrintChart);
    connect(ui->ToolButton11, &QToolButton::clicked, this, &Tfrmchart::AskPieRotation);
    connect(ui->Chart1, &chart::ChartView::mousePressed, this, [this](const QPoint& pos) { onMousePressed(pos); });
    connect(ui->Chart1, &chart::ChartView::mouseMoved, this, [this](const QPoint& pos) { onMouseMoved(pos); });
    connect(ui->Chart1, &chart::ChartView::mouseReleased, this, [this] { mouseY_ = -1; });
    connect(ui->Chart1, &chart::ChartView::wheelTurned, this, &Tfrmchart::onWheel);
    connect(ui->Chart1, &chart::ChartView::partClicked, this, [this](chart::ChartPart part) {
        if (part == chart::ChartPart::Axis)
            action("Action3")->trigger();
        else if (part == chart::ChartPart::Legend)
            action("Action4")->trigger();
    });
}

Tfrmchart::~Tfrmchart() = default;

chart::Chart& Tfrmchart::chart() const { return ui->Chart1->chart(); }

Series& Tfrmchart::series(const char* name) const { return *chart().findSeries(QLatin1String(name)); }

QMenu* Tfrmchart::menu(const char* name) const { return findChild<QMenu*>(QLatin1String(name)); }

QAction* Tfrmchart::action(const char* name) const { return findChild<QAction*>(QLatin1String(name)); }

void Tfrmchart::buildSeries()
{
    chart::Chart& c = chart();
    c.view3D = true;
    c.depthPercent = 20;
    c.elevation = 315;
    c.rotation = 360;
    c.perspective = false;
    c.orthogonal = false;
    c.background.gradientVisible = true;
    c.background.direction = chart::GradientDirection::FromCenter;
    c.background.pictureMode = chart::PictureMode::Center;
    c.title = QStringLiteral("TChart");

    const SeriesKind kinds[] = {SeriesKind::Bar, SeriesKind::HorizBar, SeriesKind::Pie, SeriesKind::Line,
                                SeriesKind::FastLine, SeriesKind::Area, SeriesKind::Point};
    for (int i = 0; i < kOwnSeries; ++i) {
        Series& s = c.addSeries(kinds[i], QLatin1String(kSeriesNames[i]));
        s.active = i == 0;
        s.cursor = kComparisonCursor;
        s.title = s.name;
    }
    Series& bar = series("Series1");
    bar.colorEachPoint = true;
    bar.marksVisible = true;
    bar.color = Qt::red;
    bar.barStyle = BarStyle::RectGradient;
    bar.barWidthPercent = 60;
    bar.multiBar = chart::MultiBar::Side;
    Series& hbar = series("Series4");
    hbar.colorEachPoint = true;
    hbar.marksVisible = true;
    hbar.color = Qt::blue;
    hbar.barStyle = BarStyle::RectGradient;
    hbar.barWidthPercent = 100;
    Series& pie = series("Series2");
    pie.circled = true;
    pie.marksVisible = true;
    pie.color = QColor(0, 128, 0);
    pie.colorEachPoint = true;
    Series& line = series("Series3");
    line.colorEachPoint = true;
    line.color = Qt::yellow;
    series("Series7").color = QColor(64, 0, 64);
    Series& area = series("Series5");
    area.colorEachPoint = true;
    area.color = Qt::white;
    Series& point = series("Series6");
    point.color = Qt::gray;
    point.pointerStyle = chart::PointerStyle::Rectangle;
    point.pointerColor = QColor(0, 255, 128);
}

void Tfrmchart::buildMenus()
{
    // tool bar actions
    auto act = [this](const char* name, const QString& text, QToolButton* button) {
        auto* a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        a->setToolTip(button->toolTip());
        button->setDefaultAction(a);
        return a;
    };
    connect(act("Action3", ui->ToolButton3->text(), ui->ToolButton3), &QAction::triggered, this, [this] {
        chart().axesVisible = !chart().axesVisible;
        ui->Chart1->update();
    });
    connect(act("Action4", ui->ToolButton5->text(), ui->ToolButton5), &QAction::triggered, this, [this] {
        chart().legendVisible = !chart().legendVisible;
        ui->Chart1->update();
    });
    connect(act("Action9", ui->ToolButton18->text(), ui->ToolButton18), &QAction::triggered, this, [this] {
        for (int i = 0; i < chart().seriesCount(); ++i)
            chart().series(i).marksVisible = !chart().series(i).marksVisible;
        ui->Chart1->update();
    });
    connect(act("Action7", ui->ToolButton14->text(), ui->ToolButton14), &QAction::triggered, this, [this] {
        for (int i = 0; i < chart().seriesCount(); ++i)
            chart().series(i).colorEachPoint = !chart().series(i).colorEachPoint;
        ui->Chart1->update();
    });
    connect(act("Action8", ui->ToolButton17->text(), ui->ToolButton17), &QAction::triggered, this, &Tfrmchart::SaveBitmap);

    // pie
    QMenu* pie = popup(this, "PopupMenu1");
    connect(item(pie, "N1", QStringLiteral("&جدا كردن بزرگترين قسمت "), 0), &QAction::triggered, this, [this] {
        Series& s = series("Series2");
        s.explodeBiggest = s.explodeBiggest == 0 ? 30 : 0;
        ui->Chart1->update();
    });
    connect(item(pie, "N2", QStringLiteral("&چرخاندن نمودار"), 0), &QAction::triggered, this, &Tfrmchart::AskPieRotation);
    ui->ToolButton11->setMenu(pie);
    ui->ToolButton11->setPopupMode(QToolButton::MenuButtonPopup);

    // bar styles, with the comparison series' styles below
    QMenu* rect = popup(this, "mnurect");
    for (int i = 0; i < barStyleTexts().size(); ++i)
        connect(item(rect, QStringLiteral("mnurect%1").arg(i).toLatin1().constData(), barStyleTexts()[i], i), &QAction::triggered,
                this, [this, i] {
                    series("Series1").barStyle = BarStyle(i);
                    series("Series4").barStyle = BarStyle(i);
                    ui->Chart1->update();
                });
    rect->addSeparator();
    QMenu* comp = submenu(rect, "N_comp", QStringLiteral("نمودار مقايسه اي"));
    QAction* placeholder = comp->addAction(QString());
    placeholder->setVisible(false);
    comp->setEnabled(false);
    ui->ToolButton12->setMenu(rect);
    ui->ToolButton12->setPopupMode(QToolButton::InstantPopup);

    // point styles
    QMenu* dots = popup(this, "mnudots");
    const QStringList dotTexts{QStringLiteral("&مكعب"), QStringLiteral("&دايره"), QStringLiteral("م&ثلث"),
                               QStringLiteral("مثلث بر&عكس"), QStringLiteral("&به علاوه"), QStringLiteral("&ضربدر"),
                               QStringLiteral("&ستاره"), QStringLiteral("&لوزي"), QStringLiteral("&نقطه")};
    for (int i = 0; i < dotTexts.size(); ++i)
        connect(item(dots, QStringLiteral("mnudots%1").arg(i).toLatin1().constData(), dotTexts[i], i), &QAction::triggered, this,
                [this, i] {
                    series("Series6").pointerStyle = chart::PointerStyle(i);
                    ui->Chart1->update();
                });
    ui->ToolButton13->setMenu(dots);
    ui->ToolButton13->setPopupMode(QToolButton::InstantPopup);

    // comparison modes
    QMenu* modes = popup(this, "mnucomp");
    auto* modeGroup = new QActionGroup(this);
    for (int i = 0; i < 4; ++i) {
        QAction* a = item(modes, QStringLiteral("mnucomp%1").arg(i).toLatin1().constData(), QStringLiteral("حالت&%1").arg(i + 1), i);
        a->setCheckable(true);
        a->setChecked(i == 1);
        modeGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] {
            series("Series1").multiBar = chart::MultiBar(i);
            ui->Chart1->update();
        });
    }
    ui->ToolButton20->setMenu(modes);
    ui->ToolButton20->setPopupMode(QToolButton::InstantPopup);

    // background
    QMenu* back = popup(this, "MNUBACK");
    QAction* n16 = item(back, "N16", QStringLiteral("&استفاده از رنگ تدريجي"), 0);
    n16->setCheckable(true);
    n16->setChecked(true);
    connect(n16, &QAction::triggered, this, [this](bool on) {
        chart().background.gradientVisible = on;
        ui->Chart1->update();
    });
    QMenu* n13 = submenu(back, "N13", QStringLiteral("&تعيين رنگ تدريجي"));
    connect(item(n13, "N14", QStringLiteral("رنگ &اول"), 0), &QAction::triggered, this, [this] { pickGradientColour(true); });
    connect(item(n13, "N15", QStringLiteral("رنگ &دوم"), 0), &QAction::triggered, this, [this] { pickGradientColour(false); });
    QMenu* n17 = submenu(back, "N17", QStringLiteral("&نوع تركيب رنگ ها"));
    auto* directions = new QActionGroup(this);
    const std::pair<const char*, QString> dirs[] = {
        {"N18", QStringLiteral("&از پايين به بالا")}, {"N24", QStringLiteral("از &بالا به پايين")},
        {"N23", QStringLiteral("از &راست به چپ")},   {"N22", QStringLiteral("از &چپ به راست")},
        {"N20", QStringLiteral("از &وسط")},           {"N25", QStringLiteral("از بالا چ&پ")},
        {"N19", QStringLiteral("ا&ز پايين چپ")}};
    for (int i = 0; i < 7; ++i) {
        QAction* a = item(n17, dirs[i].first, dirs[i].second, i);
        a->setCheckable(true);
        a->setChecked(i == 4);
        directions->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] {
            chart().background.direction = chart::GradientDirection(i);
            ui->Chart1->update();
        });
    }
    connect(item(back, "N30", QStringLiteral("تعيين &عكس براي زمينه"), 0), &QAction::triggered, this, [this] {
        shell::FileRequest r;
        r.caption = windowTitle();
        r.filter = QStringLiteral("JPEG (*.jpg *.jpeg);;Bitmaps (*.bmp);;Icons (*.ico);;Metafiles (*.emf *.wmf)");
        r.pictures = true;
        const QString file = shell::prompter().openFile(r);
        if (!file.isEmpty()) {
            QImageReader reader(file);
            const QImage img = reader.read();
            if (!img.isNull()) {
                chart().background.picture = img;
                ui->Chart1->update();
            } else {
                showError(windowTitle(), kError + QLatin1Char('\n') + QStringLiteral("مجددا سعي كنيد") + QLatin1Char('\n') +
                                             widgets::LeftToRight(file) + QLatin1Char('\n') + reader.errorString());
            }
        }
        QDir::setCurrent(TTools::AppPath());
    });
    connect(item(back, "N32", QStringLiteral("&حذف عكس زمينه"), 0), &QAction::triggered, this, [this] {
        chart().background.picture = QImage();
        ui->Chart1->update();
    });
    QMenu* n33 = submenu(back, "N33", QStringLiteral("ن&وع عكس زمينه"));
    auto* modesGroup = new QActionGroup(this);
    const std::pair<const char*, QString> pics[] = {
        {"N36", QStringLiteral("بزرگ شده")}, {"N34", QStringLiteral("&كنار هم")}, {"N35", QStringLiteral("&وسط")}};
    for (int i = 0; i < 3; ++i) {
        QAction* a = item(n33, pics[i].first, pics[i].second, i);
        a->setCheckable(true);
        a->setChecked(i == 2);
        modesGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] {
            chart().background.pictureMode = chart::PictureMode(i);
            ui->Chart1->update();
        });
    }
    back->addSeparator();
    connect(item(back, "N27", QStringLiteral("تن&ظيم براي چاپگر سياه و سفيد"), 0), &QAction::triggered, this, [this, n16] {
        n16->setChecked(true);
        chart().background.gradientVisible = true;
        chart().monochrome = true;
        chart().background.color = Qt::white;
        chart().background.picture = QImage();
        ui->Chart1->update();
    });
    connect(item(back, "N28", QStringLiteral("تنظ&يم براي چاپگر رنگي"), 0), &QAction::triggered, this, [this, n16] {
        n16->setChecked(true);
        chart().background.gradientVisible = true;
        chart().monochrome = false;
        ui->Chart1->update();
    });
    ui->ToolButton15->setMenu(back);
    ui->ToolButton15->setPopupMode(QToolButton::InstantPopup);
}

void Tfrmchart::pickGradientColour(bool start)
{
    const std::optional<QColor> chosen = shell::prompter().chooseColor(QColor(0, 128, 128));
    if (!chosen)
        return;
    chart::Background& b = chart().background;
    (start ? b.gradientStart : b.gradientEnd) = *chosen;
    ui->Chart1->update();
}

void Tfrmchart::btnchartClick()
{
    const int k = ui->cmbcharts->currentIndex();
    QMenu* comp = menu("N_comp");
    if (k >= 0 && k < kOwnSeries) {
        DrawChartSeries(k);
        const bool bars = k <= 1;
        ui->ToolButton6->setEnabled(bars);
        if (!bars)
            ui->ToolButton6->setChecked(false);
        ui->ToolButton12->setEnabled(bars);
        ui->ToolButton11->setEnabled(k == 2);
        ui->ToolButton13->setEnabled(k == 6);
        comp->setEnabled(false);
        ui->ToolButton20->setEnabled(false);
    } else if (k == kOwnSeries) {
        if (report_->currentIndex() != 4) {
            ShowMessageDlg(dkInfo, windowTitle(), QStringLiteral("امكان مقايسه براي اين حالت وجود ندارد"), dbOk, 8);
            return;
        }
        BuildComparisonChart();
        ui->ToolButton6->setEnabled(true);
        comp->setEnabled(true);
        ui->ToolButton20->setEnabled(true);
        ui->ToolButton12->setEnabled(true);
        ui->ToolButton11->setEnabled(false);
        ui->ToolButton13->setEnabled(false);
    } else {
        return;
    }
    drawnKind_ = k;
    ui->Chart1->update();
}

namespace {

double rowValue(QTreeWidget* sums, int row)
{
    const QTreeWidgetItem* it = row < sums->topLevelItemCount() ? sums->topLevelItem(row) : nullptr;
    return it ? TTools::StrToFloatSafe(TTools::StripThousands(it->text(1))) : 0;
}

QString rowLabel(QTreeWidget* months, int row)
{
    const QTreeWidgetItem* it = row < months->topLevelItemCount() ? months->topLevelItem(row) : nullptr;
    return it ? it->text(1) : QString();
}

} // namespace

void Tfrmchart::DrawChartSeries(int kind)
{
    chart::Chart& c = chart();
    for (int i = 0; i < c.seriesCount(); ++i)
        c.series(i).active = i == kind;
    Series& s = c.series(kind);
    s.clear();
    for (int r = 0; r < months_->topLevelItemCount(); ++r)
        s.add(rowValue(sums_, r), rowLabel(months_, r));
    if (kind != 2)
        c.orthogonal = true;
    c.title = QStringLiteral("نمودار ") + report_->currentText();
}

QString Tfrmchart::seriesTitle(int row, int block) const
{
    // a year's block is named by its year, a half-year's by the month it starts with
    const QString label = rowLabel(months_, row);
    return QStringLiteral("سال ") + (block >= 12 ? label.left(4) : label);
}

void Tfrmchart::BuildComparisonChart()
{
    chart::Chart& c = chart();
    // an earlier comparison is built again from the report's rows
    QMenu* comp = menu("N_comp");
    const QList<QAction*> items = comp->actions();
    for (int i = 1; i < items.size(); ++i) {
        comp->removeAction(items[i]);
        delete items[i];
    }
    while (c.seriesCount() > kOwnSeries)
        c.removeLastSeries();

    for (int i = 0; i < c.seriesCount(); ++i)
        c.series(i).active = false;
    Series& first = series("Series1");
    first.clear();
    first.active = true;
    first.colorEachPoint = false;
    first.barWidthPercent = 30;

    const int n = months_->topLevelItemCount() - 1;
    int b = n > 11 ? 12 : 6;
    if (b > n)
        b = n;
    // one row: one block of that row
    b = std::max(b, 1);
    first.title = seriesTitle(0, b);
    for (int r = 0; r < b && r <= n; ++r)
        first.add(rowValue(sums_, r), rowLabel(months_, r));
    Series* newest = &first;
    for (int i = b; i <= n; ++i) {
        if (i % b == 0) {
            const int index = c.seriesCount();
            Series& s = c.addSeries(SeriesKind::Bar, QStringLiteral("Series%1").arg(index + 1));
            s.colorEachPoint = false;
            s.color = chart::autoColor(index - kOwnSeries + 1);
            s.cursor = kComparisonCursor;
            s.title = seriesTitle(i, b);
            s.barWidthPercent = 30;
            s.marksVisible = true;
            for (int k = 0; k < 7; ++k) {
                QAction* a = comp->addAction(barStyleTexts()[k]);
                a->setData(k);
                connect(a, &QAction::triggered, this, [this, a] {
                    const QList<QAction*> all = menu("N_comp")->actions();
                    const int sep = (int(all.indexOf(a)) + 7) / 8 * 8;
                    if (sep < all.size())
                        setBarStyleOf(all[sep]->data().toInt(), a->data().toInt());
                });
            }
            QAction* sep = comp->addSeparator();
            sep->setData(index);
            newest = &s;
        }
        newest->add(rowValue(sums_, i), rowLabel(months_, i));
    }
    c.orthogonal = true;
    c.title = QStringLiteral("نمودار مقايسه اي ") + report_->currentText();
}

void Tfrmchart::setBarStyleOf(int seriesIndex, int style)
{
    if (seriesIndex < 0 || seriesIndex >= chart().seriesCount())
        return;
    chart().series(seriesIndex).barStyle = BarStyle(style);
    ui->Chart1->update();
}

QToolButton* Tfrmchart::activeTool() const
{
    for (QToolButton* b : {ui->ToolButton6, ui->ToolButton7, ui->ToolButton2, ui->ToolButton8, ui->ToolButton10})
        if (b->isChecked() && b->isEnabled())
            return b;
    return nullptr;
}

void Tfrmchart::ToolStep(QToolButton* tool, bool up)
{
    chart::Chart& c = chart();
    if (tool == ui->ToolButton6) {
        Series& s = drawnKind_ == 1 ? series("Series4") : series("Series1");
        if (up && s.barWidthPercent < 100)
            ++s.barWidthPercent;
        else if (!up && s.barWidthPercent > 1)
            --s.barWidthPercent;
        if (drawnKind_ != 1)
            for (int i = kOwnSeries; i < c.seriesCount(); ++i)
                c.series(i).barWidthPercent = s.barWidthPercent;
    } else if (tool == ui->ToolButton7) {
        if (up && c.elevation < 360)
            c.elevation += 5;
        else if (!up && c.elevation >= 271)
            c.elevation -= 5;
    } else if (tool == ui->ToolButton2) {
        c.setZoom(c.zoomPercent + (up ? 5 : -5));
    } else if (tool == ui->ToolButton8) {
        if (up && c.depthPercent < 100)
            ++c.depthPercent;
        else if (!up && c.depthPercent >= 2)
            --c.depthPercent;
    } else {
        return;
    }
    ui->Chart1->update();
}

void Tfrmchart::onMousePressed(const QPoint& pos)
{
    mouseY_ = pos.y();
    mouseX_ = pos.x();
}

void Tfrmchart::onMouseMoved(const QPoint& pos)
{
    if (mouseY_ == -1)
        return;
    QToolButton* tool = activeTool();
    if (!tool)
        return;
    if (tool == ui->ToolButton10) {
        chart().panOffset += QPoint(pos.x() - mouseX_, pos.y() - mouseY_);
        mouseX_ = pos.x();
        mouseY_ = pos.y();
        ui->Chart1->update();
        return;
    }
    if (pos.y() == mouseY_)
        return;
    ToolStep(tool, pos.y() < mouseY_);
    mouseY_ = pos.y();
}

void Tfrmchart::onWheel(int delta)
{
    QToolButton* tool = activeTool();
    if (tool && tool != ui->ToolButton10 && delta != 0)
        ToolStep(tool, delta > 0);
}

void Tfrmchart::wheelEvent(QWheelEvent* event)
{
    onWheel(event->angleDelta().y());
    event->accept();
}

void Tfrmchart::AskPieRotation()
{
    const QString answer = ShowInputBox(windowTitle(), QStringLiteral("زاويه چرخش را وارد كنيد(عددي منفي يا مثبت):"), 3,
                                        QStringLiteral("5"), imNumber, QStringLiteral("FALSE"));
    const qint64 v = TTools::StrToInt64Safe(answer);
    series("Series2").rotation = int(((v % 360) + 360) % 360);
    ui->Chart1->update();
}

void Tfrmchart::showError(const QString& caption, const QString& text)
{
    ShowMessageDlg(dkError, caption, text, dbOk);
}

void Tfrmchart::SaveBitmap()
{
    shell::FileRequest r;
    r.caption = windowTitle();
    r.filter = QStringLiteral("عكس هاي نوع Bitmaps (*.bmp)");
    r.pictures = true;
    QString file = shell::prompter().saveFile(r);
    if (!file.isEmpty()) {
        // the overwrite question was asked for this very name
        if (!file.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
            file += QStringLiteral(".bmp");
        const QImage img = ui->Chart1->grabChart().convertToFormat(QImage::Format_RGB32);
        QImageWriter writer(file, "BMP");
        if (!writer.write(img))
            showError(windowTitle(), kError + QLatin1Char('\n') + QStringLiteral("مجددا سعي كنيد") + QLatin1Char('\n') +
                                         widgets::LeftToRight(file) + QLatin1Char('\n') + writer.errorString());
    }
    QDir::setCurrent(TTools::AppPath());
}

void Tfrmchart::PrintChart()
{
    // the chart on a landscape page, 2 percent of the page free on each side
    report::Report rep(PrintSettings.PaperSizeReport, report::Landscape);
    const QSize page = rep.pageSize();
    const int mx = page.width() * kPrintMarginPercent / 100, my = page.height() * kPrintMarginPercent / 100;
    rep.margins = QMargins(mx, my, mx, my);
    const QSize area(rep.printableWidth(), page.height() - 2 * my);
    // drawn at the window's scale, twice as fine
    const double logicalW = std::max(800, ui->Chart1->width());
    const QSizeF logical(logicalW, logicalW * area.height() / area.width());
    QImage img(QSize(int(logical.width() * 2), int(logical.height() * 2)), QImage::Format_RGB32);
    img.setDevicePixelRatio(2);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        chart::renderChart(chart(), p, QRectF(QPointF(), logical));
    }
    if (img.isNull()) {
        showError(QStringLiteral("چاپ"), kError + QLatin1Char('\n') + QStringLiteral("Out of memory"));
        return;
    }
    report::Band& band = rep.band(report::BandType::Title, area.height());
    band.name = QStringLiteral("ChartBand");
    band.addPicture(QStringLiteral("Chart1"), QRect(QPoint(0, 0), area), img);
    rep.title = chart().title;
    report::PreparedReport prepared = rep.prepare();
    shell::prompter().preview(prepared, windowTitle());
}
