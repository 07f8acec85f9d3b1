#include "ui/yearchart.h"

#include "core/dates.h"
#include "data/dutchnumbers.h"

#include <QPainter>

namespace dl {

namespace chart {

QList<Bar> bars(const QList<std::array<double, 12>>& hours, const QRectF& area)
{
    std::array<double, 12> sums{};
    for (const auto& project : hours) {
        for (int m = 0; m < 12; ++m)
            sums[m] += std::max(0.0, project[m]);
    }
    const double tallest = *std::max_element(sums.begin(), sums.end());
    const double slot = area.width() / 12;
    const double width = slot * 0.7;
    QList<Bar> out;
    for (int m = 0; m < 12; ++m) {
        Bar b;
        b.month = m + 1;
        b.hours = sums[m];
        b.label = shortMonthName(m + 1);
        b.value = generalNumberText(sums[m]);
        double bottom = area.bottom();
        const double left = area.left() + m * slot + (slot - width) / 2;
        for (int p = 0; p < hours.size(); ++p) {
            const double h = std::max(0.0, hours[p][m]);
            if (h <= 0 || tallest <= 0)
                continue;
            const double height = h / tallest * area.height();
            b.segments << Segment{p, QRectF(left, bottom - height, width, height)};
            bottom -= height;
        }
        out << b;
    }
    return out;
}

QColor projectColour(int project)
{
    static const QColor colours[] = {QColor(31, 119, 180), QColor(255, 127, 14),  QColor(44, 160, 44),
                                     QColor(214, 39, 40),  QColor(148, 103, 189), QColor(140, 86, 75)};
    return colours[project % 6];
}

QString spokenSummary(const QStringList& projects, const QList<std::array<double, 12>>& hours)
{
    const QList<Bar> all = bars(hours, QRectF(0, 0, 120, 100));
    QStringList parts;
    for (const Bar& b : all)
        parts << b.label + u' ' + b.value;
    return QStringLiteral("Uren per maand, projecten %1: %2")
        .arg(projects.join(QStringLiteral(", ")), parts.join(QStringLiteral("; ")));
}

} // namespace chart

YearChart::YearChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Jaargrafiek"));
    setAccessibleName(QStringLiteral("Grafiek uren per maand"));
    setFocusPolicy(Qt::TabFocus); // a screen reader reaches it by Tab
    setMinimumHeight(220);
}

void YearChart::setFigures(const QStringList& projects, const QList<std::array<double, 12>>& hours,
                           const QStringList& totals)
{
    m_projects = projects;
    m_hours = hours;
    m_totals = totals;
    m_bars = chart::bars(m_hours, barArea());
    setAccessibleDescription(chart::spokenSummary(projects, hours) + QStringLiteral(". ") +
                             totals.join(QStringLiteral(". ")));
    update();
}

QSize YearChart::sizeHint() const
{
    return {760, 260};
}

QRectF YearChart::barArea() const
{
    // Left: the legend and totals; below: the month labels; above: the values.
    const double legend = 230;
    return QRectF(legend, 20, std::max(120.0, width() - legend - 10), std::max(40.0, height() - 45.0));
}

void YearChart::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    m_bars = chart::bars(m_hours, barArea());
}

void YearChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    p.setPen(palette().text().color());
    const QRectF area = barArea();
    p.drawLine(area.bottomLeft(), area.bottomRight());
    const QFontMetrics fm(font());
    for (const chart::Bar& b : std::as_const(m_bars)) {
        const double slot = area.width() / 12;
        const QRectF column(area.left() + (b.month - 1) * slot, area.top(), slot, area.height());
        double top = area.bottom();
        for (const chart::Segment& s : b.segments) {
            p.fillRect(s.rect, chart::projectColour(s.project));
            top = s.rect.top();
        }
        p.drawText(QRectF(column.left(), area.bottom() + 2, slot, fm.height()), Qt::AlignCenter, b.label);
        if (b.hours > 0)
            p.drawText(QRectF(column.left(), top - fm.height() - 1, slot, fm.height()), Qt::AlignCenter,
                       b.value);
    }
    // The legend: a swatch for each project, then the year's totals.
    double y = 10;
    for (int i = 0; i < m_projects.size(); ++i) {
        p.fillRect(QRectF(8, y + 2, 12, fm.height() - 4), chart::projectColour(i));
        p.drawText(QPointF(26, y + fm.ascent()), m_projects[i]);
        y += fm.height() + 2;
    }
    y += 6;
    for (const QString& line : std::as_const(m_totals)) {
        p.drawText(QPointF(8, y + fm.ascent()), line);
        y += fm.height() + 2;
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().highlight().color(), 2));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

} // namespace dl
