#include "resources/pictures/Drawings.h"

#include "resources/pictures/Sketch.h"

#include <QPainterPath>
#include <QPainterPathStroker>

#include <cmath>
#include <numbers>
#include <tuple>

// The stimuli of the demo design. Each is drawn with a black pen on white and
// without antialiasing, so the pictures hold exactly two colours: the test
// counts the pixels that differ from the background, and grey edge pixels
// would count as ink in some frames and not in others. Overlapping parts are
// drawn back to front with a white fill, so a nearer part hides what is behind.

namespace Drawings {

namespace {

QPointF polar(QPointF centre, double radius, double degrees)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(a), -radius * std::sin(a));
}

QPainterPath circle(QPointF centre, double radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QImage house()
{
    Sketch s(340, 320);
    QPainter &p = s.painter();
    p.setBrush(Qt::white);
    // Chimney first: the roof hides its foot.
    p.drawRect(QRect(215, 45, 32, 80));
    p.drawRect(QRect(70, 150, 200, 140));
    p.drawPolygon(QPolygon({{45, 150}, {170, 40}, {295, 150}}));
    p.drawRect(QRect(150, 212, 46, 78));
    s.dot(QPointF(186, 252), 3.5);
    for (const int x : {92, 218}) {
        p.drawRect(QRect(x, 180, 40, 40));
        p.drawLine(x + 20, 180, x + 20, 220);
        p.drawLine(x, 200, x + 40, 200);
    }
    p.drawLine(30, 290, 310, 290);
    return s.image();
}

QImage tree()
{
    Sketch s(320, 380);
    QPainter &p = s.painter();
    QPainterPath trunk;
    trunk.moveTo(141, 220);
    trunk.lineTo(139, 318);
    trunk.quadTo(136, 340, 112, 348);
    trunk.lineTo(208, 348);
    trunk.quadTo(184, 340, 181, 318);
    trunk.lineTo(179, 220);
    p.setBrush(Qt::white);
    p.drawPath(trunk);

    QPainterPath crown;
    const struct
    {
        double x, y, r;
    } puffs[] = {
        {160, 105, 70}, {100, 140, 55}, {220, 140, 55}, {115, 85, 48},
        {205, 85, 48},  {130, 190, 50}, {195, 190, 50}, {160, 60, 45},
    };
    for (const auto &c : puffs)
        crown = crown.united(circle(QPointF(c.x, c.y), c.r));
    p.drawPath(crown);
    return s.image();
}

QImage fish()
{
    Sketch s(420, 260);
    QPainter &p = s.painter();
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{300, 130}, {388, 62}, {362, 130}, {388, 198}}));
    QPainterPath dorsal;
    dorsal.moveTo(150, 95);
    dorsal.quadTo(175, 28, 260, 40);
    dorsal.quadTo(262, 70, 275, 100);
    p.drawPath(dorsal);
    QPainterPath belly;
    belly.moveTo(180, 180);
    belly.quadTo(190, 230, 240, 228);
    belly.quadTo(235, 200, 245, 175);
    p.drawPath(belly);

    QPainterPath body;
    body.moveTo(55, 130);
    body.cubicTo(125, 40, 255, 45, 325, 130);
    body.cubicTo(255, 215, 125, 220, 55, 130);
    p.drawPath(body);

    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(112, 115), 14, 14);
    s.dot(QPointF(115, 115), 6);
    QPainterPath gill;
    gill.moveTo(150, 88);
    gill.quadTo(178, 130, 150, 172);
    p.drawPath(gill);
    p.drawLine(56, 131, 80, 140);
    // A few scales.
    for (const QPointF c : {QPointF(205, 110), QPointF(205, 150), QPointF(245, 130)}) {
        QPainterPath scale;
        scale.moveTo(c + QPointF(0, -16));
        scale.quadTo(c + QPointF(20, 0), c + QPointF(0, 16));
        p.drawPath(scale);
    }
    return s.image();
}

QImage cup()
{
    Sketch s(360, 300);
    QPainter &p = s.painter();
    p.translate(0, 30);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(40, 205, 260, 40));

    QPainterPath handle;
    handle.moveTo(240, 92);
    handle.cubicTo(318, 82, 318, 185, 228, 185);
    handle.lineTo(232, 165);
    handle.cubicTo(290, 162, 290, 112, 244, 114);
    handle.closeSubpath();
    p.drawPath(handle);

    QPainterPath body;
    body.moveTo(90, 65);
    body.cubicTo(92, 175, 115, 215, 140, 218);
    body.lineTo(200, 218);
    body.cubicTo(225, 215, 248, 175, 250, 65);
    body.closeSubpath();
    p.drawPath(body);
    p.drawEllipse(QRectF(90, 50, 160, 30));

    // Steam.
    p.setBrush(Qt::NoBrush);
    for (const int x : {145, 195}) {
        QPainterPath steam;
        steam.moveTo(x, 38);
        steam.cubicTo(x - 18, 20, x + 18, 5, x, -15);
        p.drawPath(steam);
    }
    return s.image();
}

QImage key()
{
    Sketch s(440, 220);
    QPainter &p = s.painter();
    p.setBrush(Qt::white);
    QPainterPath blade;
    blade.moveTo(140, 98);
    blade.lineTo(392, 98);
    blade.lineTo(392, 172);
    blade.lineTo(368, 172);
    blade.lineTo(368, 150);
    blade.lineTo(348, 150);
    blade.lineTo(348, 165);
    blade.lineTo(324, 165);
    blade.lineTo(324, 138);
    blade.lineTo(304, 138);
    blade.lineTo(304, 122);
    blade.lineTo(140, 122);
    p.drawPath(blade);
    p.drawRect(QRect(168, 88, 18, 44));
    p.drawEllipse(QPointF(100, 110), 58, 58);
    p.drawEllipse(QPointF(88, 110), 22, 22);
    return s.image();
}

QImage chair()
{
    Sketch s(300, 380);
    QPainter &p = s.painter();
    p.setBrush(Qt::white);
    // The back legs run on up as the posts of the back rest.
    p.drawRect(QRect(115, 45, 12, 260));
    p.drawRect(QRect(233, 45, 12, 260));
    p.drawRect(QRect(115, 45, 130, 32));
    for (const int x : {152, 180, 208})
        p.drawRect(QRect(x - 4, 77, 8, 100));
    p.drawLine(127, 125, 233, 125);

    p.drawPolygon(QPolygon({{70, 210}, {200, 210}, {245, 175}, {115, 175}}));
    p.drawPolygon(QPolygon({{70, 210}, {200, 210}, {200, 225}, {70, 225}}));
    p.drawPolygon(QPolygon({{200, 210}, {245, 175}, {245, 190}, {200, 225}}));
    p.drawRect(QRect(72, 225, 12, 120));
    p.drawRect(QRect(186, 225, 12, 120));
    return s.image();
}

QImage car()
{
    Sketch s(480, 260);
    QPainter &p = s.painter();
    p.setBrush(Qt::white);
    QPainterPath body;
    body.moveTo(40, 188);
    body.lineTo(40, 150);
    body.quadTo(42, 128, 80, 125);
    body.lineTo(150, 120);
    body.lineTo(195, 70);
    body.lineTo(320, 70);
    body.lineTo(375, 120);
    body.lineTo(428, 125);
    body.quadTo(445, 130, 445, 150);
    body.lineTo(445, 188);
    body.lineTo(396, 188);
    body.arcTo(QRectF(304, 142, 92, 92), 0, 180);
    body.lineTo(156, 188);
    body.arcTo(QRectF(64, 142, 92, 92), 0, 180);
    body.closeSubpath();
    p.drawPath(body);

    p.drawPolygon(QPolygon({{166, 116}, {200, 80}, {254, 80}, {254, 116}}));
    p.drawPolygon(QPolygon({{266, 80}, {315, 80}, {354, 116}, {266, 116}}));
    p.drawLine(260, 72, 260, 186);
    p.drawLine(205, 138, 228, 138);
    p.drawLine(290, 138, 313, 138);
    p.drawEllipse(QRectF(44, 136, 18, 14));
    p.drawRect(QRect(432, 138, 10, 16));

    for (const double x : {110.0, 350.0}) {
        p.drawEllipse(QPointF(x, 188), 36, 36);
        p.drawEllipse(QPointF(x, 188), 13, 13);
    }
    return s.image();
}

QImage umbrella()
{
    Sketch s(380, 400);
    QPainter &p = s.painter();
    p.drawLine(190, 190, 190, 330);
    QPainterPath hook;
    hook.moveTo(190, 330);
    hook.arcTo(QRectF(190, 304, 52, 52), 180, 180);
    hook.lineTo(242, 318);
    p.drawPath(hook);

    QPainterPath canopy;
    canopy.moveTo(40, 190);
    canopy.arcTo(QRectF(40, 40, 300, 300), 180, -180);
    for (int i = 0; i < 4; ++i) {
        const double x = 340 - 75 * i;
        canopy.quadTo(x - 37.5, 166, x - 75, 190);
    }
    p.setBrush(Qt::white);
    p.drawPath(canopy);
    p.setBrush(Qt::NoBrush);
    QPainterPath ribs;
    ribs.moveTo(190, 40);
    ribs.quadTo(122, 80, 115, 190);
    ribs.moveTo(190, 40);
    ribs.lineTo(190, 190);
    ribs.moveTo(190, 40);
    ribs.quadTo(258, 80, 265, 190);
    p.drawPath(ribs);
    p.drawLine(190, 40, 190, 22);
    return s.image();
}

QImage glasses()
{
    Sketch s(460, 220);
    QPainter &p = s.painter();
    p.drawLine(62, 92, 26, 76);
    p.drawLine(26, 76, 18, 92);
    p.drawLine(398, 92, 434, 76);
    p.drawLine(434, 76, 442, 92);
    QPainterPath bridge;
    bridge.moveTo(200, 100);
    bridge.quadTo(230, 72, 260, 100);
    p.drawPath(bridge);
    for (const int x : {60, 260}) {
        p.drawRoundedRect(QRect(x, 70, 140, 100), 38, 38);
        // A glint on each lens.
        p.drawLine(x + 100, 90, x + 118, 108);
        p.drawLine(x + 94, 106, x + 112, 124);
    }
    return s.image();
}

QImage bicycle()
{
    Sketch s(480, 320);
    QPainter &p = s.painter();
    const QPointF rear(110, 215), front(370, 215), crank(222, 222);
    const QPointF seat(196, 118), head(328, 118);
    for (const QPointF hub : {rear, front}) {
        p.drawEllipse(hub, 75, 75);
        p.drawEllipse(hub, 68, 68);
        QPen thin = p.pen();
        thin.setWidth(3);
        p.save();
        p.setPen(thin);
        for (int a = 0; a < 180; a += 45)
            p.drawLine(polar(hub, 68, a), polar(hub, 68, a + 180));
        p.restore();
        s.dot(hub, 7);
    }
    p.drawLine(rear, crank);
    p.drawLine(rear, seat);
    p.drawLine(seat, crank);
    p.drawLine(QPointF(seat.x() + 4, 128), head + QPointF(-3, 10));
    p.drawLine(head + QPointF(-2, 18), crank);
    p.drawLine(head, front);
    // Handlebar and saddle.
    p.drawLine(head, QPointF(320, 88));
    QPainterPath bar;
    bar.moveTo(300, 86);
    bar.lineTo(335, 86);
    bar.quadTo(352, 88, 350, 104);
    p.drawPath(bar);
    p.drawLine(seat, QPointF(190, 98));
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({{160, 90}, {214, 94}, {208, 102}, {172, 101}}));
    p.setBrush(Qt::white);
    p.drawEllipse(crank, 15, 15);
    p.drawLine(crank, crank + QPointF(22, 36));
    p.drawLine(crank + QPointF(10, 38), crank + QPointF(36, 36));
    return s.image();
}

QImage scissors()
{
    Sketch s(420, 280);
    QPainter &p = s.painter();
    p.setBrush(Qt::white);
    const QPointF pivot(215, 140);
    QPainterPathStroker stroker;
    stroker.setWidth(22);
    stroker.setCapStyle(Qt::RoundCap);
    // Each half: a finger ring, a shank to the pivot and a blade beyond it.
    for (const int side : {1, -1}) {
        const QPointF ring(88, 140 - side * 62);
        const QPointF tip(402, 140 + side * 78);
        QPainterPath shank;
        shank.moveTo(ring);
        shank.lineTo(pivot);
        const QPointF along = (tip - pivot) / std::hypot(tip.x() - pivot.x(), tip.y() - pivot.y());
        const QPointF across(-along.y(), along.x());
        QPainterPath blade;
        blade.moveTo(pivot + across * 13);
        blade.quadTo(pivot + (tip - pivot) * 0.6 + across * 12, tip);
        blade.lineTo(pivot - across * 12);
        blade.closeSubpath();
        QPainterPath outer;
        outer.addEllipse(ring, 52, 38);
        QPainterPath hole;
        hole.addEllipse(ring, 36, 24);
        const QPainterPath half = outer.united(stroker.createStroke(shank)).united(blade).subtracted(hole);
        p.drawPath(half);
    }
    s.dot(pivot, 6);
    return s.image();
}

QImage sun()
{
    Sketch s(360, 360);
    QPainter &p = s.painter();
    const QPointF centre(180, 180);
    p.drawEllipse(centre, 72, 72);
    for (int i = 0; i < 12; ++i) {
        const double a = i * 30.0;
        p.drawLine(polar(centre, 92, a), polar(centre, i % 2 ? 132 : 155, a));
    }
    // A smile and two eyes.
    s.dot(QPointF(155, 160), 7);
    s.dot(QPointF(205, 160), 7);
    QPainterPath smile;
    smile.moveTo(145, 195);
    smile.quadTo(180, 230, 215, 195);
    p.drawPath(smile);
    return s.image();
}

QImage bottle()
{
    Sketch s(260, 400);
    QPainter &p = s.painter();
    p.setBrush(Qt::white);
    QPainterPath glass;
    glass.moveTo(113, 55);
    glass.lineTo(113, 120);
    glass.cubicTo(113, 160, 75, 165, 75, 205);
    glass.lineTo(75, 350);
    glass.quadTo(75, 366, 91, 366);
    glass.lineTo(169, 366);
    glass.quadTo(185, 366, 185, 350);
    glass.lineTo(185, 205);
    glass.cubicTo(185, 165, 147, 160, 147, 120);
    glass.lineTo(147, 55);
    p.drawPath(glass);
    p.drawRect(QRect(106, 30, 48, 26));
    p.drawLine(75, 235, 185, 235);
    p.drawLine(75, 310, 185, 310);
    p.drawEllipse(QPointF(130, 272), 20, 20);
    return s.image();
}

QImage alarmClock()
{
    Sketch s(340, 350);
    QPainter &p = s.painter();
    const QPointF centre(170, 195);
    p.setBrush(Qt::white);
    p.drawLine(centre + QPointF(-70, 80), centre + QPointF(-92, 122));
    p.drawLine(centre + QPointF(70, 80), centre + QPointF(92, 122));
    for (const int side : {-1, 1}) {
        p.save();
        p.translate(polar(centre, 112, 90 - side * 42));
        p.rotate(side * 42);
        p.drawChord(QRect(-38, -36, 76, 72), 0, 180 * 16);
        p.restore();
    }
    p.drawRect(QRect(162, 68, 16, 20));
    p.drawEllipse(centre, 110, 110);
    p.drawEllipse(centre, 94, 94);
    for (int i = 0; i < 12; ++i) {
        const double a = i * 30.0;
        p.drawLine(polar(centre, i % 3 ? 80 : 70, a), polar(centre, 88, a));
    }
    // Ten past ten.
    p.setBrush(Qt::black);
    for (const auto &[angle, length, width] : {std::tuple{150.0, 50.0, 6.0}, std::tuple{30.0, 72.0, 4.0}}) {
        const QPointF tip = polar(centre, length, angle);
        const QPointF side = polar(QPointF(), width, angle + 90);
        p.drawPolygon(QPolygonF({centre + side, tip, centre - side}));
    }
    s.dot(centre, 8);
    return s.image();
}

QImage lamp()
{
    Sketch s(300, 400);
    QPainter &p = s.painter();
    p.setBrush(Qt::white);
    p.drawRect(QRect(144, 170, 12, 165));
    QPainterPath base;
    base.moveTo(85, 362);
    base.quadTo(92, 332, 150, 330);
    base.quadTo(208, 332, 215, 362);
    base.closeSubpath();
    p.drawPath(base);
    QPainterPath shade;
    shade.moveTo(110, 48);
    shade.lineTo(190, 48);
    shade.lineTo(242, 168);
    shade.quadTo(150, 184, 58, 168);
    shade.closeSubpath();
    p.drawPath(shade);
    p.drawLine(200, 174, 200, 222);
    p.drawEllipse(QPointF(200, 228), 6, 6);
    return s.image();
}

QImage flower()
{
    Sketch s(300, 400);
    QPainter &p = s.painter();
    p.setBrush(Qt::white);
    QPainterPath stem;
    stem.moveTo(150, 150);
    stem.quadTo(138, 270, 150, 372);
    p.drawPath(stem);
    QPainterPath leaves;
    leaves.moveTo(146, 292);
    leaves.quadTo(102, 236, 62, 252);
    leaves.quadTo(92, 300, 146, 292);
    leaves.moveTo(147, 250);
    leaves.quadTo(192, 196, 236, 210);
    leaves.quadTo(206, 258, 147, 250);
    p.drawPath(leaves);
    p.drawLine(146, 292, 100, 262);
    p.drawLine(147, 250, 200, 222);

    const QPointF centre(150, 118);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(45.0 * i);
        p.drawEllipse(QRectF(22, -20, 70, 40));
        p.restore();
    }
    p.drawEllipse(centre, 30, 30);
    for (const QPointF d : {QPointF(-10, -8), QPointF(10, -8), QPointF(0, 9)})
        s.dot(centre + d, 4);
    return s.image();
}

QImage boat()
{
    Sketch s(420, 360);
    QPainter &p = s.painter();
    p.setBrush(Qt::white);
    p.drawLine(200, 30, 200, 248);
    p.drawPolygon(QPolygon({{200, 26}, {232, 35}, {200, 44}}));
    p.drawPolygon(QPolygon({{208, 50}, {208, 236}, {335, 236}}));
    p.drawPolygon(QPolygon({{192, 72}, {192, 236}, {95, 236}}));
    p.drawPolygon(QPolygon({{55, 248}, {365, 248}, {322, 298}, {98, 298}}));
    s.dot(QPointF(150, 272), 6);
    s.dot(QPointF(210, 272), 6);
    s.dot(QPointF(270, 272), 6);
    QPainterPath waves;
    waves.moveTo(30, 322);
    for (int x = 30; x < 390; x += 60) {
        waves.quadTo(x + 15, 308, x + 30, 322);
        waves.quadTo(x + 45, 336, x + 60, 322);
    }
    p.setBrush(Qt::NoBrush);
    p.drawPath(waves);
    return s.image();
}

} // namespace

QList<Stimulus> stimuli()
{
    const auto answers = [](std::initializer_list<const char16_t *> texts) {
        QStringList list;
        for (const char16_t *t : texts)
            list << QString::fromUtf16(t);
        return list;
    };
    return {
        {QStringLiteral("kuca.bmp"), answers({u"KUĆA"}), house()},
        {QStringLiteral("kljuc.bmp"), answers({u"KLJUČ"}), key()},
        {QStringLiteral("riba.bmp"), answers({u"RIBA"}), fish()},
        {QStringLiteral("stolica.bmp"), answers({u"STOLICA"}), chair()},
        {QStringLiteral("drvo.bmp"), answers({u"DRVO", u"STABLO"}), tree()},
        {QStringLiteral("auto.bmp"), answers({u"AUTO", u"AUTOMOBIL"}), car()},
        {QStringLiteral("salica.bmp"), answers({u"ŠALICA"}), cup()},
        {QStringLiteral("kisobran.bmp"), answers({u"KIŠOBRAN"}), umbrella()},
        {QStringLiteral("naocale.bmp"), answers({u"NAOČALE"}), glasses()},
        {QStringLiteral("bicikl.bmp"), answers({u"BICIKL"}), bicycle()},
        {QStringLiteral("skare.bmp"), answers({u"ŠKARE"}), scissors()},
        {QStringLiteral("sunce.bmp"), answers({u"SUNCE"}), sun()},
        {QStringLiteral("boca.bmp"), answers({u"BOCA"}), bottle()},
        {QStringLiteral("sat.bmp"), answers({u"SAT", u"BUDILICA"}), alarmClock()},
        {QStringLiteral("lampa.bmp"), answers({u"LAMPA", u"SVJETILJKA"}), lamp()},
        {QStringLiteral("cvijet.bmp"), answers({u"CVIJET"}), flower()},
        {QStringLiteral("brod.bmp"), answers({u"BROD", u"BRODIĆ"}), boat()},
    };
}

} // namespace Drawings
