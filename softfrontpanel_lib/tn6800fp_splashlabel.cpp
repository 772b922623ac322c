#include "tn6800fp_splashlabel.h"

#include <QGuiApplication>
#include <QPainter>
#include <QtConcurrent>
#include <cstdio>

#include "tn6800fp_icons.h"
#include "tn6800fp_style.h"

tn6800fp_splashLabel::tn6800fp_splashLabel(float scale, int inset, int modelCode, bool hexadecimal,
                                           const QString &noticeText, const QString &displayName)
{
    tn6800fp_initResources();
    const QString model =
        QStringLiteral("%1").arg(modelCode, 4, hexadecimal ? 16 : 10, QLatin1Char(' '));
    // On a screen with twice the pixels the picture is composed from the
    // "@2x" pictures at twice the resolution, in the same coordinates, so the
    // text painted over it is as sharp as the rest of the screen.
    const bool twice = tn6800fp_twiceTheResolution();
    const QString twin = twice ? QStringLiteral("@2x") : QString();
    // Decoding the pictures takes about as long as starting the font system,
    // which the first font metrics do: both run at once.
    const auto decode = [](const QString &name) { return QImage(name); };
    QFuture<QImage> background =
        QtConcurrent::run(decode, QStringLiteral(":/fp_splash%1.png").arg(twin));
    QFuture<QImage> bitmap =
        QtConcurrent::run(decode, QStringLiteral(":/tn%1fp_splash.bmp").arg(model));
    QFuture<QImage> picture =
        QtConcurrent::run(decode, QStringLiteral(":/tn%1fp_splash%2.png").arg(model, twin));

    // Copies of the painter's font, which is the application's default font.
    QFont title = QGuiApplication::font();
    title.setWeight(QFont::Bold);
    QFont name = title;
    QFont notice = title;
    title.setPointSize(int(scale * 18.0));
    name.setPointSize(int(scale * 12.0));
    notice.setPointSize(8);
    const int ht = QFontMetrics(title).height();
    const int hs = QFontMetrics(notice).height();

    // A card without "@2x" pictures is composed from its plain ones.
    QImage back = background.result();
    QImage card = picture.result();
    const int ratio = twice && back.size() == QSize(1040, 800) ? 2 : 1;
    if (twice && ratio == 1)
        back = QImage(QStringLiteral(":/fp_splash.png"));
    if (twice && card.size() != QSize(904, 388))
        card = QImage(QStringLiteral(":/tn%1fp_splash.png").arg(model));
    convertFromImage(back);
    setDevicePixelRatio(ratio);
    if (isNull()) {
        bitmap.waitForFinished();
        picture.waitForFinished();
        return; // nothing can be painted on a null picture
    }
    QPainter p(this);
    const int x = 67 + inset;
    const int w = 453 - 2 * inset;
    p.setFont(title);
    p.drawText(QRect(x, 236 + ht / 2, w, ht), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Orbana %1").arg(model));
    p.setFont(name);
    p.drawText(QRect(x, 236 + 2 * ht, w, 164 - 2 * ht - 3 * hs),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, displayName);
    p.setFont(notice);
    p.drawText(QRect(x, 400 - 2 * hs, w, hs), Qt::AlignHCenter | Qt::AlignVCenter, noticeText);

    if (bitmap.result().size() == QSize(520, 400)) {
        p.drawImage(QRect(67, 38, 453, 199), bitmap.result(), QRect(67, 38, 453, 199));
    } else if (card.size() == QSize(452, 194) || card.size() == QSize(904, 388)) {
        p.drawImage(QRect(67, 43, 452, 194), card);
    } else {
        std::fputs("The size of the image of the device, that is to be used in the splash "
                   "screen, is not as required!!!\n",
                   stdout);
        std::fflush(stdout);
    }
    p.end();
}

tn6800fp_splashLabel::~tn6800fp_splashLabel() = default;

QString tn6800fp_displayName(const QString &description)
{
    QString name = description;
    return name.replace(QStringLiteral(" FC"), QStringLiteral(" Function Card"));
}
