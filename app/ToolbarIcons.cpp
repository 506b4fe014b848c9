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
        case ToolbarPicture::Skeleton: {
            // A chain of bones: a hip, a thigh and a shin, each start marked.
            const QPointF joints[] = {{3, 2.5}, {8, 6}, {6, 10.5}, {12, 14}};
            p.setPen(QPen(QColor(230, 150, 20), 1.6, Qt::SolidLine, Qt::RoundCap));
            for (int i = 0; i < 3; ++i) p.drawLine(joints[i], joints[i + 1]);
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            for (int i = 0; i < 3; ++i) p.drawEllipse(joints[i], 1.5, 1.5);
            break;
        }
        case ToolbarPicture::Wireframe:
            p.setBrush(Qt::NoBrush);
            p.drawPolygon(QPolygonF({{1.5, 14.5}, {8, 1.5}, {14.5, 14.5}}));
            p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
            p.drawLine(QPointF(4.75, 8), QPointF(8, 14.5));
            p.drawLine(QPointF(11.25, 8), QPointF(8, 14.5));
            break;
        case ToolbarPicture::Grid:
            p.setPen(QPen(QColor(120, 128, 140), 0.8));
            for (int i = 0; i < 4; ++i) {
                p.drawLine(QPointF(2 + i * 4.0, 6), QPointF(2 + i * 4.0, 15));
                p.drawLine(QPointF(2, 6 + i * 3.0), QPointF(14, 6 + i * 3.0));
            }
            p.setPen(QPen(QColor(210, 50, 40), 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(6, 12), QPointF(14.5, 12));
            p.setPen(QPen(QColor(40, 170, 60), 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(6, 12), QPointF(6, 1.5));
            p.setPen(QPen(QColor(50, 90, 220), 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(6, 12), QPointF(2, 15));
            break;
        case ToolbarPicture::Program: {
            const ProgramIconShapes& f = programIconShapes();
            p.setBrush(QColor(f.ground.red, f.ground.green, f.ground.blue));
            p.drawRoundedRect(QRectF(f.groundX, f.groundX, f.groundSide, f.groundSide), f.groundCorner, f.groundCorner);
            p.setBrush(QColor(f.head.red, f.head.green, f.head.blue));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(f.headX, f.headY, f.headSide, f.headSide));
            p.setPen(QPen(QColor(f.limb.red, f.limb.green, f.limb.blue), f.limbWidth, Qt::SolidLine, Qt::RoundCap,
                          Qt::RoundJoin));
            for (const auto& limb : f.limbs) p.drawLine(QPointF(limb[0], limb[1]), QPointF(limb[2], limb[3]));
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

const ProgramIconShapes& programIconShapes() {
    // A little figure mid-stride on a dark blue ground.
    static const ProgramIconShapes shapes{
        {30, 50, 110},
        0.5,
        15,
        2.5,
        {240, 200, 160},
        6.5,
        1.8,
        3,
        {120, 170, 255},
        1.6,
        {{{8, 5.5, 8, 9.5}, {8, 6.5, 5.2, 8.8}, {8, 6.5, 10.8, 8.2}, {8, 9.5, 5.8, 14}, {8, 9.5, 10.5, 13.8}}}};
    return shapes;
}

QByteArray programIconSvg() {
    const ProgramIconShapes& f = programIconShapes();
    const auto colour = [](const ProgramIconShapes::Colour& c) {
        return QStringLiteral("rgb(%1,%2,%3)").arg(c.red).arg(c.green).arg(c.blue);
    };
    // The toolbar's ink outlines the ground, as the painter's pen does.
    QString svg = QStringLiteral(
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\" viewBox=\"0 0 16 16\">\n"
                      "  <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" ry=\"%3\" fill=\"%4\" "
                      "stroke=\"rgb(40,48,64)\" stroke-width=\"1\"/>\n"
                      "  <circle cx=\"%5\" cy=\"%6\" r=\"%7\" fill=\"%8\"/>\n"
                      "  <g stroke=\"%9\" stroke-width=\"%10\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n")
                      .arg(f.groundX)
                      .arg(f.groundSide)
                      .arg(f.groundCorner)
                      .arg(colour(f.ground))
                      .arg(f.headX + f.headSide / 2)
                      .arg(f.headY + f.headSide / 2)
                      .arg(f.headSide / 2)
                      .arg(colour(f.head))
                      .arg(colour(f.limb))
                      .arg(f.limbWidth);
    for (const auto& limb : f.limbs)
        svg += QStringLiteral("    <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"/>\n")
                   .arg(limb[0])
                   .arg(limb[1])
                   .arg(limb[2])
                   .arg(limb[3]);
    svg += QStringLiteral("  </g>\n</svg>\n");
    return svg.toUtf8();
}

QPixmap toolbarStrip(int side) {
    const ToolbarPicture pictures[] = {ToolbarPicture::Open,  ToolbarPicture::Help,    ToolbarPicture::Convert,
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
