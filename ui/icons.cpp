#include "ui/icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <initializer_list>

namespace dl::icons {

namespace {

constexpr int kSize = 48;

// Every picture on a transparent sheet, its edges smoothed.
template <class Paint> QPixmap drawn(Paint paint, int w = kSize, int h = kSize)
{
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return pm;
}

// The outline and the fill of what is drawn next.
void style(QPainter& p, const QPen& outline, const QBrush& fill)
{
    p.setPen(outline);
    p.setBrush(fill);
}

// A line through the points in their order; the outline closes it.
QPainterPath line(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.moveTo(*points.begin());
    for (auto it = points.begin() + 1; it != points.end(); ++it)
        path.lineTo(*it);
    return path;
}

QPainterPath outline(std::initializer_list<QPointF> points)
{
    QPainterPath path = line(points);
    path.closeSubpath();
    return path;
}

void drawComputer(QPainter& p)
{
    // Monitor with a blue screen, stand and keyboard.
    style(p, QPen(QColor(60, 60, 60), 1.5), QColor(200, 200, 200));
    p.drawRoundedRect(QRectF(4, 4, 34, 26), 3, 3);
    QLinearGradient screen(0, 7, 0, 27);
    screen.setColorAt(0, QColor(70, 130, 220));
    screen.setColorAt(1, QColor(20, 60, 140));
    style(p, Qt::NoPen, screen);
    p.drawRect(QRectF(8, 8, 26, 18));
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(17, 30, 8, 5));
    style(p, QPen(QColor(60, 60, 60), 1.2), QColor(210, 210, 210));
    p.drawRoundedRect(QRectF(6, 36, 30, 7), 2, 2);
}

} // namespace

QPixmap loginComputer()
{
    return drawn([](QPainter& p) {
        drawComputer(p);
        const QPainterPath check = line({{27, 32}, {34, 40}, {46, 22}});
        style(p, QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin), Qt::NoBrush);
        p.drawPath(check);
        p.setPen(QPen(QColor(20, 150, 40), 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(check);
    });
}

QPixmap leaveComputer()
{
    return drawn([](QPainter& p) {
        drawComputer(p);
        for (const auto& [pen, width] :
             {std::pair{QColor(Qt::white), 7.0}, std::pair{QColor(200, 20, 20), 4.5}}) {
            p.setPen(QPen(pen, width, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(30, 26), QPointF(44, 42));
            p.drawLine(QPointF(44, 26), QPointF(30, 42));
        }
    });
}

QPixmap disk()
{
    return drawn([](QPainter& p) {
        style(p, QPen(QColor(20, 30, 70), 1.5), QColor(40, 70, 150));
        p.drawPath(outline({{6, 6}, {36, 6}, {42, 12}, {42, 42}, {6, 42}}));
        style(p, Qt::NoPen, QColor(200, 205, 215));
        p.drawRect(QRectF(13, 7, 20, 12));
        p.setBrush(QColor(40, 70, 150));
        p.drawRect(QRectF(26, 9, 4, 8));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(11, 24, 26, 16), 2, 2);
        p.setPen(QPen(QColor(150, 150, 170), 1));
        for (int y = 29; y <= 36; y += 4)
            p.drawLine(14, y, 34, y);
    });
}

QPixmap stamp()
{
    return drawn([](QPainter& p) {
        style(p, QPen(QColor(70, 40, 20), 1.5), QColor(150, 90, 40));
        p.drawEllipse(QRectF(16, 3, 16, 12));
        p.drawRect(QRectF(21, 14, 6, 10));
        p.setBrush(QColor(60, 60, 60));
        p.drawRoundedRect(QRectF(9, 24, 30, 8), 2, 2);
        style(p, Qt::NoPen, QColor(190, 30, 30));
        p.drawRect(QRectF(10, 32, 28, 3));
        // The imprint on the paper.
        style(p, QPen(QColor(190, 30, 30), 2), Qt::NoBrush);
        p.drawRoundedRect(QRectF(7, 38, 34, 8), 2, 2);
        p.drawLine(12, 42, 36, 42);
    });
}

QPixmap printer()
{
    return drawn([](QPainter& p) {
        style(p, QPen(QColor(90, 90, 90), 1.2), Qt::white);
        p.drawRect(QRectF(13, 4, 22, 16));
        p.setPen(QPen(QColor(160, 160, 160), 1));
        for (int y = 9; y <= 16; y += 3)
            p.drawLine(16, y, 32, y);
        QLinearGradient body(0, 18, 0, 36);
        body.setColorAt(0, QColor(190, 190, 195));
        body.setColorAt(1, QColor(120, 120, 130));
        style(p, QPen(QColor(50, 50, 50), 1.5), body);
        p.drawRoundedRect(QRectF(4, 18, 40, 18), 3, 3);
        style(p, Qt::NoPen, QColor(40, 200, 60));
        p.drawEllipse(QRectF(36, 22, 4, 4));
        style(p, QPen(QColor(90, 90, 90), 1.2), Qt::white);
        p.drawRect(QRectF(12, 32, 24, 12));
    });
}

QPixmap year()
{
    return drawn([](QPainter& p) {
        // A calendar sheet with its binding rings, and bars rising across it.
        style(p, QPen(QColor(90, 90, 90), 1.5), Qt::white);
        p.drawRoundedRect(QRectF(5, 8, 38, 36), 3, 3);
        p.setBrush(QColor(190, 30, 30));
        p.drawRect(QRectF(5, 8, 38, 8));
        p.setBrush(QColor(90, 90, 90));
        for (const int x : {13, 35})
            p.drawRoundedRect(QRectF(x - 1.5, 4, 3, 8), 1.5, 1.5);
        p.setPen(Qt::NoPen);
        const int heights[] = {8, 14, 11, 20, 16};
        for (int i = 0; i < 5; ++i) {
            p.setBrush(i % 2 == 0 ? QColor(31, 119, 180) : QColor(44, 160, 44));
            p.drawRect(QRectF(10 + i * 6.5, 41 - heights[i], 4.5, heights[i]));
        }
    });
}

QPixmap pdf()
{
    return drawn([](QPainter& p) {
        // A page with a folded corner and a red band across it.
        style(p, QPen(QColor(90, 90, 90), 1.5), Qt::white);
        p.drawPath(outline({{9, 3}, {31, 3}, {40, 12}, {40, 45}, {9, 45}}));
        p.setBrush(QColor(210, 210, 215));
        p.drawPolygon(QPolygonF{QPointF(31, 3), QPointF(31, 12), QPointF(40, 12)});
        p.setPen(QPen(QColor(160, 160, 160), 1));
        for (int y = 10; y <= 18; y += 4)
            p.drawLine(13, y, 27, y);
        for (int y = 38; y <= 42; y += 4)
            p.drawLine(13, y, 36, y);
        style(p, Qt::NoPen, QColor(190, 30, 30));
        p.drawRoundedRect(QRectF(4, 21, 36, 13), 2, 2);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(4, 21, 36, 13), Qt::AlignCenter, QStringLiteral("PDF"));
    });
}

QPixmap previousMonth()
{
    return drawn([](QPainter& p) {
        // Two calendar sheets, the back one handing its lines to the front one.
        const auto sheet = [&](const QRectF& r, const QColor& band) {
            style(p, QPen(QColor(90, 90, 90), 1.5), Qt::white);
            p.drawRoundedRect(r, 2, 2);
            style(p, Qt::NoPen, band);
            p.drawRect(QRectF(r.left() + 1, r.top() + 1, r.width() - 2, 7));
            p.setPen(QPen(QColor(160, 160, 160), 1));
            for (qreal y = r.top() + 13; y < r.bottom() - 3; y += 5)
                p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4, y));
        };
        sheet(QRectF(3, 3, 26, 28), QColor(150, 150, 160));
        sheet(QRectF(19, 17, 26, 28), QColor(190, 30, 30));
        QPainterPath arrow;
        arrow.moveTo(10, 36);
        arrow.quadTo(10, 42, 17, 42);
        style(p, QPen(QColor(20, 110, 200), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin), Qt::NoBrush);
        p.drawPath(arrow);
        style(p, Qt::NoPen, QColor(20, 110, 200));
        p.drawPolygon(QPolygonF{QPointF(16, 37), QPointF(22, 42), QPointF(16, 47)});
    });
}

QPixmap door()
{
    return drawn([](QPainter& p) {
        style(p, QPen(QColor(60, 40, 20), 1.5), QColor(230, 225, 210));
        p.drawRect(QRectF(8, 4, 26, 40));
        // The door stands ajar.
        QPolygonF leaf{QPointF(8, 4), QPointF(24, 8), QPointF(24, 46), QPointF(8, 44)};
        p.setBrush(QColor(140, 80, 35));
        p.drawPolygon(leaf);
        style(p, Qt::NoPen, QColor(230, 190, 60));
        p.drawEllipse(QRectF(19, 25, 3.5, 3.5));
        p.setPen(QPen(QColor(20, 150, 40), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(30, 24), QPointF(45, 24));
        p.drawLine(QPointF(39, 18), QPointF(45, 24));
        p.drawLine(QPointF(39, 30), QPointF(45, 24));
    });
}

QPixmap key()
{
    return drawn([](QPainter& p) {
        style(p, QPen(QColor(110, 80, 10), 1.5), QColor(230, 190, 60));
        // The bow with its hole, then the shaft and two bits.
        QPainterPath bow;
        bow.addEllipse(QRectF(5, 15, 18, 18));
        bow.addEllipse(QRectF(10, 20, 8, 8));
        p.drawPath(bow);
        p.drawRect(QRectF(22, 21, 21, 6));
        p.drawRect(QRectF(34, 27, 4, 7));
        p.drawRect(QRectF(40, 27, 3, 5));
    });
}

QPixmap bin()
{
    return drawn([](QPainter& p) {
        style(p, QPen(QColor(50, 50, 50), 1.5), QColor(170, 175, 180));
        p.drawRoundedRect(QRectF(8, 9, 32, 5), 2, 2);
        p.drawRect(QRectF(19, 5, 10, 4));
        QPolygonF can{QPointF(11, 15), QPointF(37, 15), QPointF(34, 44), QPointF(14, 44)};
        p.drawPolygon(can);
        p.setPen(QPen(QColor(90, 95, 100), 2));
        for (int x : {18, 24, 30})
            p.drawLine(QPointF(x, 19), QPointF(x, 40));
    });
}

QPixmap logo(qreal scale)
{
    return drawn(
        [scale](QPainter& p) {
            p.scale(scale, scale);
            QLinearGradient g(0, 0, 56, 56);
            g.setColorAt(0, QColor(30, 90, 170));
            g.setColorAt(1, QColor(10, 40, 100));
            style(p, Qt::NoPen, g);
            p.drawRoundedRect(QRectF(2, 2, 52, 52), 10, 10);
            p.setBrush(QColor(250, 180, 40));
            p.drawEllipse(QRectF(12, 12, 18, 18));
            p.setBrush(Qt::white);
            QPolygonF wave{QPointF(8, 44),  QPointF(22, 32), QPointF(34, 40),
                           QPointF(48, 26), QPointF(48, 48), QPointF(8, 48)};
            p.drawPolygon(wave);
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setPixelSize(20);
            f.setBold(true);
            p.setFont(f);
            p.setPen(QColor(10, 40, 100));
            p.drawText(QRectF(62, 4, 188, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("PELVARNET"));
            f.setPixelSize(11);
            f.setBold(false);
            p.setFont(f);
            p.setPen(QColor(90, 90, 90));
            p.drawText(QRectF(63, 30, 188, 20), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("consultancy"));
        },
        qRound(252 * scale), qRound(56 * scale));
}

} // namespace dl::icons
