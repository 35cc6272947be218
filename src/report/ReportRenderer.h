#pragma once

#include "Report.h"

#include <QImage>
#include <QPageLayout>

#include <vector>

class QPagedPaintDevice;
class QPainter;
class QRectF;

namespace dgaws {

// Lays a report out on pages and paints them: the title block on the first page, the
// blocks in order (a table that does not fit goes on with its header repeated, a graph
// moves whole to the next page), and on every page the footer, "第 %1 页 共 %2 页" and the
// time of printing. The same layout serves preview, paper and PDF.
class ReportRenderer {
public:
    explicit ReportRenderer(const Report& report);

    // Every page onto `device` (a QPrinter or QPdfWriter) from its current page. The
    // device's own margins are ignored; the report's margins apply.
    void print(QPagedPaintDevice& device) const;
    // One page (from 0) as a picture at `dpi` dots per inch on `layout`'s paper.
    QImage pageImage(int page, const QPageLayout& layout, int dpi) const;
    int pageCount(const QPageLayout& layout, int dpi) const;

    struct Placed;
    using PagePlan = std::vector<Placed>;

private:
    std::vector<PagePlan> plan(QPainter& painter, const QRectF& page) const;
    void paintPage(QPainter& painter, const QRectF& page, const PagePlan& plan, int number,
                   int count) const;

    const Report& report_;
};

}  // namespace dgaws
