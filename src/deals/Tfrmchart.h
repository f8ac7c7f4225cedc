#pragma once
// The chart window: draws the monthly report shown in the report window as one of seven
// chart kinds or as a comparison of its years, reshaped with mouse tools, restyled by menus,
// saved as a bitmap and printed.

#include <QDialog>
#include <memory>

namespace Ui { class Tfrmchart; }
namespace chart { class Chart; class Series; }
class QAction;
class QComboBox;
class QMenu;
class QToolButton;
class QTreeWidget;

class Tfrmchart : public QDialog {
    Q_OBJECT
public:
    // months, sums: the report's two list views; report: its report list.
    Tfrmchart(QTreeWidget* months, QTreeWidget* sums, QComboBox* report, QWidget* parent = nullptr);
    ~Tfrmchart() override;

    // Draws the kind chosen in cmbcharts.
    void btnchartClick();
    void DrawChartSeries(int kind);
    void BuildComparisonChart();

    // One step of a mouse tool (bar width, elevation, zoom, depth) up or down.
    void ToolStep(QToolButton* tool, bool up);
    // The pie angle asked from the user.
    void AskPieRotation();
    void SaveBitmap();
    void PrintChart();

    chart::Chart& chart() const;
    chart::Series& series(const char* name) const;
    int DrawnKind() const { return drawnKind_; }
    int MouseY() const { return mouseY_; }
    QMenu* menu(const char* name) const;
    QAction* action(const char* name) const;
    Ui::Tfrmchart* form() const { return ui.get(); }

    // The chart printout: the chart on a landscape page with margins of 2 percent.
    static constexpr int kPrintMarginPercent = 2;

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void buildSeries();
    void buildMenus();
    void onMousePressed(const QPoint& pos);
    void onMouseMoved(const QPoint& pos);
    void onWheel(int delta);
    QToolButton* activeTool() const;
    void setBarStyleOf(int seriesIndex, int style);
    void pickGradientColour(bool start);
    QString seriesTitle(int row, int block) const;
    void showError(const QString& caption, const QString& text);

    std::unique_ptr<Ui::Tfrmchart> ui;
    QTreeWidget* months_;
    QTreeWidget* sums_;
    QComboBox* report_;
    int drawnKind_ = 0;    // the kind last drawn
    int mouseY_ = -1;      // vertical mouse position while a button is held on the chart
    int mouseX_ = 0;
};
