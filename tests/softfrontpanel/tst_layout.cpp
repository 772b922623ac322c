// Every window as a user sees it, at 96, 120, 144 and 192 dpi: no text is
// clipped and every tab is in view, at the first size and at the smallest.
#include <QLineEdit>
#include <QMessageBox>
#include <cstdio>

#include "panelfixture.h"
#include "tn6800fp_about.h"
#include "tn6800fp_fcenteraddress.h"
#include "tn6800fp_fcselect.h"
#include "tn6800fp_license.h"
#include "tn6800fp_messages.h"
#include "tn6800fp_splashlabel.h"
#include "tn6820fp_main.h"

using sfptest::ModalAnswers;

namespace {

// On X11 the server answers a new window's size changes in its own time, and a
// busy machine can leave an early one in flight, which briefly gives the window
// a size outside its own limits; the window is measured once it is on screen
// and within them.
bool settle(QWidget *w)
{
    w->show();
    const bool exposed = QTest::qWaitForWindowExposed(w, 10000);
    // What is left outside the limits after the wait is reported as clipping.
    (void)QTest::qWaitFor(
        [w] {
            const QSize s = w->size();
            return s.expandedTo(w->minimumSize()) == s && s.boundedTo(w->maximumSize()) == s;
        },
        2000);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    return exposed;
}

// Prints what is wrong with a window's layout; the parent reads it.
void report(QWidget *w, const QString &what)
{
    const bool exposed = settle(w);
    const QByteArray dpi = qgetenv("SFP_LAYOUT_DPI");
    if (!exposed)
        std::printf("problem at %s dpi, %s: never shown on screen\n", dpi.constData(),
                    qPrintable(what));
    for (const QString &p : sfptest::layoutProblems(w))
        std::printf("problem at %s dpi, %s: %s\n", dpi.constData(), qPrintable(what),
                    qPrintable(p));
    std::printf("checked %s at %s dpi (%d dpi, pixel ratio %g, %dx%d)\n", qPrintable(what),
                dpi.constData(), w->logicalDpiX(), w->devicePixelRatioF(), w->width(), w->height());
    std::fflush(stdout);
}

// Checks a message box while it is shown, then closes it with the button.
std::function<void(QWidget *)> checkAndClick(const QString &what, const QString &button)
{
    return [=](QWidget *w) {
        report(w, what);
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>()) {
            if (b->text().remove(QLatin1Char('&')) == button) {
                b->click();
                return;
            }
        }
    };
}

} // namespace

class tst_layout : public QObject
{
    Q_OBJECT
private slots:
    void everyWindow_data();
    void everyWindow();
    void everyWindowChild();
    void sharpPictures_data();
    void sharpPictures();
    void sharpPicturesChild();
};

void tst_layout::everyWindow_data()
{
    QTest::addColumn<int>("dpi");
    for (int dpi : {96, 120, 144, 192})
        QTest::newRow(qPrintable(QStringLiteral("%1 dpi").arg(dpi))) << dpi;
}

// Each resolution in a process of its own: the toolkit reads it at start.
void tst_layout::everyWindow()
{
    QFETCH(int, dpi);
    const sfptest::ChildResult r = sfptest::runInChild(
        QStringLiteral("everyWindowChild"),
        {QStringLiteral("QT_FONT_DPI=%1").arg(dpi), QStringLiteral("SFP_LAYOUT_DPI=%1").arg(dpi)},
        60000);
    QVERIFY2(!r.crashed && r.exitCode == 0, r.out.constData());
    QVERIFY2(!r.out.contains("problem at"), r.out.constData());
    for (const char *window :
         {"demo panel", "demo panel at its smallest", "demo panel with every text",
          "demo panel with every text at its smallest",
          "demo panel with every text at its smallest, channel 8", "panel", "driver calls",
          "panel at its smallest", "About", "selection", "address entry", "licence",
          "connection question", "information box", "warning box", "error box"})
        QVERIFY2(r.out.contains(QByteArray("checked ") + window + " at " + QByteArray::number(dpi) +
                                " dpi"),
                 window);
}

void tst_layout::everyWindowChild()
{
    if (!sfptest::isChild())
        QSKIP("runs in the child processes of everyWindow");
    for (PanelFixture::Path path : {PanelFixture::Demo, PanelFixture::Vxi}) {
        PanelFixture f;
        tn6820fp_App &panel = f.open(path);
        const QString name =
            path == PanelFixture::Demo ? QStringLiteral("demo panel") : QStringLiteral("panel");
        panel.adjustSize();
        report(&panel, name);
        panel.resize(panel.minimumSize());
        report(&panel, name + QStringLiteral(" at its smallest"));
        if (path == PanelFixture::Vxi) {
            report(panel.about(), QStringLiteral("About"));
            f.get<QPushButton>(QStringLiteral("driverCallsButton"))->click();
            report(f.get<QWidget>(QStringLiteral("callLogWindow")), QStringLiteral("driver calls"));
        }
        if (path == PanelFixture::Demo) {
            // Everything that adds text: a phase on every channel (the line
            // under the common settings grows by each), a shape from a file
            // of a long name, samples beyond the range and a channel that
            // does not take part. None of it may widen the window.
            const int plain = panel.minimumSizeHint().width();
            QTemporaryDir dir;
            const QString shape = sfptest::writeFile(
                dir.path(), QString(120, QLatin1Char('w')) + QStringLiteral(".csv"), "0\n1\n-1\n");
            QVERIFY(f.channel(4)->loadShape(shape));
            f.channel(4)->arbitraryButton->click();
            for (int n = 1; n <= 8; ++n) {
                f.select(n)->setChecked(n != 8);
                f.channel(n)->phase->setValue(100 + 30.1 * n);
            }
            f.channel(2)->amplitude->setValue(f.channel(2)->amplitude->maximum());
            f.channel(2)->offset->setValue(f.channel(2)->offset->maximum());
            QVERIFY(f.preview(2)->exceedsRange());
            // The shapes' own texts: a duty and a symmetry the card cannot
            // give exactly, multiples with few samples a cycle, a formula
            // that does not parse after one that gives no number; channel 8
            // has all its preview can say at once.
            f.channel(1)->squareButton->click();
            f.channel(1)->duty->setValue(33.3);
            f.channel(1)->multiple->setValue(40);
            f.channel(3)->triangleButton->click();
            f.channel(3)->symmetry->setValue(90.1);
            f.channel(3)->multiple->setValue(999);
            for (int n : {5, 8}) {
                f.channel(n)->formulaButton->click();
                f.channel(n)->formula->clear();
                QTest::keyClicks(f.channel(n)->formula, QStringLiteral("1/(x-0.5) +"));
            }
            f.channel(8)->multiple->setValue(1000);
            f.channel(8)->offset->setValue(f.channel(8)->offset->maximum());
            QVERIFY(f.preview(8)->notes().size() >= 4);
            auto *tabs = f.get<QTabWidget>(QStringLiteral("channelTabs"));
            tabs->setCurrentIndex(1);
            panel.adjustSize();
            report(&panel, QStringLiteral("demo panel with every text"));
            if (panel.minimumSizeHint().width() > plain)
                std::printf("problem at %s dpi, every text widens the panel from %d to %d px\n",
                            qgetenv("SFP_LAYOUT_DPI").constData(), plain,
                            panel.minimumSizeHint().width());
            panel.resize(panel.minimumSize());
            report(&panel, QStringLiteral("demo panel with every text at its smallest"));
            for (int n : {1, 3, 5, 8}) {
                tabs->setCurrentIndex(n - 1);
                report(&panel, QStringLiteral("demo panel with every text at its smallest, "
                                              "channel %1")
                                   .arg(n));
            }
        }
    }
    {
        sfptest::SimBench bench;
        tn6820_fc card;
        tn6800fp_fcSelect select(&card, false);
        QCOMPARE(select.findFunctionCards(), 2);
        report(&select, QStringLiteral("selection"));
        sfptest::ProfileDir profile;
        tn6800fp_fcEnterAddress address(&card);
        address.loadDefaults();
        report(&address, QStringLiteral("address entry"));
        qtLicense licence;
        report(&licence, QStringLiteral("licence"));
        ModalAnswers answers;
        answers.act(checkAndClick(QStringLiteral("connection question"), QStringLiteral("Cancel")));
        QVERIFY(!select.selectFunctionCard());
        answers.act(checkAndClick(QStringLiteral("information box"), QStringLiteral("OK")));
        showInfo(QStringLiteral("Something to say"));
        answers.act(checkAndClick(QStringLiteral("warning box"), QStringLiteral("OK")));
        showWarning(QStringLiteral("Please enter the resource descriptor and select the Function "
                                   "Card number."));
        answers.act(checkAndClick(QStringLiteral("error box"), QStringLiteral("No")));
        showError(QStringLiteral("tn6820_setFilter(vi(), filter) failed due to [The filter code "
                                 "is out of range.]"));
        QVERIFY(answers.allAnswered());
    }
}

void tst_layout::sharpPictures_data()
{
    QTest::addColumn<int>("ratio");
    QTest::newRow("1x") << 1;
    QTest::newRow("2x") << 2;
}

// On a screen of twice the pixels the pictures come from their "@2x" twins
// and the icons have pixel-doubled copies; on a plain screen nothing changes.
void tst_layout::sharpPictures()
{
    QFETCH(int, ratio);
    const sfptest::ChildResult r = sfptest::runInChild(
        QStringLiteral("sharpPicturesChild"), {QStringLiteral("QT_SCALE_FACTOR=%1").arg(ratio),
                                               QStringLiteral("SFP_RATIO=%1").arg(ratio)});
    QVERIFY2(!r.crashed && r.exitCode == 0, r.out.constData());
    QVERIFY2(r.out.contains("PASS   : tst_layout::sharpPicturesChild()"), r.out.constData());
}

void tst_layout::sharpPicturesChild()
{
    if (!sfptest::isChild())
        QSKIP("runs in the child processes of sharpPictures");
    const int ratio = qEnvironmentVariableIntValue("SFP_RATIO");
    QCOMPARE(int(qApp->devicePixelRatio()), ratio);
    tn6820_fc card;
    const tn6800fp_splashLabel splash(1.0f, 20, card.modelCode, true, card.noticeText(),
                                      tn6800fp_displayName(card.description()));
    QCOMPARE(splash.size(), QSize(520, 400) * ratio);
    QCOMPARE(int(splash.devicePixelRatio()), ratio);
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Demo);
    QVERIFY(settle(&panel));
    const QImage logo = sfptest::labelImage(f.get<QLabel>(QStringLiteral("makerLogo")));
    QCOMPARE(logo.size(), QSize(86, 84) * ratio);
    QCOMPARE(int(logo.devicePixelRatio()), ratio);
    // Each picture-only button holds its picture at one and at two times its size.
    QPushButton *sine = f.channel(1)->sineButton;
    QVERIFY(sine->icon().availableSizes().contains(sine->iconSize()));
    QVERIFY(sine->icon().availableSizes().contains(sine->iconSize() * 2));
}

// The toolkit is prepared as the program prepares it, before the application.
int main(int argc, char **argv)
{
    tn6820fp_prepareToolkit();
    QApplication app(argc, argv);
    tst_layout test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_layout.moc"
