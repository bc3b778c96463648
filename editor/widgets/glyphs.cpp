// Drawn pictures: a pale disc with sound waves for the logo, simple shapes for glyphs.
#include "editor/widgets/glyphs.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <functional>

#include "editor/widgets/colours.h"
#include "editor/widgets/fonts.h"

namespace glyphs {
namespace {

QPixmap Draw(const QSize& size, const std::function<void(QPainter&, const QRectF&)>& paint) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon Glyph(const std::function<void(QPainter&, const QRectF&)>& paint) {
    QIcon icon;
    for (const int side : {16, 32}) {
        icon.addPixmap(Draw(QSize(side, side), paint));
    }
    return icon;
}

void Triangle(QPainter& painter, const QRectF& box, bool pointsRight) {
    const double w = box.width();
    const double h = box.height();
    QPolygonF shape;
    if (pointsRight) {
        shape << QPointF(w * 0.25, h * 0.15) << QPointF(w * 0.85, h * 0.5)
              << QPointF(w * 0.25, h * 0.85);
    } else {
        shape << QPointF(w * 0.75, h * 0.15) << QPointF(w * 0.15, h * 0.5)
              << QPointF(w * 0.75, h * 0.85);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours::kLogoGreen);
    painter.drawPolygon(shape);
}

// An eighth note: a slanted oval head and a stem with a flag.
void Note(QPainter& painter, QPointF head, double scale, const QColor& colour) {
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.translate(head);
    painter.rotate(-20);
    painter.drawEllipse(QPointF(0, 0), 7 * scale, 5 * scale);
    painter.restore();
    painter.setPen(QPen(colour, 2.2 * scale));
    const QPointF stemTop(head.x() + 6 * scale, head.y() - 34 * scale);
    painter.drawLine(QPointF(head.x() + 6 * scale, head.y() - 1 * scale), stemTop);
    QPainterPath flag(stemTop);
    flag.cubicTo(stemTop + QPointF(4 * scale, 8 * scale), stemTop + QPointF(14 * scale, 10 * scale),
                 stemTop + QPointF(9 * scale, 24 * scale));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flag);
}

}  // namespace

QPixmap Logo(const QSize& size) {
    return Draw(size, [](QPainter& painter, const QRectF& box) {
        QLinearGradient fill(box.topLeft(), box.bottomRight());
        fill.setColorAt(0, QColor(0xF4, 0xFA, 0xF0));
        fill.setColorAt(1, QColor(0xC8, 0xE6, 0xC8));
        painter.setPen(QPen(colours::kButtonBoxGreen, 2));
        painter.setBrush(fill);
        painter.drawRoundedRect(box.adjusted(1, 1, -1, -1), 10, 10);
        // Sound waves spreading to the right, faint enough for the text on top.
        painter.setBrush(Qt::NoBrush);
        const QPointF centre(box.right() - 44, box.top() + 30);
        for (int ring = 1; ring <= 4; ++ring) {
            QColor wave = colours::kButtonBoxGreen;
            wave.setAlpha(200 - ring * 35);
            painter.setPen(QPen(wave, 2.5));
            const double radius = 8.0 * ring;
            painter.drawArc(
                QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), -60 * 16,
                120 * 16);
        }
    });
}

QPixmap NamedLogo(const QSize& size, const QString& name) {
    QPixmap logo = Logo(size);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = size.height() / 89.0;
    Note(painter, QPointF(22 * scale, 62 * scale), scale, colours::kLogoGreen);
    const QRectF room(44 * scale, 0, size.width() - 52 * scale, size.height());
    QFont font = fonts::PixelFont(fonts::Role::Sans, static_cast<int>(35 * scale));
    font.setBold(true);
    // The desktop's sans-serif may run wider than the room: the name shrinks to fit.
    while (QFontMetrics(font).horizontalAdvance(name) > room.width() && font.pixelSize() > 8) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    painter.setFont(font);
    painter.setPen(colours::kLogoGreen);
    painter.drawText(room, Qt::AlignVCenter | Qt::AlignLeft, name);
    return logo;
}

QIcon WindowIcon() {
    QIcon icon;
    for (const int side : {16, 32, 48, 64}) {
        icon.addPixmap(Draw(QSize(side, side), [](QPainter& painter, const QRectF& box) {
            const double s = box.width() / 48.0;
            painter.setPen(Qt::NoPen);
            painter.setBrush(colours::kPaleGreen);
            painter.drawRoundedRect(box.adjusted(1, 1, -1, -1), 8 * s, 8 * s);
            Note(painter, QPointF(18 * s, 38 * s), s, colours::kLogoGreen);
        }));
    }
    return icon;
}

QIcon Play() {
    return Glyph([](QPainter& painter, const QRectF& box) { Triangle(painter, box, true); });
}

QIcon Stop() {
    return Glyph([](QPainter& painter, const QRectF& box) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colours::kMaroon);
        painter.drawRect(box.adjusted(box.width() * 0.22, box.height() * 0.22, -box.width() * 0.22,
                                      -box.height() * 0.22));
    });
}

QIcon PreviousPage() {
    return Glyph([](QPainter& painter, const QRectF& box) { Triangle(painter, box, false); });
}

QIcon NextPage() {
    return Glyph([](QPainter& painter, const QRectF& box) { Triangle(painter, box, true); });
}

}  // namespace glyphs
