// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws the program's pictures into the folder given as the only argument.
// Everything is painted here so the pictures can be changed in code and
// redrawn; the output is byte-identical between runs (no clock, no random).
// Run with QT_QPA_PLATFORM=offscreen.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRadialGradient>
#include <QRectF>
#include <QString>
#include <QTextStream>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

const QString fontFamily = QStringLiteral("Noto Sans CJK SC");

// Shared palette: the header gradient, its accent and the light body surface.
const QColor headerLeft(0x23, 0x1e, 0x5a);
const QColor headerMid(0x1d, 0x33, 0x6e);
const QColor headerRight(0x0b, 0x57, 0x66);
const QColor accent(0x0e, 0xa2, 0xb0);
const QColor glyphTop(0x2e, 0xd3, 0xc0);
const QColor glyphBottom(0x4f, 0x5b, 0xd5);
const QColor body(0xf4, 0xf6, 0xf9); // BodyColor in src/shell/window_chrome.h
const QColor bodyLine(0xdf, 0xe4, 0xeb);

constexpr int headerHeight = 104;

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

// Every picture is drawn in its 1x units; SCALE multiplies the pixels, so the
// @2x pictures come from the same strokes rather than from upscaling.
QImage canvas(int width, int height, int scale, QImage::Format format = QImage::Format_ARGB32_Premultiplied)
{
    QImage image(width * scale, height * scale, format);
    image.fill(format == QImage::Format_RGB32 ? Qt::black : Qt::transparent);
    return image;
}

void scalePainter(QPainter &p, int scale)
{
    if (scale != 1)
        p.scale(scale, scale);
}

bool save(const QImage &image, const QDir &dir, const QString &name)
{
    // Opaque pictures are painted in RGB32 and stay RGB in the file; the rest
    // go out as straight alpha.
    const QString path = dir.filePath(name);
    const QImage out = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32) : image;
    if (!out.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The glyph shared by the logo and the icon, in units of its own square
// (0..1); icon.svg is written from the same numbers so the two stay alike.
struct Glyph
{
    static constexpr double cornerRadius = 0.24;
    static constexpr std::array<QPointF, 3> play{QPointF(0.27, 0.32), QPointF(0.27, 0.68),
                                                 QPointF(0.53, 0.50)};
    static constexpr double playJoin = 0.08; // rounds the triangle's corners
    static constexpr QPointF waveCentre{0.44, 0.50};
    static constexpr std::array<double, 2> waveRadii{0.21, 0.33};
    static constexpr double waveHalfAngle = 38.0; // degrees either side of the axis
    static constexpr double waveWidth = 0.075;
};

void drawGlyph(QPainter &p, const QRectF &box)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width(), box.height());
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient fill(0, 0, 1, 1);
    fill.setColorAt(0, glyphTop);
    fill.setColorAt(1, glyphBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0, 0, 1, 1), Glyph::cornerRadius, Glyph::cornerRadius);

    // A faint sheen on the upper half gives the flat square a little depth.
    QLinearGradient sheen(0, 0, 0, 0.55);
    sheen.setColorAt(0, QColor(255, 255, 255, 46));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(sheen);
    p.drawRoundedRect(QRectF(0, 0, 1, 1), Glyph::cornerRadius, Glyph::cornerRadius);

    QPainterPath play;
    play.moveTo(Glyph::play[0]);
    play.lineTo(Glyph::play[1]);
    play.lineTo(Glyph::play[2]);
    play.closeSubpath();
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::white, Glyph::playJoin, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(play);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, Glyph::waveWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (double r : Glyph::waveRadii) {
        const QRectF ring(Glyph::waveCentre.x() - r, Glyph::waveCentre.y() - r, 2 * r, 2 * r);
        QPainterPath wave;
        wave.arcMoveTo(ring, Glyph::waveHalfAngle);
        wave.arcTo(ring, Glyph::waveHalfAngle, -2 * Glyph::waveHalfAngle);
        p.drawPath(wave);
    }
    p.restore();
}

// Two decimals are plenty at icon sizes; trailing zeros are dropped.
QString svgNumber(double v)
{
    return QString::number(std::round(v * 100) / 100, 'g', 8);
}

QString iconSvg(double size, double margin)
{
    const double s = size - 2 * margin;
    auto at = [&](double u) { return svgNumber(margin + u * s); };

    QString waves;
    for (double r : Glyph::waveRadii) {
        const double a = radians(Glyph::waveHalfAngle);
        const double cx = Glyph::waveCentre.x(), cy = Glyph::waveCentre.y();
        waves += QStringLiteral("  <path d=\"M%1 %2 A%3 %3 0 0 1 %4 %5\"/>\n")
                     .arg(at(cx + r * std::cos(a)), at(cy - r * std::sin(a)), svgNumber(r * s),
                          at(cx + r * std::cos(a)), at(cy + r * std::sin(a)));
    }

    const auto &t = Glyph::play;
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
               " <defs>\n"
               "  <linearGradient id=\"fill\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\">\n"
               "   <stop offset=\"0\" stop-color=\"%2\"/>\n"
               "   <stop offset=\"1\" stop-color=\"%3\"/>\n"
               "  </linearGradient>\n"
               "  <linearGradient id=\"sheen\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"0.55\">\n"
               "   <stop offset=\"0\" stop-color=\"#ffffff\" stop-opacity=\"0.18\"/>\n"
               "   <stop offset=\"1\" stop-color=\"#ffffff\" stop-opacity=\"0\"/>\n"
               "  </linearGradient>\n"
               " </defs>\n"
               " <rect x=\"%4\" y=\"%4\" width=\"%5\" height=\"%5\" rx=\"%6\" fill=\"url(#fill)\"/>\n"
               " <rect x=\"%4\" y=\"%4\" width=\"%5\" height=\"%5\" rx=\"%6\" fill=\"url(#sheen)\"/>\n"
               " <path d=\"M%7 %8 L%9 %10 L%11 %12 Z\" fill=\"#ffffff\" stroke=\"#ffffff\" "
               "stroke-width=\"%13\" stroke-linejoin=\"round\"/>\n"
               " <g fill=\"none\" stroke=\"#ffffff\" stroke-width=\"%14\" stroke-linecap=\"round\">\n"
               "%15"
               " </g>\n"
               "</svg>\n")
        .arg(svgNumber(size), glyphTop.name(), glyphBottom.name(), svgNumber(margin), svgNumber(s),
             svgNumber(Glyph::cornerRadius * s), at(t[0].x()), at(t[0].y()), at(t[1].x()))
        .arg(at(t[1].y()), at(t[2].x()), at(t[2].y()), svgNumber(Glyph::playJoin * s),
             svgNumber(Glyph::waveWidth * s), waves);
}

// The header band alone: the flat body below it is filled by the window
// (BodyColor), so the program need not keep a window of identical pixels.
QImage background(int scale)
{
    constexpr int width = 800, height = headerHeight;
    QImage image = canvas(width, height, scale, QImage::Format_RGB32);
    image.fill(body);
    QPainter p(&image);
    scalePainter(p, scale);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF header(0, 0, width, headerHeight);

    QLinearGradient across(0, 0, width, 0);
    across.setColorAt(0, headerLeft);
    across.setColorAt(0.5, headerMid);
    across.setColorAt(1, headerRight);
    p.fillRect(header, across);

    // Slightly darker towards the bottom edge so the band reads as one piece.
    QLinearGradient down(0, 0, 0, headerHeight);
    down.setColorAt(0, QColor(255, 255, 255, 10));
    down.setColorAt(1, QColor(0, 0, 0, 34));
    p.fillRect(header, down);

    // Soft light behind the logo.
    QRadialGradient glow(QPointF(110, 20), 260);
    glow.setColorAt(0, QColor(120, 140, 255, 40));
    glow.setColorAt(1, QColor(120, 140, 255, 0));
    p.fillRect(header, glow);

    // Sound bars under the title links: they stay below y = 48 and fade in
    // from the left so the white links above keep a calm backdrop.
    constexpr double barsLeft = 420, barsRight = 792, centreY = 76, step = 7, barWidth = 3.2;
    p.setPen(Qt::NoPen);
    for (double x = barsLeft; x < barsRight; x += step) {
        const double t = (x - barsLeft) / (barsRight - barsLeft);
        const double envelope = 0.35 + 0.65 * std::sin(std::numbers::pi * std::min(1.0, t * 1.25));
        const double wobble = 0.5 + 0.5 * std::sin(x * 0.083) * std::cos(x * 0.031 + 1.3);
        const double half = 2.5 + 19.0 * envelope * wobble;
        const int alpha = int(8 + 34 * std::min(1.0, t * 2.0));
        p.setBrush(QColor(255, 255, 255, alpha));
        p.drawRoundedRect(QRectF(x, centreY - half, barWidth, 2 * half), barWidth / 2, barWidth / 2);
    }

    // One smooth wave line through the bars.
    QPainterPath wave;
    for (double x = barsLeft - 60; x <= barsRight; x += 2) {
        const double y = centreY + 9 * std::sin(x * 0.028) * std::sin(x * 0.0061 + 0.4);
        if (wave.elementCount() == 0)
            wave.moveTo(x, y);
        else
            wave.lineTo(x, y);
    }
    QLinearGradient waveFade(barsLeft - 60, 0, barsRight, 0);
    waveFade.setColorAt(0, QColor(94, 234, 212, 0));
    waveFade.setColorAt(0.5, QColor(94, 234, 212, 90));
    waveFade.setColorAt(1, QColor(94, 234, 212, 60));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(waveFade), 1.6));
    p.drawPath(wave);

    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, headerHeight, width, 1), bodyLine);
    return image;
}

bool fontAvailable()
{
    QFont font(fontFamily);
    if (QFontInfo(font).family() != fontFamily) {
        std::fprintf(stderr, "font \"%s\" not found (Debian: fonts-noto-cjk)\n", qPrintable(fontFamily));
        return false;
    }
    return true;
}

QImage logo(int scale)
{
    QImage image = canvas(210, 60, scale);
    QPainter p(&image);
    scalePainter(p, scale);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    drawGlyph(p, QRectF(1, 8, 44, 44));

    QFont title(fontFamily);
    title.setPixelSize(25);
    title.setWeight(QFont::Bold);
    title.setHintingPreference(QFont::PreferNoHinting);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QPointF(56, 32), QStringLiteral("Vexa辅助"));

    QFont subtitle(fontFamily);
    subtitle.setPixelSize(12);
    subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    subtitle.setHintingPreference(QFont::PreferNoHinting);
    p.setFont(subtitle);
    p.setPen(QColor(0xa5, 0xe9, 0xe6, 220));
    p.drawText(QPointF(57, 50), QStringLiteral("音乐分析 · 下载"));
    return image;
}

// The logo's glyph alone, placed as in the logo, for a window that writes its
// own title beside it.
QImage logoMark(int scale)
{
    QImage image = canvas(46, 60, scale);
    QPainter p(&image);
    scalePainter(p, scale);
    drawGlyph(p, QRectF(1, 8, 44, 44));
    return image;
}

QImage icon(int scale)
{
    QImage image = canvas(48, 48, scale);
    QPainter p(&image);
    scalePainter(p, scale);
    drawGlyph(p, QRectF(2, 2, 44, 44));
    return image;
}

// A beamed pair of eighth notes, built from shapes so no font is involved;
// coordinates are in a 100-unit box.
QPainterPath musicNote()
{
    QPainterPath note;
    note.setFillRule(Qt::WindingFill);
    const std::array<QPointF, 2> heads{QPointF(30, 76), QPointF(72, 68)};
    constexpr double stemWidth = 5.5, headRx = 12, headRy = 8.5, stemTop = 22, rise = 8;
    for (int i = 0; i < 2; ++i) {
        QPainterPath head;
        head.addEllipse(QPointF(0, 0), headRx, headRy);
        QTransform tilt;
        tilt.translate(heads[i].x(), heads[i].y());
        tilt.rotate(-22);
        note.addPath(tilt.map(head));
        const double stemRight = heads[i].x() + headRx - 0.8;
        const double top = stemTop - i * rise;
        note.addRect(QRectF(stemRight - stemWidth, top, stemWidth, heads[i].y() - top - 2));
    }
    const double left = heads[0].x() + headRx - 0.8 - stemWidth, right = heads[1].x() + headRx - 0.8;
    constexpr double beam = 11;
    QPainterPath bar;
    bar.moveTo(left, stemTop);
    bar.lineTo(right, stemTop - rise);
    bar.lineTo(right, stemTop - rise + beam);
    bar.lineTo(left, stemTop + beam);
    bar.closeSubpath();
    note.addPath(bar);
    return note.simplified();
}

// Drawn at the size the cover is shown (185 px), so the first frame shows
// it as it is: a stretched picture would cost a scaled copy and its filtering.
QImage defaultCover(int scale)
{
    constexpr int shown = 185;
    QImage image = canvas(shown, shown, scale, QImage::Format_RGB32);
    QPainter p(&image);
    scalePainter(p, scale);
    p.scale(shown / 152.0, shown / 152.0);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, 152, 152);

    QLinearGradient fill(0, 0, 152, 152);
    fill.setColorAt(0, QColor(0xf2, 0xf5, 0xfa));
    fill.setColorAt(1, QColor(0xd9, 0xe4, 0xee));
    p.fillRect(all, fill);

    // A pale disc, like a record behind the note.
    QRadialGradient disc(QPointF(76, 76), 58);
    disc.setColorAt(0, QColor(255, 255, 255, 150));
    disc.setColorAt(0.85, QColor(255, 255, 255, 90));
    disc.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(QPointF(76, 76), 58, 58);

    QPainterPath note = musicNote();
    const QRectF bounds = note.boundingRect();
    constexpr double noteScale = 0.78;
    QTransform place;
    place.translate(76 - bounds.center().x() * noteScale, 77 - bounds.center().y() * noteScale);
    place.scale(noteScale, noteScale);
    p.setBrush(QColor(0xa9, 0xb7, 0xc9));
    p.drawPath(place.map(note));
    return image;
}

QImage panel(int scale)
{
    QImage image = canvas(2, 2, scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(image.rect(), body);
    return image;
}

// Pixel art so every edge is crisp: X outline, o fill, anything else clear.
// The fingertip is the hot spot at (5, 0). At 2x each cell is a 2x2 block,
// which keeps the edges as crisp as the pixel art is.
QImage handCursor(int scale)
{
    static constexpr std::array<const char *, 23> rows{
        "....XXX.............", //
        "...XoooX............", //
        "...XoooX............", //
        "...XoooX............", //
        "...XoooX............", //
        "...XoooX............", //
        "...XoooXXXX.........", //
        "...XoooXoooXXXX.....", //
        "...XoooXoooXoooX....", //
        "...XoooXoooXoooXXXX.", //
        ".XXXoooXoooXoooXoooX", //
        "XooXoooXoooXoooXoooX", //
        "XooXoooXoooXoooXoooX", //
        "XooooooooooooooooooX", //
        ".XoooooooooooooooooX", //
        ".XoooooooooooooooooX", //
        "..XooooooooooooooooX", //
        "..XoooooooooooooooX.", //
        "...XooooooooooooooX.", //
        "...XoooooooooooooX..", //
        "....XooooooooooooX..", //
        "....XooooooooooooX..", //
        "....XXXXXXXXXXXXXX..", //
    };
    QImage image = canvas(32, 32, scale);
    QPainter p(&image);
    scalePainter(p, scale);
    for (int y = 0; y < int(rows.size()); ++y)
        for (int x = 0; rows[y][x] != '\0'; ++x) {
            if (rows[y][x] == 'X')
                p.fillRect(x, y, 1, 1, Qt::black);
            else if (rows[y][x] == 'o')
                p.fillRect(x, y, 1, 1, Qt::white);
        }
    return image;
}

// Drawn large once: its button shrinks it to whatever the screen needs, so it
// has no @2x.
QImage refresh()
{
    QImage image = canvas(512, 512, 1);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(256, 256);
    constexpr double radius = 166, width = 60;
    // Angles count counter-clockwise from three o'clock; the arrow runs
    // clockwise and ends in a head pointing into the gap at the upper right.
    constexpr double start = 14, end = 92, headLength = 100, headHalf = 68;
    const QRectF ring(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    auto onRing = [&](double degrees) {
        return QPointF(centre.x() + radius * std::cos(radians(degrees)),
                       centre.y() - radius * std::sin(radians(degrees)));
    };

    QPainterPath arc;
    arc.arcMoveTo(ring, start);
    arc.arcTo(ring, start, -(360 - (end - start)));
    p.setPen(QPen(accent, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);

    // The head points along the chord to where the ring would continue, so
    // its tip lands on the ring instead of flying off at a tangent.
    const QPointF base = onRing(end);
    const double sweep = 2 * std::asin(headLength / (2 * radius)) * 180 / std::numbers::pi;
    const QPointF tip = onRing(end - sweep);
    const QPointF along = (tip - base) / headLength;
    const QPointF across(-along.y(), along.x());
    QPainterPath head;
    head.moveTo(base + across * headHalf);
    head.lineTo(tip);
    head.lineTo(base - across * headHalf);
    head.closeSubpath();
    p.setPen(QPen(accent, 20, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(accent);
    p.drawPath(head);
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")) || !fontAvailable())
        return 1;

    bool ok = save(refresh(), dir, QStringLiteral("refresh.png"));
    for (int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png");
        ok = save(background(scale), dir, QStringLiteral("background") + suffix) && ok;
        ok = save(logo(scale), dir, QStringLiteral("logo") + suffix) && ok;
        ok = save(logoMark(scale), dir, QStringLiteral("logo_mark") + suffix) && ok;
        ok = save(defaultCover(scale), dir, QStringLiteral("default_cover") + suffix) && ok;
        ok = save(panel(scale), dir, QStringLiteral("panel") + suffix) && ok;
        ok = save(icon(scale), dir, QStringLiteral("icon") + suffix) && ok;
        ok = save(handCursor(scale), dir, QStringLiteral("hand_cursor") + suffix) && ok;
    }

    QFile svg(dir.filePath(QStringLiteral("icon.svg")));
    if (svg.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QTextStream(&svg) << iconSvg(48, 2);
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        ok = false;
    }
    return ok ? 0 : 1;
}
