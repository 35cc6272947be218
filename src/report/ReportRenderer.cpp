#include "ReportRenderer.h"

#include "AxisTicks.h"
#include "DuvalDiagrams.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace dgaws {

struct ReportRenderer::Placed {
    static constexpr size_t kTitle = std::numeric_limits<size_t>::max();
    size_t block = kTitle;
    double y = 0.0;
    double height = 0.0;
    int firstRow = 0;  // of a table
    int rowCount = 0;
};

namespace {

QString qt(const std::string& s)
{
    return QString::fromStdString(s);
}

// Fonts whose glyphs map back to their own characters in a PDF, so its text can be searched
// and copied; the first one installed wins.
QFont reportFont(double points, bool bold = false)
{
    static const QString family = [] {
        for (const char* candidate : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans"})
            if (QFontDatabase::hasFamily(QString::fromLatin1(candidate)))
                return QString::fromLatin1(candidate);
        return QString();
    }();
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

struct Fonts {
    QFont title = reportFont(16.0, true);
    QFont subtitle = reportFont(11.0);
    QFont heading = reportFont(11.0, true);
    QFont body = reportFont(9.0);
    QFont tableHeader = reportFont(8.5, true);
    QFont table = reportFont(8.5);
    QFont small = reportFont(7.5);
    QFont graph = reportFont(6.5);
};

QFontMetricsF metrics(const QFont& font, QPainter& painter)
{
    return QFontMetricsF(font, painter.device());
}

bool isNumber(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return false;
    const size_t last = text.find_last_not_of(' ');
    double v = 0.0;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    const auto [stop, ec] = std::from_chars(begin, end, v);
    return ec == std::errc() && stop == end;
}

// Columns as wide as their widest text, then scaled to the page's width.
std::vector<double> columnWidths(const ReportTable& table, QPainter& painter, const Fonts& fonts,
                                 double width)
{
    const QFontMetricsF header = metrics(fonts.tableHeader, painter);
    const QFontMetricsF cell = metrics(fonts.table, painter);
    const double padding = cell.averageCharWidth() * 1.6;
    std::vector<double> widths(table.headers.size(), 0.0);
    for (size_t c = 0; c < widths.size(); ++c) {
        widths[c] = header.horizontalAdvance(qt(table.headers[c]));
        for (const auto& row : table.rows)
            if (c < row.size())
                widths[c] = std::max(widths[c], cell.horizontalAdvance(qt(row[c])));
        widths[c] += padding;
    }
    double total = 0.0;
    for (const double w : widths)
        total += w;
    if (total > 0.0)
        for (double& w : widths)
            w *= width / total;
    return widths;
}

double lineHeight(const QFont& font, QPainter& painter, double spacing)
{
    return metrics(font, painter).height() * spacing;
}

double titleHeight(const Report& r, QPainter& painter, const Fonts& fonts)
{
    double h = lineHeight(fonts.title, painter, 1.6);
    if (!r.subtitle.empty())
        h += lineHeight(fonts.subtitle, painter, 1.4);
    if (!r.laboratory.empty())
        h += lineHeight(fonts.body, painter, 1.4);
    if (!r.reportNumber.empty())
        h += lineHeight(fonts.body, painter, 1.4);
    return h + lineHeight(fonts.body, painter, 0.6);
}

double footerHeight(QPainter& painter, const Fonts& fonts)
{
    return lineHeight(fonts.small, painter, 2.0);
}

double tableHeaderHeight(QPainter& painter, const Fonts& fonts)
{
    return lineHeight(fonts.tableHeader, painter, 1.6);
}

double tableRowHeight(QPainter& painter, const Fonts& fonts)
{
    return lineHeight(fonts.table, painter, 1.45);
}

QString tickText(double value, double step)
{
    const int decimals = step >= 1.0 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    return QString::number(value, 'f', std::clamp(decimals, 0, 6));
}

void paintGraph(QPainter& p, const QRectF& area, const ChromatogramData& d, const Report& r,
                const Fonts& fonts)
{
    p.save();
    p.setClipRect(area);
    p.setFont(fonts.graph);
    const QFontMetricsF fm = metrics(fonts.graph, p);
    const double mm = p.device()->logicalDpiX() / 25.4;
    const QRectF plot = area.adjusted(fm.horizontalAdvance(QStringLiteral("-00000000")) + mm,
                                      fm.height() * 0.8, -fm.height(), -fm.height() * 2.6);
    const int n = d.signal.count();
    const double perMinute = 60.0 * std::max(d.pointsPerSecond, 1);
    const double end = n > 1 ? (n - 1) / perMinute : 1.0;
    // Millivolts, as the window's graph shows them.
    const auto mV = [](double microvolts) { return microvolts * 0.001; };
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (int i = 0; i < n; ++i) {
        const double v = mV(d.signal.at(i));
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (!(low <= high)) {
        low = 0.0;
        high = 1.0;
    }
    if (high - low < 1e-9) {
        low -= 1.0;
        high += 1.0;
    }
    const double pad = (high - low) * 0.05;
    low -= pad;
    high += pad;
    // Each peak's label stands upright above its apex; the range grows until every label
    // fits inside the frame, up to a label as long as most of the plot is high.
    const auto labelOf = [](const PeakRecord& peak) {
        QString label = QString::number(peak.retentionTime, 'f', 3);
        if (!peak.componentName.empty())
            label += QLatin1Char(' ') + qt(peak.componentName);
        return label;
    };
    for (const PeakRecord& peak : d.peaks) {
        if (peak.excluded)
            continue;
        const double room =
            std::min(fm.horizontalAdvance(labelOf(peak)) + 2.0 * mm, plot.height() * 0.8);
        const double apex = mV(peak.apexValue);
        if (apex > low)
            high = std::max(high, low + (apex - low) * plot.height() / (plot.height() - room));
    }
    const auto x = [&](double minutes) { return plot.left() + minutes / end * plot.width(); };
    const auto y = [&](double v) {
        return plot.bottom() - (v - low) / (high - low) * plot.height();
    };

    QPen grid(QColor(215, 215, 215));
    grid.setWidthF(0.1 * mm);
    QPen frame(Qt::black);
    frame.setWidthF(0.2 * mm);
    double step = 1.0;
    for (const double t : niceTicks(0.0, end, 10, step)) {
        p.setPen(grid);
        p.drawLine(QPointF(x(t), plot.top()), QPointF(x(t), plot.bottom()));
        p.setPen(frame);
        const QString text = tickText(t, step);
        p.drawText(QPointF(x(t) - fm.horizontalAdvance(text) / 2, plot.bottom() + fm.height()),
                   text);
    }
    for (const double v : niceTicks(low, high, 6, step)) {
        p.setPen(grid);
        p.drawLine(QPointF(plot.left(), y(v)), QPointF(plot.right(), y(v)));
        p.setPen(frame);
        const QString text = tickText(v, step);
        p.drawText(QPointF(plot.left() - fm.horizontalAdvance(text) - mm, y(v) + fm.ascent() / 2),
                   text);
    }
    p.setPen(frame);
    p.drawRect(plot);
    const QString axis = QString::fromUtf8(r.pick("时间(分)", "Time (min)"));
    p.drawText(QPointF(plot.center().x() - fm.horizontalAdvance(axis) / 2,
                       plot.bottom() + fm.height() * 2.2),
               axis);
    p.drawText(QPointF(area.left(), plot.top() - fm.height() * 0.2), QStringLiteral("mV"));

    // More samples than the plot is wide: each column draws its lowest and highest sample,
    // which looks the same and keeps the drawing small.
    QPolygonF trace;
    const int columns = std::max(1, int(plot.width() / (0.15 * mm)));
    if (n <= 2 * columns) {
        for (int i = 0; i < n; ++i)
            trace << QPointF(x(i / perMinute), y(mV(d.signal.at(i))));
    } else {
        for (int c = 0; c < columns; ++c) {
            const int from = int(int64_t(n) * c / columns);
            const int to = int(int64_t(n) * (c + 1) / columns);
            float lo = d.signal.at(from);
            float hi = lo;
            for (int i = from; i < to; ++i) {
                lo = std::min(lo, d.signal.at(i));
                hi = std::max(hi, d.signal.at(i));
            }
            const double t = (from + to) / 2.0 / perMinute;
            trace << QPointF(x(t), y(mV(lo))) << QPointF(x(t), y(mV(hi)));
        }
    }
    p.setClipRect(plot);
    QPen line(QColor(0, 0, 160));
    line.setWidthF(0.18 * mm);
    p.setPen(line);
    p.drawPolyline(trace);

    QPen baseline(QColor(200, 0, 0));
    baseline.setWidthF(0.15 * mm);
    p.setClipRect(area);
    for (const PeakRecord& peak : d.peaks) {
        if (peak.excluded)
            continue;
        p.setPen(baseline);
        p.drawLine(QPointF(x(peak.baselineStartIndex / perMinute), y(mV(peak.baselineStartValue))),
                   QPointF(x(peak.baselineEndIndex / perMinute), y(mV(peak.baselineEndValue))));
        const QString label = labelOf(peak);
        p.setPen(Qt::black);
        p.save();
        p.translate(x(peak.retentionTime), std::max(y(mV(peak.apexValue)) - mm, plot.top()));
        p.rotate(-90.0);
        p.drawText(QPointF(0.0, fm.ascent() / 2.5), label);
        p.restore();
    }
    p.restore();
}

}  // namespace

ReportRenderer::ReportRenderer(const Report& report) : report_(report)
{}

std::vector<ReportRenderer::PagePlan> ReportRenderer::plan(QPainter& painter,
                                                           const QRectF& page) const
{
    const Fonts fonts;
    std::vector<PagePlan> pages(1);
    const double bottom = page.bottom() - footerHeight(painter, fonts);
    const double gap = lineHeight(fonts.body, painter, 0.7);
    double y = page.top();
    const auto newPage = [&] {
        pages.emplace_back();
        y = page.top();
    };
    const auto place = [&](size_t block, double height, int firstRow = 0, int rowCount = 0) {
        pages.back().push_back({block, y, height, firstRow, rowCount});
        y += height;
    };
    place(Placed::kTitle, titleHeight(report_, painter, fonts));

    const double line = lineHeight(fonts.body, painter, 1.5);
    for (size_t i = 0; i < report_.blocks.size(); ++i) {
        const ReportBlock& block = report_.blocks[i];
        if (const auto* table = std::get_if<ReportTable>(&block)) {
            const double head = tableHeaderHeight(painter, fonts);
            const double row = tableRowHeight(painter, fonts);
            const int rows = int(table->rows.size());
            int done = 0;
            for (;;) {
                const int fit = std::max(0, int((bottom - y - head) / row));
                const int remaining = rows - done;
                // Not a row (or not even the header) fits below what the page holds: next page.
                if ((remaining > 0 ? fit < 1 : bottom - y < head) && y > page.top()) {
                    newPage();
                    continue;
                }
                // A fresh page takes at least one row, however small the paper.
                const int count = std::min(std::max(fit, remaining > 0 ? 1 : 0), remaining);
                place(i, head + count * row, done, count);
                done += count;
                if (done >= rows)
                    break;
                newPage();
            }
            y += gap;
            continue;
        }
        double height = 0.0;
        if (std::holds_alternative<ReportHeading>(block)) {
            height = lineHeight(fonts.heading, painter, 1.8);
            // A heading stays with at least a few lines of what it heads.
            if (y + height + 3 * line > bottom && y > page.top())
                newPage();
        } else if (const auto* fields = std::get_if<ReportFields>(&block)) {
            height = line * double((fields->fields.size() + 1) / 2);
        } else if (const auto* text = std::get_if<ReportText>(&block)) {
            height =
                metrics(fonts.body, painter)
                    .boundingRect(QRectF(0, 0, page.width(), 1e9), Qt::TextWordWrap, qt(text->text))
                    .height() +
                gap;
        } else if (std::holds_alternative<ReportDuval>(block)) {
            height = std::clamp(page.width() * 0.9, 0.0, bottom - page.top());
        } else if (const auto* picture = std::get_if<ReportPicture>(&block)) {
            const QImage& image = picture->image;
            const double aspect =
                image.isNull() ? 0.0 : double(image.height()) / double(image.width());
            height = std::clamp(page.width() * aspect, 0.0, bottom - page.top());
        } else {
            height = std::clamp(page.width() * 0.42, 0.0, bottom - page.top());
        }
        if (y + height > bottom && y > page.top())
            newPage();
        place(i, height);
        y += std::holds_alternative<ReportHeading>(block) ? 0.0 : gap;
    }
    return pages;
}

void ReportRenderer::paintPage(QPainter& p, const QRectF& page, const PagePlan& plan, int number,
                               int count) const
{
    const Fonts fonts;
    const QPen ink(Qt::black);
    for (const Placed& item : plan) {
        p.setPen(ink);
        QRectF box(page.left(), item.y, page.width(), item.height);
        if (item.block == Placed::kTitle) {
            double y = item.y;
            const auto centred = [&](const QFont& font, const std::string& text, double spacing) {
                const double h = lineHeight(font, p, spacing);
                p.setFont(font);
                p.drawText(QRectF(page.left(), y, page.width(), h), Qt::AlignCenter, qt(text));
                y += h;
            };
            centred(fonts.title, report_.title, 1.6);
            if (!report_.subtitle.empty())
                centred(fonts.subtitle, report_.subtitle, 1.4);
            if (!report_.laboratory.empty())
                centred(fonts.body, report_.laboratory, 1.4);
            if (!report_.reportNumber.empty()) {
                const double h = lineHeight(fonts.body, p, 1.4);
                p.setFont(fonts.body);
                p.drawText(QRectF(page.left(), y, page.width(), h), Qt::AlignRight,
                           QString::fromUtf8(report_.pick("报告编号: ", "Report No.: ")) +
                               qt(report_.reportNumber));
                y += h;
            }
            continue;
        }
        const ReportBlock& block = report_.blocks[item.block];
        if (const auto* heading = std::get_if<ReportHeading>(&block)) {
            p.setFont(fonts.heading);
            p.drawText(box, Qt::AlignLeft | Qt::AlignBottom, qt(heading->text));
            QPen rule(Qt::black);
            rule.setWidthF(p.device()->logicalDpiX() / 25.4 * 0.2);
            p.setPen(rule);
            p.drawLine(QPointF(box.left(), box.bottom()), QPointF(box.right(), box.bottom()));
        } else if (const auto* fields = std::get_if<ReportFields>(&block)) {
            p.setFont(fonts.body);
            const QFontMetricsF fm = metrics(fonts.body, p);
            const double line = lineHeight(fonts.body, p, 1.5);
            const double half = page.width() / 2;
            for (size_t f = 0; f < fields->fields.size(); ++f) {
                const QRectF cell(page.left() + (f % 2) * half, item.y + double(f / 2) * line,
                                  half - fm.averageCharWidth(), line);
                const QString text = qt(fields->fields[f].first) + QStringLiteral(" ") +
                    qt(fields->fields[f].second);
                p.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                           fm.elidedText(text, Qt::ElideRight, cell.width()));
            }
        } else if (const auto* text = std::get_if<ReportText>(&block)) {
            p.setFont(fonts.body);
            p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, qt(text->text));
        } else if (const auto* picture = std::get_if<ReportPicture>(&block)) {
            if (!picture->image.isNull()) {
                QSizeF size = picture->image.size();
                size.scale(box.size(), Qt::KeepAspectRatio);
                p.drawImage(QRectF(box.topLeft(), size), picture->image);
            }
        } else if (const auto* duval = std::get_if<ReportDuval>(&block)) {
            p.setFont(fonts.graph);
            const double w = box.width() / 2, h = box.height() / 2;
            const double title = lineHeight(fonts.graph, p, 1.4);
            int at = 0;
            for (const DuvalDiagram d : kDuvalDiagrams) {
                const QRectF cell(box.left() + (at % 2) * w, box.top() + (at / 2) * h, w, h);
                p.drawText(QRectF(cell.left(), cell.top(), w, title), Qt::AlignCenter,
                           duvalDiagramTitle(d, report_.language));
                paintDuvalDiagram(p, cell.adjusted(0, title, 0, 0), d, duval->gases,
                                  report_.language);
                ++at;
            }
        } else if (const auto* graph = std::get_if<ReportGraph>(&block)) {
            if (graph->data)
                paintGraph(p, box, *graph->data, report_, fonts);
        } else if (const auto* table = std::get_if<ReportTable>(&block)) {
            const std::vector<double> widths = columnWidths(*table, p, fonts, page.width());
            const double head = tableHeaderHeight(p, fonts);
            const double row = tableRowHeight(p, fonts);
            const double pad = metrics(fonts.table, p).averageCharWidth() * 0.8;
            QPen rule(Qt::black);
            rule.setWidthF(p.device()->logicalDpiX() / 25.4 * 0.15);
            p.setPen(rule);
            p.fillRect(QRectF(box.left(), item.y, page.width(), head), QColor(235, 235, 235));
            double x = box.left();
            p.setFont(fonts.tableHeader);
            for (size_t c = 0; c < widths.size(); ++c) {
                p.drawText(QRectF(x, item.y, widths[c], head), Qt::AlignCenter,
                           metrics(fonts.tableHeader, p)
                               .elidedText(qt(table->headers[c]), Qt::ElideRight, widths[c]));
                x += widths[c];
            }
            p.drawLine(QPointF(box.left(), item.y), QPointF(box.right(), item.y));
            p.drawLine(QPointF(box.left(), item.y + head), QPointF(box.right(), item.y + head));
            p.setFont(fonts.table);
            const QFontMetricsF fm = metrics(fonts.table, p);
            for (int r = 0; r < item.rowCount; ++r) {
                const auto& cells = table->rows[size_t(item.firstRow + r)];
                const double top = item.y + head + r * row;
                x = box.left();
                for (size_t c = 0; c < widths.size() && c < cells.size(); ++c) {
                    const QRectF cell(x + pad, top, widths[c] - 2 * pad, row);
                    const Qt::Alignment align =
                        (isNumber(cells[c]) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
                    p.drawText(cell, align,
                               fm.elidedText(qt(cells[c]), Qt::ElideRight, cell.width()));
                    x += widths[c];
                }
            }
            const double end = item.y + head + item.rowCount * row;
            p.drawLine(QPointF(box.left(), end), QPointF(box.right(), end));
        }
    }

    // The foot of every page.
    p.setPen(ink);
    p.setFont(fonts.small);
    const double foot = footerHeight(p, fonts);
    const QRectF footer(page.left(), page.bottom() - foot * 0.7, page.width(), foot * 0.7);
    QPen rule(Qt::black);
    rule.setWidthF(p.device()->logicalDpiX() / 25.4 * 0.15);
    p.setPen(rule);
    p.drawLine(QPointF(footer.left(), footer.top()), QPointF(footer.right(), footer.top()));
    p.setPen(ink);
    p.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, qt(report_.footer));
    p.drawText(footer, Qt::AlignHCenter | Qt::AlignBottom,
               QString::fromUtf8(report_.pick("第 %1 页 共 %2 页", "Page %1 of %2"))
                   .arg(number)
                   .arg(count));
    p.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
               QString::fromUtf8(report_.pick("打印时间: ", "Printed: ")) + qt(report_.printedAt));
}

namespace {

// Margins come from a stored method; one from a damaged file must not leave no page.
double margin(double millimetres)
{
    return std::isfinite(millimetres) ? std::clamp(millimetres, 0.0, 50.0) : 20.0;
}

QRectF contentRect(const Report& r, const QPaintDevice& device)
{
    const double mm = device.logicalDpiX() / 25.4;
    const double mmY = device.logicalDpiY() / 25.4;
    const double left = margin(r.marginLeft) * mm;
    const double top = margin(r.marginTop) * mmY;
    return QRectF(left, top, device.width() - left - margin(r.marginRight) * mm,
                  device.height() - top - margin(r.marginBottom) * mmY);
}

}  // namespace

void ReportRenderer::print(QPagedPaintDevice& device) const
{
    device.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QPainter painter(&device);
    const QRectF page = contentRect(report_, device);
    const std::vector<PagePlan> pages = plan(painter, page);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        paintPage(painter, page, pages[i], int(i + 1), int(pages.size()));
    }
}

namespace {

QImage blankPage(const QPageLayout& layout, int dpi)
{
    const QSize size = layout.fullRectPixels(dpi).size();
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    return image;
}

}  // namespace

int ReportRenderer::pageCount(const QPageLayout& layout, int dpi) const
{
    QImage image = blankPage(layout, dpi);
    QPainter painter(&image);
    return int(plan(painter, contentRect(report_, image)).size());
}

QImage ReportRenderer::pageImage(int page, const QPageLayout& layout, int dpi) const
{
    QImage image = blankPage(layout, dpi);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF content = contentRect(report_, image);
    const std::vector<PagePlan> pages = plan(painter, content);
    if (page >= 0 && page < int(pages.size()))
        paintPage(painter, content, pages[size_t(page)], page + 1, int(pages.size()));
    return image;
}

}  // namespace dgaws
