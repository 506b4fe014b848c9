#include "app/ToolbarIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace qx::app {

namespace {

// Draws a picture into a 16 x 16 design grid scaled to the rectangle.
void drawPicture(QPainter& p, ToolbarPicture picture) {
    const QColor ink(40, 48, 64);
    p.setPen(QPen(ink, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (picture) {
        case ToolbarPicture::Open: {
            p.setBrush(QColor(232, 184, 72));
            p.drawPolygon(QPolygonF({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {13.5, 5}, {13.5, 13.5}, {1.5, 13.5}}));
            p.setBrush(QColor(250, 214, 120));
            p.drawPolygon(QPolygonF({{3.5, 7.5}, {15, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
            break;
        }
        case ToolbarPicture::Help: {
            p.setBrush(QColor(52, 110, 200));
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            QFont font = p.font();
            font.setBold(true);
            font.setPixelSize(11);
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        case ToolbarPicture::Convert: {
            p.setBrush(Qt::white);
            p.drawRect(QRectF(0.5, 2.5, 5, 7));
            p.setBrush(QColor(120, 190, 120));
            p.drawRect(QRectF(10.5, 6.5, 5, 7));
            p.setBrush(ink);
            QPainterPath arrow;
            arrow.moveTo(5.5, 11);
            arrow.lineTo(7.5, 11);
            arrow.lineTo(7.5, 8.5);
            arrow.lineTo(10, 11.5);
            arrow.lineTo(7.5, 14.5);
            arrow.lineTo(7.5, 12.5);
            arrow.lineTo(5.5, 12.5);
            arrow.closeSubpath();
            p.drawPath(arrow);
            break;
        }
        case ToolbarPicture::Pause:
            p.setBrush(QColor(70, 80, 100));
            p.drawRoundedRect(QRectF(3.5, 2.5, 3, 11), 0.8, 0.8);
            p.drawRoundedRect(QRectF(9.5, 2.5, 3, 11), 0.8, 0.8);
            break;
        case ToolbarPicture::Texture:
            p.setBrush(QColor(250, 250, 250));
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(200, 80, 60));
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 3; ++x)
                    if ((x + y) % 2 == 0) p.drawRect(QRectF(2 + x * 4.0, 2 + y * 4.0, 4, 4));
            break;
        case ToolbarPicture::Cull:
            // A front face, solid, over the outline of the back face it hides.
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(ink, 1.0, Qt::DashLine));
            p.drawPolygon(QPolygonF({{6.5, 1.5}, {15, 4.5}, {10.5, 10.5}}));
            p.setPen(QPen(ink, 1.0));
            p.setBrush(QColor(90, 160, 220));
            p.drawPolygon(QPolygonF({{1.5, 5.5}, {11.5, 8}, {4.5, 14.5}}));
            break;
        case ToolbarPicture::Program: {
            // A little figure mid-stride on a dark blue ground.
            p.setBrush(QColor(30, 50, 110));
            p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2.5, 2.5);
            p.setBrush(QColor(240, 200, 160));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(6.5, 1.8, 3, 3));
            p.setPen(QPen(QColor(120, 170, 255), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLine(QPointF(8, 5.5), QPointF(8, 9.5));
            p.drawLine(QPointF(8, 6.5), QPointF(5.2, 8.8));
            p.drawLine(QPointF(8, 6.5), QPointF(10.8, 8.2));
            p.drawLine(QPointF(8, 9.5), QPointF(5.8, 14));
            p.drawLine(QPointF(8, 9.5), QPointF(10.5, 13.8));
            break;
        }
    }
}

class PictureEngine : public QIconEngine {
public:
    explicit PictureEngine(ToolbarPicture picture) : picture_(picture) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setRenderHint(QPainter::TextAntialiasing);
        if (mode == QIcon::Disabled) painter->setOpacity(0.35);
        const qreal side = std::min(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
        painter->scale(side / 16.0, side / 16.0);
        drawPicture(*painter, picture_);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new PictureEngine(picture_); }

private:
    ToolbarPicture picture_;
};

}  // namespace

QIcon toolbarIcon(ToolbarPicture picture) { return QIcon(new PictureEngine(picture)); }

QPixmap toolbarStrip(int side) {
    const ToolbarPicture pictures[] = {ToolbarPicture::Open, ToolbarPicture::Help, ToolbarPicture::Convert,
                                       ToolbarPicture::Pause, ToolbarPicture::Texture, ToolbarPicture::Cull};
    const int gap = side / 2;
    QPixmap strip(side * 6 + gap, side);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    int x = 0;
    for (const ToolbarPicture picture : pictures) {
        PictureEngine(picture).paint(&painter, QRect(x, 0, side, side), QIcon::Normal, QIcon::Off);
        x += side + (picture == ToolbarPicture::Open ? gap : 0);
    }
    return strip;
}

}  // namespace qx::app
