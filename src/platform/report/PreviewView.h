#pragma once
// The page view of the preview window: one page at a time, zoomed or fitted to the view.

#include <QScrollArea>

namespace report {

class PreparedReport;

class PreviewView : public QScrollArea {
    Q_OBJECT
public:
    explicit PreviewView(QWidget* parent = nullptr);

    void setReport(const PreparedReport* report);
    const PreparedReport* report() const { return prepared; }

    int pageCount() const;
    int pageNumber() const { return page; }          // 1-based
    // Numbers outside 1 to the page count are ignored.
    void setPageNumber(int number);

    int zoom() const { return percent; }            // percent of the actual size
    void setZoom(int percent);
    void zoomToFit();
    bool isFitted() const { return fitted; }

signals:
    void pageChanged(int number);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updatePageSize();
    int fitZoom() const;

    const PreparedReport* prepared = nullptr;
    int page = 1;
    int percent = 100;
    bool fitted = false;
};

} // namespace report
