// The lamp widget: its size, its colours in each state and its repaints.
#include <QtTest>

#include "tn6800fp_led.h"

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

QColor lampCentre(tn6800fp_led &led)
{
    const int h = QFontMetrics(led.font()).height();
    const int x0 = (led.width() - led.minimumSizeHint().width()) / 2 + 2;
    return led.grab().toImage().pixelColor(x0 + h / 2, h / 2);
}

bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) <= 8 && qAbs(a.green() - b.green()) <= 8 &&
           qAbs(a.blue() - b.blue()) <= 8;
}

} // namespace

class tst_led : public QObject
{
    Q_OBJECT
private slots:
    void sizeHint_data();
    void sizeHint();
    void lampColours_data();
    void lampColours();
    void smallFontPaintsPlainDisc();
    void toggleValue();
    void setValueRepaintsOnlyOnChange();
    void namedColourConstructor();
};

void tst_led::sizeHint_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("height"); // of the font
    QTest::addColumn<int>("lamp");   // the width without the text, by hand: h + 1 + (h + 1) / 2
    QTest::newRow("no text, h 15") << QString() << 15 << 24;
    QTest::newRow("Active, h 19") << QStringLiteral("Active") << 19 << 30;
    QTest::newRow("Active, h 36") << QStringLiteral("Active") << 36 << 55;
    QTest::newRow("no text, h 9") << QString() << 9 << 15;
}

void tst_led::sizeHint()
{
    QFETCH(QString, text);
    QFETCH(int, height);
    QFETCH(int, lamp);
    tn6800fp_led led(text, Qt::green, Qt::magenta);
    // The font whose height is the row's.
    QFont f = led.font();
    for (int pixels = 1; pixels < 100 && QFontMetrics(f).height() != height; ++pixels)
        f.setPixelSize(pixels);
    const QFontMetrics fm(f);
    QCOMPARE(fm.height(), height);
    led.setFont(f);
    QCOMPARE(led.minimumSizeHint(), QSize(lamp + fm.horizontalAdvance(text), height + 2));
    QCOMPARE(led.sizePolicy().horizontalPolicy(), QSizePolicy::Maximum);
    QCOMPARE(led.sizePolicy().verticalPolicy(), QSizePolicy::Maximum);
}

void tst_led::lampColours_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("thirdSet");
    QTest::addColumn<QString>("expected"); // "on", "off", "third", "background"
    QTest::addColumn<bool>("magentaOff");
    QTest::newRow("off, no off colour") << 0 << false << "background" << true;
    QTest::newRow("off, red off colour") << 0 << false << "off" << false;
    QTest::newRow("on") << 1 << false << "on" << true;
    QTest::newRow("other non-zero is on") << 7 << false << "on" << true;
    QTest::newRow("2 without third colour") << 2 << false << "on" << true;
    QTest::newRow("2 with third colour") << 2 << true << "third" << true;
    QTest::newRow("1 with third colour") << 1 << true << "on" << true;
}

void tst_led::lampColours()
{
    QFETCH(int, value);
    QFETCH(bool, thirdSet);
    QFETCH(QString, expected);
    QFETCH(bool, magentaOff);
    tn6800fp_led led(QStringLiteral("Active"), Qt::green, magentaOff ? Qt::magenta : Qt::red);
    if (thirdSet)
        led.setThirdColour(Qt::blue);
    led.setValue(value);
    led.resize(led.minimumSizeHint());
    const QColor want = expected == "on"      ? QColor(Qt::green)
                        : expected == "off"   ? QColor(Qt::red)
                        : expected == "third" ? QColor(Qt::blue)
                                              : led.palette().color(QPalette::Window);
    QCOMPARE(led.fillColour(), want);
    const QColor got = lampCentre(led);
    QVERIFY2(near(got, want), qPrintable(got.name() + " != " + want.name()));
}

void tst_led::smallFontPaintsPlainDisc()
{
    tn6800fp_led led(QString(), Qt::green, Qt::magenta);
    QFont f = led.font();
    f.setPixelSize(6);
    led.setFont(f);
    led.setValue(1);
    led.resize(led.minimumSizeHint());
    const int h = QFontMetrics(f).height();
    QVERIFY(h < 10);
    // Without a rim, the disc is green right up to one pixel inside its edge.
    const QImage img = led.grab().toImage();
    QVERIFY(near(img.pixelColor(2 + h / 2, h / 2), Qt::green));
    QVERIFY(near(img.pixelColor(2 + h / 2, 1), Qt::green) ||
            near(img.pixelColor(2 + h / 2, 2), Qt::green));

    // With a larger font the outer ring is the rim, not the lamp.
    tn6800fp_led big(QString(), Qt::green, Qt::magenta);
    QFont bf = big.font();
    bf.setPixelSize(24);
    big.setFont(bf);
    big.setValue(1);
    big.resize(big.minimumSizeHint());
    const int bh = QFontMetrics(bf).height();
    const QImage bimg = big.grab().toImage();
    QVERIFY(!near(bimg.pixelColor(2 + bh / 2, 1), Qt::green));
    QVERIFY(near(bimg.pixelColor(2 + bh / 2, bh / 2), Qt::green));
}

void tst_led::toggleValue()
{
    tn6800fp_led led(QStringLiteral("x"), Qt::green, Qt::magenta);
    QSignalSpy spy(&led, &tn6800fp_led::valueToggled);
    led.toggleValue();
    QCOMPARE(led.value(), 1);
    led.toggleValue();
    QCOMPARE(led.value(), 0);
    led.setValue(2);
    led.toggleValue();
    QCOMPARE(led.value(), 0);
    QCOMPARE(spy.count(), 3);
}

void tst_led::setValueRepaintsOnlyOnChange()
{
    tn6800fp_led led(QStringLiteral("Active"), Qt::green, Qt::magenta);
    led.show();
    QVERIFY(QTest::qWaitForWindowExposed(&led));
    QCoreApplication::processEvents();
    PaintCounter counter;
    led.installEventFilter(&counter);
    QSignalSpy spy(&led, &tn6800fp_led::valueToggled);
    led.setValue(0);
    QCOMPARE(counter.count, 0);
    led.setValue(1);
    QCOMPARE(counter.count, 1); // repainted at once, not later
    led.setValue(1);
    led.setText(QStringLiteral("Active"));
    QCOMPARE(counter.count, 1);
    QCOMPARE(spy.count(), 0);
    // A new text is painted at once, and once.
    led.setText(QStringLiteral("Running"));
    QCOMPARE(counter.count, 2);
}

void tst_led::namedColourConstructor()
{
    tn6800fp_led named(QStringLiteral("x"), "#00ff00");
    QCOMPARE(named.onColour(), QColor(0, 255, 0));
    QCOMPARE(named.offColour(), named.palette().color(QPalette::Window));
    tn6800fp_led unnamed(QStringLiteral("x"), nullptr);
    QCOMPARE(unnamed.onColour(), QColor(255, 0, 0));
}

QTEST_MAIN(tst_led)
#include "tst_led.moc"
