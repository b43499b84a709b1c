// Draws the images of the resource tree from the lists in resources/*.list and writes
// resources/png/*.png and resources/resources.qrc. Every picture is drawn here; none is copied.
//
// A list line:   name  width  height  kind  colour  [argument]
//   name      "check.png"; a leading '@' makes five files, one per language: name, en_name,
//             ru_name, vn_name, tn_name, each drawn with its own word
//   colour    "#RRGGBB", the main colour of the picture ("-" for the kind's own)
//   argument  the rest of the line; words per language are separated by '|' in the order
//             zh-Hans, en, ru, vi, zh-Hant (one word alone serves all five)
// Kinds:
//   check       a check mark in a disc of the colour
//   backspace   a backspace key
//   port        a connector outline of the colour with the argument inside ("HDMI", "DVI")
//   dot         a filled disc
//   text        the argument in the colour, as large as fits, on a transparent ground
//   button      a rounded field rgb(33,36,53) with the argument in the colour
//   glyph       the argument "name" or "name:caption": a symbol in the colour, the caption under it
//   fill        the whole picture in the colour
//   bars        vertical bars of equal width, one per colour of the argument ("#RRGGBB ..."), the
//               last one taking what the division leaves
//   vlines      one-pixel vertical lines repeating the grey levels of the argument ("85 127 170")
//   hlines      the same, horizontal
//   route       routing pattern n (the argument) of the smart-mapping wizard through a screen of
//               3 x 4 cabinets, drawn from the pattern itself: the chain of cards from a dot at its
//               start to an arrow at its end
//   switch      a slide switch: a rounded track of the colour, its knob at the right for the
//               argument "on", at the left for "off"
// Symbols: lock unlock power sound mute left right up down gear monitor input mode info link usb
//          wifi network chart picture temperature layout crop edid led factory clock recovery
//          upgrade save delete plus minus home check cross grid star warning ltri rtri jack
//          mirror mirror_h mirror_v mirror_hv
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTextStream>
#include <cmath>
#include <cstdio>

#include "../../fpga/route_pattern.h"

namespace {

const char *const kPrefixes[5] = {"", "en_", "ru_", "vn_", "tn_"};

QFont font_px(int px, bool bold = true)
{
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setPixelSize(qMax(6, px));
    f.setBold(bold);
    return f;
}

// The largest font (up to max_px) that puts `text` inside `box`, wrapping at spaces when needed.
void fit_text(QPainter &p, const QRectF &box, const QString &text, const QColor &colour, int max_px)
{
    int px = max_px;
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    for (; px > 6; --px) {
        p.setFont(font_px(px));
        const QRectF need = p.boundingRect(box, flags, text);
        if (need.width() <= box.width() && need.height() <= box.height())
            break;
    }
    p.setFont(font_px(px));
    p.setPen(colour);
    p.drawText(box, flags, text);
}

QPen line(const QColor &c, double w)
{
    QPen pen(c, w);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void draw_check(QPainter &p, const QRectF &r, const QColor &c, double w)
{
    QPainterPath path;
    path.moveTo(r.left() + r.width() * 0.2, r.top() + r.height() * 0.52);
    path.lineTo(r.left() + r.width() * 0.42, r.top() + r.height() * 0.74);
    path.lineTo(r.left() + r.width() * 0.8, r.top() + r.height() * 0.3);
    p.setPen(line(c, w));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void draw_arrow(QPainter &p, const QRectF &r, const QColor &c, double w, double angle)
{
    p.save();
    p.translate(r.center());
    p.rotate(angle);
    const double s = qMin(r.width(), r.height()) * 0.4;
    QPainterPath path;
    path.moveTo(s * 0.3, -s);
    path.lineTo(-s * 0.5, 0);
    path.lineTo(s * 0.3, s);
    p.setPen(line(c, w));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

void draw_symbol(QPainter &p, const QString &name, const QRectF &r0, const QColor &c)
{
    const double side = qMin(r0.width(), r0.height());
    const QRectF r(r0.center().x() - side / 2, r0.center().y() - side / 2, side, side);
    const double w = qMax(1.5, side / 12);
    const double x = r.left(), y = r.top(), s = side;
    p.setPen(line(c, w));
    p.setBrush(Qt::NoBrush);
    if (name == QLatin1String("lock") || name == QLatin1String("unlock")) {
        p.drawRoundedRect(QRectF(x + s * 0.2, y + s * 0.45, s * 0.6, s * 0.45), s * 0.06, s * 0.06);
        QPainterPath shackle;
        const double right = name == QLatin1String("lock") ? 0.68 : 0.9;
        shackle.moveTo(x + s * 0.32, y + s * 0.45);
        shackle.lineTo(x + s * 0.32, y + s * 0.3);
        shackle.arcTo(QRectF(x + s * 0.32, y + s * 0.1, s * (right - 0.32), s * 0.36), 180, -180);
        if (name == QLatin1String("lock"))
            shackle.lineTo(x + s * right, y + s * 0.45);
        p.drawPath(shackle);
        p.setBrush(c);
        p.drawEllipse(QPointF(x + s * 0.5, y + s * 0.66), s * 0.05, s * 0.05);
    } else if (name == QLatin1String("power")) {
        p.drawArc(QRectF(x + s * 0.2, y + s * 0.2, s * 0.6, s * 0.6), 120 * 16, 300 * 16);
        p.drawLine(QPointF(x + s * 0.5, y + s * 0.12), QPointF(x + s * 0.5, y + s * 0.48));
    } else if (name == QLatin1String("sound") || name == QLatin1String("mute")) {
        QPolygonF body;
        body << QPointF(x + s * 0.15, y + s * 0.38) << QPointF(x + s * 0.3, y + s * 0.38)
             << QPointF(x + s * 0.5, y + s * 0.2) << QPointF(x + s * 0.5, y + s * 0.8)
             << QPointF(x + s * 0.3, y + s * 0.62) << QPointF(x + s * 0.15, y + s * 0.62);
        p.setBrush(c);
        p.drawPolygon(body);
        p.setBrush(Qt::NoBrush);
        if (name == QLatin1String("sound")) {
            p.drawArc(QRectF(x + s * 0.4, y + s * 0.32, s * 0.24, s * 0.36), -50 * 16, 100 * 16);
            p.drawArc(QRectF(x + s * 0.4, y + s * 0.2, s * 0.42, s * 0.6), -50 * 16, 100 * 16);
        } else {
            p.drawLine(QPointF(x + s * 0.6, y + s * 0.36), QPointF(x + s * 0.86, y + s * 0.64));
            p.drawLine(QPointF(x + s * 0.86, y + s * 0.36), QPointF(x + s * 0.6, y + s * 0.64));
        }
    } else if (name == QLatin1String("left")) {
        draw_arrow(p, r, c, w * 1.3, 0);
    } else if (name == QLatin1String("right")) {
        draw_arrow(p, r, c, w * 1.3, 180);
    } else if (name == QLatin1String("up")) {
        draw_arrow(p, r, c, w * 1.3, 90);
    } else if (name == QLatin1String("down")) {
        draw_arrow(p, r, c, w * 1.3, -90);
    } else if (name == QLatin1String("gear")) {
        p.save();
        p.translate(r.center());
        for (int i = 0; i < 8; ++i) {
            p.rotate(45);
            p.fillRect(QRectF(-s * 0.07, -s * 0.42, s * 0.14, s * 0.16), c);
        }
        p.restore();
        p.drawEllipse(r.center(), s * 0.28, s * 0.28);
        p.drawEllipse(r.center(), s * 0.1, s * 0.1);
    } else if (name == QLatin1String("monitor") || name == QLatin1String("led")) {
        p.drawRoundedRect(QRectF(x + s * 0.1, y + s * 0.18, s * 0.8, s * 0.5), s * 0.04, s * 0.04);
        p.drawLine(QPointF(x + s * 0.5, y + s * 0.68), QPointF(x + s * 0.5, y + s * 0.8));
        p.drawLine(QPointF(x + s * 0.3, y + s * 0.82), QPointF(x + s * 0.7, y + s * 0.82));
        if (name == QLatin1String("led")) {
            p.setBrush(c);
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 2; ++j)
                    p.drawEllipse(QPointF(x + s * (0.24 + 0.17 * i), y + s * (0.33 + 0.2 * j)), s * 0.035, s * 0.035);
        }
    } else if (name == QLatin1String("input")) {
        p.drawRect(QRectF(x + s * 0.45, y + s * 0.2, s * 0.4, s * 0.6));
        p.drawLine(QPointF(x + s * 0.1, y + s * 0.5), QPointF(x + s * 0.6, y + s * 0.5));
        draw_arrow(p, QRectF(x + s * 0.45, y + s * 0.35, s * 0.3, s * 0.3), c, w, 180);
    } else if (name == QLatin1String("mode")) {
        for (int i = 0; i < 3; ++i)
            p.drawRoundedRect(QRectF(x + s * (0.15 + 0.08 * i), y + s * (0.5 - 0.14 * i), s * 0.5, s * 0.32), 2, 2);
    } else if (name == QLatin1String("info")) {
        p.drawEllipse(r.center(), s * 0.38, s * 0.38);
        p.drawLine(QPointF(x + s * 0.5, y + s * 0.45), QPointF(x + s * 0.5, y + s * 0.72));
        p.setBrush(c);
        p.drawEllipse(QPointF(x + s * 0.5, y + s * 0.31), s * 0.04, s * 0.04);
    } else if (name == QLatin1String("link") || name == QLatin1String("network")) {
        p.drawRect(QRectF(x + s * 0.38, y + s * 0.1, s * 0.24, s * 0.2));
        p.drawLine(QPointF(x + s * 0.5, y + s * 0.3), QPointF(x + s * 0.5, y + s * 0.5));
        p.drawLine(QPointF(x + s * 0.2, y + s * 0.5), QPointF(x + s * 0.8, y + s * 0.5));
        for (double cx : {0.2, 0.5, 0.8}) {
            p.drawLine(QPointF(x + s * cx, y + s * 0.5), QPointF(x + s * cx, y + s * 0.66));
            p.drawRect(QRectF(x + s * (cx - 0.1), y + s * 0.66, s * 0.2, s * 0.18));
        }
    } else if (name == QLatin1String("usb")) {
        p.drawLine(QPointF(x + s * 0.5, y + s * 0.15), QPointF(x + s * 0.5, y + s * 0.85));
        p.drawLine(QPointF(x + s * 0.5, y + s * 0.6), QPointF(x + s * 0.28, y + s * 0.42));
        p.drawLine(QPointF(x + s * 0.5, y + s * 0.5), QPointF(x + s * 0.72, y + s * 0.34));
        p.setBrush(c);
        p.drawEllipse(QPointF(x + s * 0.5, y + s * 0.85), s * 0.07, s * 0.07);
        p.drawEllipse(QPointF(x + s * 0.28, y + s * 0.4), s * 0.05, s * 0.05);
        p.drawRect(QRectF(x + s * 0.67, y + s * 0.27, s * 0.1, s * 0.1));
    } else if (name == QLatin1String("wifi")) {
        for (int i = 1; i <= 3; ++i) {
            const double rr = s * 0.13 * i;
            p.drawArc(QRectF(x + s * 0.5 - rr, y + s * 0.75 - rr, 2 * rr, 2 * rr), 45 * 16, 90 * 16);
        }
        p.setBrush(c);
        p.drawEllipse(QPointF(x + s * 0.5, y + s * 0.75), s * 0.05, s * 0.05);
    } else if (name == QLatin1String("chart") || name == QLatin1String("grid")) {
        p.drawRect(QRectF(x + s * 0.15, y + s * 0.2, s * 0.7, s * 0.6));
        const QColor bars[4] = {QColor(255, 80, 80), QColor(80, 220, 80), QColor(80, 120, 255), c};
        for (int i = 0; i < 4; ++i) {
            const QRectF bar(x + s * (0.15 + 0.175 * i), y + s * 0.2, s * 0.175, s * 0.6);
            if (name == QLatin1String("chart"))
                p.fillRect(bar.adjusted(w, w, 0, -w), bars[i]);
            else
                p.drawLine(bar.topRight(), bar.bottomRight());
        }
    } else if (name == QLatin1String("picture") || name == QLatin1String("layout")) {
        p.drawRect(QRectF(x + s * 0.12, y + s * 0.2, s * 0.76, s * 0.6));
        if (name == QLatin1String("picture")) {
            QPolygonF hill;
            hill << QPointF(x + s * 0.16, y + s * 0.76) << QPointF(x + s * 0.42, y + s * 0.45)
                 << QPointF(x + s * 0.6, y + s * 0.62) << QPointF(x + s * 0.7, y + s * 0.52)
                 << QPointF(x + s * 0.84, y + s * 0.76);
            p.setBrush(c);
            p.drawPolygon(hill);
            p.drawEllipse(QPointF(x + s * 0.7, y + s * 0.34), s * 0.05, s * 0.05);
        } else {
            p.drawRect(QRectF(x + s * 0.18, y + s * 0.26, s * 0.3, s * 0.22));
            p.drawRect(QRectF(x + s * 0.52, y + s * 0.46, s * 0.3, s * 0.28));
        }
    } else if (name == QLatin1String("temperature")) {
        p.drawRoundedRect(QRectF(x + s * 0.42, y + s * 0.12, s * 0.16, s * 0.52), s * 0.08, s * 0.08);
        p.setBrush(c);
        p.drawEllipse(QPointF(x + s * 0.5, y + s * 0.72), s * 0.13, s * 0.13);
    } else if (name == QLatin1String("crop")) {
        p.drawLine(QPointF(x + s * 0.3, y + s * 0.1), QPointF(x + s * 0.3, y + s * 0.7));
        p.drawLine(QPointF(x + s * 0.3, y + s * 0.7), QPointF(x + s * 0.9, y + s * 0.7));
        p.drawLine(QPointF(x + s * 0.1, y + s * 0.3), QPointF(x + s * 0.7, y + s * 0.3));
        p.drawLine(QPointF(x + s * 0.7, y + s * 0.3), QPointF(x + s * 0.7, y + s * 0.9));
    } else if (name == QLatin1String("edid")) {
        p.drawRect(QRectF(x + s * 0.22, y + s * 0.22, s * 0.56, s * 0.56));
        for (int i = 0; i < 3; ++i) {
            const double o = 0.32 + 0.18 * i;
            p.drawLine(QPointF(x + s * o, y + s * 0.1), QPointF(x + s * o, y + s * 0.22));
            p.drawLine(QPointF(x + s * o, y + s * 0.78), QPointF(x + s * o, y + s * 0.9));
            p.drawLine(QPointF(x + s * 0.1, y + s * o), QPointF(x + s * 0.22, y + s * o));
            p.drawLine(QPointF(x + s * 0.78, y + s * o), QPointF(x + s * 0.9, y + s * o));
        }
    } else if (name == QLatin1String("factory")) {
        QPolygonF f;
        f << QPointF(x + s * 0.1, y + s * 0.85) << QPointF(x + s * 0.1, y + s * 0.45) << QPointF(x + s * 0.35, y + s * 0.6)
          << QPointF(x + s * 0.35, y + s * 0.45) << QPointF(x + s * 0.6, y + s * 0.6) << QPointF(x + s * 0.6, y + s * 0.15)
          << QPointF(x + s * 0.85, y + s * 0.15) << QPointF(x + s * 0.85, y + s * 0.85);
        p.drawPolygon(f);
    } else if (name == QLatin1String("clock")) {
        p.drawEllipse(r.center(), s * 0.38, s * 0.38);
        p.drawLine(r.center(), QPointF(x + s * 0.5, y + s * 0.25));
        p.drawLine(r.center(), QPointF(x + s * 0.68, y + s * 0.58));
    } else if (name == QLatin1String("recovery") || name == QLatin1String("upgrade")) {
        p.drawArc(QRectF(x + s * 0.18, y + s * 0.18, s * 0.64, s * 0.64), 60 * 16, 280 * 16);
        if (name == QLatin1String("recovery")) {
            draw_arrow(p, QRectF(x + s * 0.5, y + s * 0.08, s * 0.3, s * 0.3), c, w, 200);
        } else {
            p.drawLine(QPointF(x + s * 0.5, y + s * 0.68), QPointF(x + s * 0.5, y + s * 0.32));
            draw_arrow(p, QRectF(x + s * 0.35, y + s * 0.26, s * 0.3, s * 0.3), c, w, 90);
        }
    } else if (name == QLatin1String("save")) {
        p.drawRect(QRectF(x + s * 0.18, y + s * 0.18, s * 0.64, s * 0.64));
        p.drawRect(QRectF(x + s * 0.32, y + s * 0.18, s * 0.36, s * 0.2));
        p.drawRect(QRectF(x + s * 0.3, y + s * 0.52, s * 0.4, s * 0.3));
    } else if (name == QLatin1String("delete")) {
        p.drawLine(QPointF(x + s * 0.2, y + s * 0.25), QPointF(x + s * 0.8, y + s * 0.25));
        p.drawLine(QPointF(x + s * 0.4, y + s * 0.15), QPointF(x + s * 0.6, y + s * 0.15));
        p.drawRect(QRectF(x + s * 0.28, y + s * 0.25, s * 0.44, s * 0.6));
        p.drawLine(QPointF(x + s * 0.42, y + s * 0.38), QPointF(x + s * 0.42, y + s * 0.72));
        p.drawLine(QPointF(x + s * 0.58, y + s * 0.38), QPointF(x + s * 0.58, y + s * 0.72));
    } else if (name == QLatin1String("plus") || name == QLatin1String("minus")) {
        p.drawLine(QPointF(x + s * 0.2, y + s * 0.5), QPointF(x + s * 0.8, y + s * 0.5));
        if (name == QLatin1String("plus"))
            p.drawLine(QPointF(x + s * 0.5, y + s * 0.2), QPointF(x + s * 0.5, y + s * 0.8));
    } else if (name == QLatin1String("home")) {
        QPolygonF h;
        h << QPointF(x + s * 0.12, y + s * 0.5) << QPointF(x + s * 0.5, y + s * 0.15) << QPointF(x + s * 0.88, y + s * 0.5);
        p.drawPolyline(h);
        p.drawRect(QRectF(x + s * 0.24, y + s * 0.45, s * 0.52, s * 0.4));
    } else if (name == QLatin1String("check")) {
        draw_check(p, r, c, w * 1.5);
    } else if (name == QLatin1String("cross")) {
        p.drawLine(QPointF(x + s * 0.25, y + s * 0.25), QPointF(x + s * 0.75, y + s * 0.75));
        p.drawLine(QPointF(x + s * 0.75, y + s * 0.25), QPointF(x + s * 0.25, y + s * 0.75));
    } else if (name == QLatin1String("star")) {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double a = M_PI / 2 + i * M_PI / 5;
            const double rr = (i % 2 ? 0.18 : 0.42) * s;
            star << QPointF(r.center().x() + rr * std::cos(a), r.center().y() - rr * std::sin(a));
        }
        p.setBrush(c);
        p.drawPolygon(star);
    } else if (name == QLatin1String("warning")) {
        QPolygonF t;
        t << QPointF(x + s * 0.5, y + s * 0.08) << QPointF(x + s * 0.95, y + s * 0.9) << QPointF(x + s * 0.05, y + s * 0.9);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(t);
        p.setPen(line(QColor(16, 16, 28), qMax(1.5, s / 9)));
        p.drawLine(QPointF(x + s * 0.5, y + s * 0.38), QPointF(x + s * 0.5, y + s * 0.62));
        p.drawPoint(QPointF(x + s * 0.5, y + s * 0.77));
    } else if (name == QLatin1String("ltri") || name == QLatin1String("rtri")) {
        const bool left = name == QLatin1String("ltri");
        QPolygonF t;
        t << QPointF(x + s * (left ? 0.2 : 0.8), y + s * 0.5) << QPointF(x + s * (left ? 0.8 : 0.2), y + s * 0.15)
          << QPointF(x + s * (left ? 0.8 : 0.2), y + s * 0.85);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(t);
    } else if (name == QLatin1String("jack")) {
        // a network socket seen from the front, drawn across the whole picture
        const QRectF b = r0.adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(c, 1));
        p.setBrush(c);
        QPolygonF j;
        j << b.topLeft() << b.topRight() << QPointF(b.right(), b.bottom() - b.height() * 0.3)
          << QPointF(b.right() - b.width() * 0.25, b.bottom() - b.height() * 0.3)
          << QPointF(b.right() - b.width() * 0.25, b.bottom()) << QPointF(b.left() + b.width() * 0.25, b.bottom())
          << QPointF(b.left() + b.width() * 0.25, b.bottom() - b.height() * 0.3)
          << QPointF(b.left(), b.bottom() - b.height() * 0.3);
        p.drawPolygon(j);
    } else if (name.startsWith(QLatin1String("mirror"))) {
        // A flag on its pole, turned as the mirror setting turns the picture: "mirror" as it
        // stands, "mirror_h" left to right, "mirror_v" upside down, "mirror_hv" both.
        p.save();
        p.translate(r.center());
        p.scale(name.contains(QLatin1Char('h')) ? -1 : 1, name.endsWith(QLatin1Char('v')) ? -1 : 1);
        p.drawRect(QRectF(-s * 0.42, -s * 0.42, s * 0.84, s * 0.84));
        p.drawLine(QPointF(-s * 0.2, -s * 0.28), QPointF(-s * 0.2, s * 0.3));
        QPolygonF flag;
        flag << QPointF(-s * 0.2, -s * 0.28) << QPointF(s * 0.25, -s * 0.16) << QPointF(-s * 0.2, -s * 0.02);
        p.setBrush(c);
        p.drawPolygon(flag);
        p.restore();
    } else {
        std::fprintf(stderr, "pngmaker: unknown symbol %s\n", qPrintable(name));
        p.drawRect(r.adjusted(w, w, -w, -w));
    }
}

void draw_port(QPainter &p, const QRectF &r, const QColor &c, const QString &text)
{
    const double w = qMax(1.0, r.height() / 10);
    const QRectF b = r.adjusted(w, w, -w, -w);
    QPainterPath shape;
    if (text.startsWith(QLatin1String("DVI"))) {
        shape.addRoundedRect(b, b.height() * 0.15, b.height() * 0.15);
    } else {
        // the HDMI plug: a trapezoid with its short side below
        const double cut = b.height() * 0.35;
        shape.moveTo(b.topLeft());
        shape.lineTo(b.topRight());
        shape.lineTo(b.right(), b.bottom() - cut);
        shape.lineTo(b.right() - cut, b.bottom());
        shape.lineTo(b.left() + cut, b.bottom());
        shape.lineTo(b.left(), b.bottom() - cut);
        shape.closeSubpath();
    }
    p.setPen(QPen(c, w));
    p.setBrush(QColor(33, 36, 53));
    p.drawPath(shape);
    fit_text(p, b.adjusted(w, 0, -w, 0), text, c, int(b.height() * 0.8));
}

struct Entry
{
    QString name;
    int w = 0;
    int h = 0;
    QString kind;
    QColor colour;
    QString arg;
    bool per_language = false;
};

QImage draw(const Entry &e, const QString &arg)
{
    QImage img(e.w, e.h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QRectF r(0, 0, e.w, e.h);
    const QColor c = e.colour.isValid() ? e.colour : QColor(Qt::white);
    if (e.kind == QLatin1String("check")) {
        p.setPen(Qt::NoPen);
        p.setBrush(e.colour.isValid() ? e.colour : QColor(0, 214, 91));
        p.drawEllipse(r.adjusted(1, 1, -1, -1));
        draw_check(p, r, Qt::white, qMax(2.0, e.w / 10.0));
    } else if (e.kind == QLatin1String("backspace")) {
        const QColor k = e.colour.isValid() ? e.colour : QColor(40, 40, 40);
        const double s = qMin(e.w, e.h);
        QPolygonF key;
        key << QPointF(s * 0.05, s * 0.5) << QPointF(s * 0.32, s * 0.2) << QPointF(s * 0.95, s * 0.2)
            << QPointF(s * 0.95, s * 0.8) << QPointF(s * 0.32, s * 0.8);
        p.setPen(line(k, qMax(1.2, s / 14)));
        p.drawPolygon(key);
        p.drawLine(QPointF(s * 0.48, s * 0.36), QPointF(s * 0.76, s * 0.64));
        p.drawLine(QPointF(s * 0.76, s * 0.36), QPointF(s * 0.48, s * 0.64));
    } else if (e.kind == QLatin1String("port")) {
        draw_port(p, r, c, arg);
    } else if (e.kind == QLatin1String("dot")) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
    } else if (e.kind == QLatin1String("text")) {
        fit_text(p, r.adjusted(1, 1, -1, -1), arg, c, e.h);
    } else if (e.kind == QLatin1String("button")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(33, 36, 53));
        p.drawRoundedRect(r, qMin(e.h / 4.0, 10.0), qMin(e.h / 4.0, 10.0));
        fit_text(p, r.adjusted(4, 2, -4, -2), arg, c, e.h * 2 / 3);
    } else if (e.kind == QLatin1String("glyph")) {
        const int colon = arg.indexOf(QLatin1Char(':'));
        const QString symbol = colon < 0 ? arg : arg.left(colon);
        const QString caption = colon < 0 ? QString() : arg.mid(colon + 1);
        if (caption.isEmpty()) {
            draw_symbol(p, symbol, r, c);
        } else {
            const double caption_h = qMax(10.0, e.h * 0.3);
            draw_symbol(p, symbol, QRectF(0, 0, e.w, e.h - caption_h), c);
            fit_text(p, QRectF(0, e.h - caption_h, e.w, caption_h), caption, c, int(caption_h));
        }
    } else if (e.kind == QLatin1String("fill")) {
        img.fill(c);
    } else if (e.kind == QLatin1String("bars")) {
        const QStringList colours = arg.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const int n = qMax(1, int(colours.size()));
        const int bar = e.w / n;
        for (int i = 0; i < n; ++i) {
            const int left = bar * i;
            p.fillRect(QRect(left, 0, i == n - 1 ? e.w - left : bar, e.h), QColor(colours.value(i)));
        }
    } else if (e.kind == QLatin1String("vlines") || e.kind == QLatin1String("hlines")) {
        const QStringList levels = arg.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const bool vertical = e.kind == QLatin1String("vlines");
        const int n = qMax(1, int(levels.size()));
        for (int i = 0; i < (vertical ? e.w : e.h); ++i) {
            const int g = levels.value(i % n).toInt();
            p.fillRect(vertical ? QRect(i, 0, 1, e.h) : QRect(0, i, e.w, 1), QColor(g, g, g));
        }
    } else if (e.kind == QLatin1String("route")) {
        constexpr int kRows = 3, kCols = 4;
        const double cw = (e.w - 2.0) / kCols, ch = (e.h - 2.0) / kRows;
        p.setPen(QPen(QColor(90, 94, 120), 1));
        p.setBrush(Qt::NoBrush);
        for (int row = 0; row < kRows; ++row)
            for (int col = 0; col < kCols; ++col)
                p.drawRect(QRectF(1 + col * cw, 1 + row * ch, cw, ch));
        QPolygonF chain;
        int row = 0, col = 0;
        for (int i = 0; RoutePattern::cell(arg.toInt(), kRows, kCols, i, &row, &col); ++i)
            chain << QPointF(1 + (col + 0.5) * cw, 1 + (row + 0.5) * ch);
        if (chain.size() < 2) {
            std::fprintf(stderr, "pngmaker: no routing pattern %s for %s\n", qPrintable(arg), qPrintable(e.name));
        } else {
            p.setPen(line(c, 1.3));
            p.drawPolyline(chain);
            const QPointF end = chain.last(), from = chain[chain.size() - 2];
            const double angle = std::atan2(end.y() - from.y(), end.x() - from.x());
            const double a = qMin(cw, ch) * 0.55;
            QPolygonF head;
            head << end << end - QPointF(a * std::cos(angle - 0.5), a * std::sin(angle - 0.5))
                 << end - QPointF(a * std::cos(angle + 0.5), a * std::sin(angle + 0.5));
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawPolygon(head);
            p.setBrush(QColor(0, 214, 91));
            p.drawEllipse(chain.first(), 2.2, 2.2);
        }
    } else if (e.kind == QLatin1String("switch")) {
        const QRectF track = r.adjusted(1, 1, -1, -1);
        const double radius = track.height() / 2;
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRoundedRect(track, radius, radius);
        const bool on = arg == QLatin1String("on");
        const QPointF knob(on ? track.right() - radius : track.left() + radius, track.center().y());
        p.setBrush(Qt::white);
        p.drawEllipse(knob, radius - 2, radius - 2);
    } else {
        std::fprintf(stderr, "pngmaker: unknown kind %s for %s\n", qPrintable(e.kind), qPrintable(e.name));
    }
    p.end();
    return img;
}

}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
    const QDir dir(root);
    QDir().mkpath(dir.filePath(QStringLiteral("png")));

    QStringList written;
    int errors = 0;
    const QStringList lists = dir.entryList({QStringLiteral("*.list")}, QDir::Files, QDir::Name);
    for (const QString &list_name : lists) {
        QFile f(dir.filePath(list_name));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        QTextStream in(&f);
        in.setCodec("UTF-8");
        int line_no = 0;
        while (!in.atEnd()) {
            const QString raw = in.readLine();
            ++line_no;
            const QString line = raw.trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList parts = line.split(QRegularExpression(QStringLiteral("\\s+")));
            if (parts.size() < 5) {
                std::fprintf(stderr, "%s:%d: too few fields\n", qPrintable(list_name), line_no);
                ++errors;
                continue;
            }
            Entry e;
            e.name = parts[0];
            e.per_language = e.name.startsWith(QLatin1Char('@'));
            if (e.per_language)
                e.name.remove(0, 1);
            e.w = parts[1].toInt();
            e.h = parts[2].toInt();
            e.kind = parts[3];
            if (parts[4] != QLatin1String("-"))
                e.colour = QColor(parts[4]);
            // the argument is the rest of the line after the fifth field
            int pos = 0;
            for (int i = 0; i < 5; ++i) {
                pos = line.indexOf(parts[i], pos) + parts[i].size();
            }
            e.arg = line.mid(pos).trimmed();
            if (e.w <= 0 || e.h <= 0) {
                std::fprintf(stderr, "%s:%d: bad size\n", qPrintable(list_name), line_no);
                ++errors;
                continue;
            }
            QStringList words = e.arg.split(QLatin1Char('|'));
            if (words.size() != 1 && words.size() != 5) {
                std::fprintf(stderr, "%s:%d: give one word or five\n", qPrintable(list_name), line_no);
                ++errors;
                continue;
            }
            while (words.size() < 5)
                words << words.first();
            const int variants = e.per_language ? 5 : 1;
            for (int lang = 0; lang < variants; ++lang) {
                const QString file = QLatin1String(kPrefixes[lang]) + e.name;
                // the plain name is the Simplified Chinese picture, drawn with the first word
                const QImage img = draw(e, e.per_language ? words[lang] : words[0]);
                if (!img.save(dir.filePath(QStringLiteral("png/") + file), "PNG")) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                    ++errors;
                    continue;
                }
                written << file;
            }
        }
    }

    written.removeDuplicates();
    written.sort();
    QFile qrc(dir.filePath(QStringLiteral("resources.qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return 1;
    QTextStream out(&qrc);
    out.setCodec("UTF-8");
    out << "<RCC>\n    <qresource prefix=\"/png\">\n";
    for (const QString &file : written)
        out << "        <file alias=\"" << file << "\">png/" << file << "</file>\n";
    out << "    </qresource>\n</RCC>\n";
    std::printf("%d images\n", int(written.size()));
    return errors ? 1 : 0;
}
