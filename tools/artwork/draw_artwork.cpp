// Draws the program's artwork: the splash background, the 6820's front view
// and the maker's, VXI and LXI logos, at the sizes and in the formats the
// program loads them.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

namespace {

const QColor kNavy(0x1a, 0x2c, 0x5e);

// 1 for the pictures as the program loads them, 2 for their "@2x" twins that
// Qt picks on screens of twice the resolution. Every picture is drawn in the
// same coordinates either way; only the canvas has more pixels.
int g_scale = 1;

QImage canvas(int width, int height, QImage::Format format)
{
    QImage img(width * g_scale, height * g_scale, format);
    img.setDevicePixelRatio(g_scale);
    return img;
}
const QColor kAccent(0xf0, 0x8a, 0x24);

QFont sans(int pixelSize, int weight = QFont::Normal, qreal spacing = 100)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    f.setLetterSpacing(QFont::PercentageSpacing, spacing);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// The maker's mark: two interlocking chevrons forming an M.
void drawMark(QPainter &p, const QRectF &r, const QColor &main, const QColor &accent)
{
    const qreal w = r.width();
    const qreal h = r.height();
    QPainterPath left;
    left.moveTo(r.left(), r.bottom());
    left.lineTo(r.left(), r.top());
    left.lineTo(r.left() + w * 0.5, r.top() + h * 0.55);
    left.lineTo(r.left() + w * 0.5, r.top() + h * 0.82);
    left.lineTo(r.left() + w * 0.2, r.top() + h * 0.5);
    left.lineTo(r.left() + w * 0.2, r.bottom());
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(r.right(), r.bottom());
    right.lineTo(r.right(), r.top());
    right.lineTo(r.left() + w * 0.5, r.top() + h * 0.55);
    right.lineTo(r.left() + w * 0.5, r.top() + h * 0.82);
    right.lineTo(r.right() - w * 0.2, r.top() + h * 0.5);
    right.lineTo(r.right() - w * 0.2, r.bottom());
    right.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(main);
    p.drawPath(left);
    p.setBrush(accent);
    p.drawPath(right);
}

QImage makerLogo()
{
    QImage img = canvas(86, 84, QImage::Format_RGB32);
    img.fill(kNavy);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawMark(p, QRectF(21, 10, 44, 40), Qt::white, kAccent);
    p.setPen(Qt::white);
    p.setFont(sans(14, QFont::Bold, 110));
    p.drawText(QRect(0, 54, 86, 20), Qt::AlignCenter, QStringLiteral("MORVIX"));
    return img;
}

QImage busLogo(int width, const QString &letters, const QString &caption, const QColor &swoosh)
{
    QImage img = canvas(width, 84, QImage::Format_RGB32);
    img.fill(kNavy);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arc;
    arc.moveTo(8, 58);
    arc.cubicTo(width * 0.35, 72, width * 0.7, 64, width - 8, 34);
    arc.cubicTo(width * 0.7, 58, width * 0.35, 65, 8, 58);
    p.setPen(Qt::NoPen);
    p.setBrush(swoosh);
    p.drawPath(arc);
    p.setPen(Qt::white);
    p.setFont(sans(40, QFont::Black, 104));
    p.drawText(QRect(0, 4, width, 50), Qt::AlignCenter, letters);
    p.setFont(sans(9, QFont::DemiBold, 105));
    p.setPen(QColor(0xc8, 0xd2, 0xec));
    p.drawText(QRect(0, 64, width, 16), Qt::AlignCenter, caption);
    return img;
}

QImage splashBackground()
{
    QImage img = canvas(520, 400, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient light(0, 0, 0, 400);
    light.setColorAt(0, QColor(0xf4, 0xf6, 0xfa));
    light.setColorAt(1, QColor(0xdd, 0xe3, 0xee));
    p.fillRect(QRect(0, 0, 520, 400), light);
    // A navy band down the left edge with the maker's mark.
    QLinearGradient band(0, 0, 60, 0);
    band.setColorAt(0, kNavy.darker(130));
    band.setColorAt(1, kNavy);
    p.fillRect(QRect(0, 0, 60, 400), band);
    p.fillRect(QRect(60, 0, 3, 400), kAccent);
    drawMark(p, QRectF(12, 18, 36, 32), Qt::white, kAccent);
    p.save();
    p.translate(38, 380);
    p.rotate(-90);
    p.setPen(QColor(0xc8, 0xd2, 0xec));
    p.setFont(sans(13, QFont::Bold, 140));
    p.drawText(QPoint(0, 0), QStringLiteral("MORVIX  INSTRUMENTS"));
    p.restore();
    // A faint measurement grid behind the card's picture.
    p.setPen(QPen(QColor(0xd0, 0xd8, 0xe6), 1));
    for (int x = 80; x < 520; x += 20)
        p.drawLine(x, 20, x, 250);
    for (int y = 20; y <= 250; y += 20)
        p.drawLine(63, y, 520, y);
    // A thin rule between picture and texts, and one above the notice.
    p.fillRect(QRect(87, 240, 413, 2), kNavy);
    p.fillRect(QRect(87, 362, 413, 1), QColor(0x9a, 0xa6, 0xbf));
    return img;
}

void drawConnector(QPainter &p, const QPointF &c)
{
    QRadialGradient nut(c - QPointF(3, 3), 13);
    nut.setColorAt(0, QColor(0xf2, 0xf2, 0xf0));
    nut.setColorAt(1, QColor(0x8a, 0x8c, 0x90));
    p.setPen(QPen(QColor(0x50, 0x52, 0x58), 1));
    p.setBrush(nut);
    QPolygonF hex;
    for (int i = 0; i < 6; ++i) {
        const double a = (60.0 * i + 30.0) * 3.14159265358979 / 180.0;
        hex << c + QPointF(12.5 * std::cos(a), 12.5 * std::sin(a));
    }
    p.drawPolygon(hex);
    p.setBrush(QColor(0xd8, 0xc0, 0x70));
    p.drawEllipse(c, 8.0, 8.0);
    p.setBrush(QColor(0x30, 0x30, 0x34));
    p.drawEllipse(c, 5.0, 5.0);
    p.setBrush(QColor(0xe8, 0xd8, 0x90));
    p.drawEllipse(c, 1.8, 1.8);
}

QImage cardPicture()
{
    QImage img = canvas(452, 194, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The circuit board seen behind the front plate.
    QLinearGradient pcb(0, 20, 0, 60);
    pcb.setColorAt(0, QColor(0x1f, 0x5e, 0x3a));
    pcb.setColorAt(1, QColor(0x14, 0x44, 0x29));
    p.setPen(Qt::NoPen);
    p.setBrush(pcb);
    p.drawRoundedRect(QRectF(40, 14, 372, 40), 3, 3);
    p.setPen(QPen(QColor(0xc9, 0xa8, 0x4a), 1));
    for (int x = 52; x < 400; x += 9)
        p.drawLine(x, 18, x, 30);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x22, 0x22, 0x26));
    for (int i = 0; i < 5; ++i)
        p.drawRect(QRectF(70 + i * 62, 34, 38, 14));
    // The front plate.
    QLinearGradient plate(0, 48, 0, 168);
    plate.setColorAt(0, QColor(0xee, 0xf0, 0xf3));
    plate.setColorAt(0.45, QColor(0xc9, 0xcd, 0xd4));
    plate.setColorAt(1, QColor(0x9c, 0xa2, 0xac));
    p.setPen(QPen(QColor(0x5c, 0x62, 0x6c), 1.2));
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(6, 48, 440, 118), 5, 5);
    // Ejector handles at both ends.
    for (int side = 0; side < 2; ++side) {
        const double x = side == 0 ? 10 : 412;
        QLinearGradient handle(x, 0, x + 30, 0);
        handle.setColorAt(0, QColor(0x2a, 0x2c, 0x31));
        handle.setColorAt(1, QColor(0x4a, 0x4d, 0x55));
        p.setPen(QPen(QColor(0x15, 0x15, 0x18), 1));
        p.setBrush(handle);
        p.drawRoundedRect(QRectF(x, 56, 30, 102), 6, 6);
        p.setBrush(QColor(0xb8, 0xbc, 0xc4));
        p.drawEllipse(QPointF(x + 15, 68), 4.0, 4.0);
        p.drawEllipse(QPointF(x + 15, 146), 4.0, 4.0);
    }
    // The navy label strip with model and maker.
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawRect(QRectF(48, 56, 356, 20));
    p.setPen(Qt::white);
    p.setFont(sans(12, QFont::Bold, 105));
    p.drawText(QRectF(56, 56, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("ORBANA 6820"));
    p.setFont(sans(9, QFont::DemiBold, 105));
    p.drawText(QRectF(200, 56, 196, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("8 CH DAC  \u00b110 V  200 kS/s"));
    // Eight output connectors with their lamps and labels.
    for (int ch = 0; ch < 8; ++ch) {
        const QPointF c(74 + ch * 43.4, 112);
        drawConnector(p, c);
        p.setPen(QColor(0x1c, 0x20, 0x28));
        p.setFont(sans(9, QFont::Bold));
        p.drawText(QRectF(c.x() - 20, 128, 40, 14), Qt::AlignCenter,
                   QStringLiteral("CH%1").arg(ch + 1));
        QRadialGradient lamp(c + QPointF(-1, -27), 4);
        lamp.setColorAt(0, QColor(0xb0, 0xff, 0xb0));
        lamp.setColorAt(1, QColor(0x10, 0x90, 0x30));
        p.setPen(QPen(QColor(0x20, 0x40, 0x20), 0.8));
        p.setBrush(lamp);
        p.drawEllipse(c + QPointF(0, -27), 3.2, 3.2);
    }
    p.setPen(QColor(0x3a, 0x40, 0x4a));
    p.setFont(sans(8, QFont::DemiBold, 110));
    p.drawText(QRectF(48, 144, 356, 14), Qt::AlignCenter,
               QStringLiteral("ANALOG OUTPUT  \u2022  FUNCTION CARD"));
    return img;
}

// The desktop icon: the maker's mark on the title bar's navy.
QImage appIcon()
{
    QImage img = canvas(64, 64, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    drawMark(p, QRectF(14, 10, 36, 30), Qt::white, kAccent);
    p.setPen(Qt::white);
    p.setFont(sans(13, QFont::Bold));
    p.drawText(QRect(0, 40, 64, 18), Qt::AlignCenter, QStringLiteral("6820"));
    return img;
}

bool save(const QImage &img, const QString &path, const char *format)
{
    if (!img.save(path, format)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), img.width(), img.height());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    // draw_artwork [folder] [2]: with 2, the "@2x" pictures beside the others.
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources"));
    g_scale = argc > 2 && QByteArray(argv[2]) == "2" ? 2 : 1;
    const auto name = [&out](const char *base, const char *suffix) {
        return out.filePath(QLatin1String(base) +
                            (g_scale == 2 ? QStringLiteral("@2x") : QString()) +
                            QLatin1String(suffix));
    };
    bool ok = save(makerLogo(), name("morvix-logo", ".bmp"), "BMP");
    ok = save(busLogo(146, QStringLiteral("VXI"), QStringLiteral("VXIbus  SYSTEMS"),
                      QColor(0xd0, 0x3a, 0x2e)),
              name("vxi-logo", ".bmp"), "BMP") &&
         ok;
    ok = save(busLogo(121, QStringLiteral("LXI"), QStringLiteral("LAN INSTRUMENT"),
                      QColor(0x3c, 0xb0, 0x4c)),
              name("lxi-logo", ".bmp"), "BMP") &&
         ok;
    ok = save(splashBackground(), name("fp_splash", ".png"), "PNG") && ok;
    ok = save(appIcon(), name("tn6820fp", ".png"), "PNG") && ok;
    ok = save(cardPicture(), name("tn6820fp_splash", ".png"), "PNG") && ok;
    return ok ? 0 : 1;
}
