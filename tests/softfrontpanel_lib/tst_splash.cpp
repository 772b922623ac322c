// The splash composer: where the card picture and the texts land, which
// picture variant wins, and the line printed when the picture is unusable.
#include <QtTest>

#include "testsupport.h"
#include "tn6800fp_splashlabel.h"

namespace {

const char *const kWrongSize = "The size of the image of the device, that is to be used in the "
                               "splash screen, is not as required!!!\n";

QImage compose(int model, bool hex = true, float scale = 1.0f)
{
    return tn6800fp_splashLabel(scale, 20, model, hex, QStringLiteral("Notice line"),
                                QStringLiteral("8-Channel, 200kS/s DAC Function Card"))
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage background()
{
    return QImage(QStringLiteral(":/fp_splash.png")).convertToFormat(QImage::Format_RGB32);
}

// Counts pixels of the rectangle that differ from the plain background.
int changedPixels(const QImage &img, const QRect &r)
{
    const QImage bg = background();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += img.pixel(x, y) != bg.pixel(x, y);
    return n;
}

QFont boldFont(int pointSize)
{
    QFont f;
    f.setWeight(QFont::Bold);
    f.setPointSize(pointSize);
    return f;
}

} // namespace

class tst_splash : public QObject
{
    Q_OBJECT
private slots:
    void cardPictureAtItsPlace();
    void textsInTheirRectangles();
    void bitmapVariantWins();
    void printsWhenPictureUnusable();
    void printsWhenPictureUnusableChild();
    void displayName_data();
    void displayName();
};

void tst_splash::cardPictureAtItsPlace()
{
    const QImage img = compose(0x6820);
    QCOMPARE(img.size(), QSize(520, 400));
    const QImage card = QImage(QStringLiteral(":/tn6820fp_splash.png"));
    QCOMPARE(card.size(), QSize(452, 194));
    int compared = 0;
    for (int y = 0; y < card.height(); y += 7) {
        for (int x = 0; x < card.width(); x += 5) {
            const QRgb c = card.pixel(x, y);
            if (qAlpha(c) != 255)
                continue;
            QCOMPARE(img.pixel(67 + x, 43 + y) & 0xFFFFFF, c & 0xFFFFFF);
            ++compared;
        }
    }
    QVERIFY(compared > 500);
    // Left of the picture the background is untouched.
    QCOMPARE(changedPixels(img, QRect(0, 0, 66, 400)), 0);
}

void tst_splash::textsInTheirRectangles()
{
    const QImage img = compose(0x6820);
    const int ht = QFontMetrics(boldFont(18)).height();
    const int hs = QFontMetrics(boldFont(8)).height();
    const QRect title(87, 236 + ht / 2, 413, ht);
    const QRect name(87, 236 + 2 * ht, 413, 164 - 2 * ht - 3 * hs);
    const QRect notice(87, 400 - 2 * hs, 413, hs);
    QVERIFY(changedPixels(img, title) > 100);
    QVERIFY(changedPixels(img, name) > 100);
    QVERIFY(changedPixels(img, notice) > 30);
    // Nothing is painted below the notice or in the gap after the picture.
    QCOMPARE(changedPixels(img, QRect(67, 400 - hs, 453, hs)), 0);
    QCOMPARE(changedPixels(img, QRect(67, 237, 453, ht / 2 - 1)), 0);

    // A larger scale makes the title taller but leaves the notice where it was.
    const QImage big = compose(0x6820, true, 1.5f);
    const int bigHt = QFontMetrics(boldFont(27)).height();
    QVERIFY(bigHt > ht);
    QVERIFY(changedPixels(big, QRect(87, 236 + bigHt / 2, 413, bigHt)) > changedPixels(img, title));
    QCOMPARE(big.copy(notice), img.copy(notice));
}

void tst_splash::bitmapVariantWins()
{
    // A 520 x 400 bitmap variant: its region (67, 38, 453, 199) is used.
    const QImage img = compose(0x1234);
    QCOMPARE(img.pixel(67, 38) & 0xFFFFFF, qRgb(200, 30, 160) & 0xFFFFFF);
    QCOMPARE(img.pixel(519, 236) & 0xFFFFFF, qRgb(200, 30, 160) & 0xFFFFFF);
    QVERIFY(img.pixel(66, 38) != img.pixel(67, 38));
    QVERIFY((img.pixel(100, 237) & 0xFFFFFF) != (qRgb(200, 30, 160) & 0xFFFFFF));
    // A bitmap of any other size is passed over silently for the picture.
    const QImage other = compose(0x4321);
    const QImage card = QImage(QStringLiteral(":/tn6820fp_splash.png"));
    QCOMPARE(other.pixel(67 + 226, 43 + 97) & 0xFFFFFF, card.pixel(226, 97) & 0xFFFFFF);
    // Without the hexadecimal flag the resource names use decimal digits.
    const QImage decimal = compose(0x6820, false);
    QCOMPARE(decimal.pixel(67 + 226, 43 + 97) & 0xFFFFFF, card.pixel(226, 97) & 0xFFFFFF);
}

void tst_splash::printsWhenPictureUnusable()
{
    const sfptest::ChildResult r =
        sfptest::runInChild(QStringLiteral("printsWhenPictureUnusableChild"));
    QVERIFY(!r.crashed);
    QCOMPARE(r.exitCode, 0);
    // Printed for the missing and the wrongly sized picture, not for the good ones.
    QCOMPARE(r.out.count(kWrongSize), 2);
    QVERIFY(r.out.indexOf("good done") < r.out.indexOf(kWrongSize));
}

void tst_splash::printsWhenPictureUnusableChild()
{
    if (!sfptest::isChild())
        QSKIP("runs in the child process of printsWhenPictureUnusable");
    compose(0x6820);
    compose(0x1234);
    compose(0x4321);
    std::printf("good done\n");
    std::fflush(stdout);
    const QImage missing = compose(0x9999);
    const QImage wrong = compose(0x5555);
    QCOMPARE(changedPixels(missing, QRect(67, 38, 453, 199)), 0);
    QCOMPARE(changedPixels(wrong, QRect(67, 38, 453, 199)), 0);
}

void tst_splash::displayName_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("shown");
    QTest::newRow("DAC card") << "8-Channel, 200kS/s DAC Function Card"
                              << "8-Channel, 200kS/s DAC Function Card";
    QTest::newRow("FC") << "16-Channel Relay FC"
                        << "16-Channel Relay Function Card";
    QTest::newRow("twice") << "A FC and B FC"
                           << "A Function Card and B Function Card";
    QTest::newRow("case matters") << "Relay fc"
                                  << "Relay fc";
}

void tst_splash::displayName()
{
    QFETCH(QString, description);
    QFETCH(QString, shown);
    QCOMPARE(tn6800fp_displayName(description), shown);
}

QTEST_MAIN(tst_splash)
#include "tst_splash.moc"
