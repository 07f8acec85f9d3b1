#pragma once
// Hours per month as bars, the projects stacked, drawn with QPainter. The
// geometry and labels are plain data (bars()), so they are tested without
// painting.

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

namespace dl {

namespace chart {

struct Segment {
    int project = 0; // index into the projects
    QRectF rect;
};

struct Bar {
    int month = 0; // 1..12
    double hours = 0;
    QString label;           // under the bar: "jan"
    QString value;           // above it: "16" (hours, Dutch)
    QList<Segment> segments; // bottom up, only projects with hours
};

// The bars inside area; the tallest reaches its top. hours: per project,
// the twelve months.
QList<Bar> bars(const QList<std::array<double, 12>>& hours, const QRectF& area);
QColor projectColour(int project);
// What a screen reader says of the chart: every month with its hours.
QString spokenSummary(const QStringList& projects, const QList<std::array<double, 12>>& hours);

} // namespace chart

class YearChart : public QWidget {
    Q_OBJECT
public:
    explicit YearChart(QWidget* parent = nullptr);

    void setFigures(const QStringList& projects, const QList<std::array<double, 12>>& hours,
                    const QStringList& totals);
    QSize sizeHint() const override;
    // Where the bars stand: the widget less the room for labels and legend.
    QRectF barArea() const;
    const QList<chart::Bar>& currentBars() const { return m_bars; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QStringList m_projects;
    QList<std::array<double, 12>> m_hours;
    QStringList m_totals;
    QList<chart::Bar> m_bars;
};

} // namespace dl
