// The DAC panel end to end: built through the real connection dialogs and
// driven with clicks, checked against the stand-ins' trace.
#include "bench.h"
#include "panelfixture.h"
#include "tn6800fp_about.h"
#include "tn6800fp_calllog.h"
#include "tn6800fp_calllogwindow.h"
#include "tn6820fp_synthesis.h"

#include <QAccessible>
#include <QTableView>
#include <cstring>

using sfptest::labelText;
using sfptest::ModalAnswers;
using sfptest::sameBits;
using sfptest::traceArgs;
using sfptest::traceSamples;

class tst_panel : public QObject
{
    Q_OBJECT
private slots:
    void vxiHeader();
    void lxiHeader_data();
    void lxiHeader();
    void demoPanel();
    void accessibleNames_data();
    void accessibleNames();
    void wholeLongTexts();
    void revisionNeedsSession_data();
    void revisionNeedsSession();
    void singleCycle();
    void realOutput_data();
    void realOutput();
    void singleCycleWaitsOnePeriod_data();
    void singleCycleWaitsOnePeriod();
    void continuousAllChannels();
    void continuousRepeatsWholeCycles();
    void immediateValues();
    void filterAndReset();
    void noChannelSelected();
    void waveformButtons();
    void outputLimitsOfTheCard();
    void closeWindow_data();
    void closeWindow();
    void driverCallsAsTraced();
};

void tst_panel::vxiHeader()
{
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Vxi);
    QCOMPARE(panel.windowTitle(), QStringLiteral("Orbana 6820 Soft Front Panel"));
    QCOMPARE(labelText(panel, "moduleLabel"), QStringLiteral("Slot 3"));
    QCOMPARE(labelText(panel, "cardLabel"), QStringLiteral("FC 2"));
    QCOMPARE(labelText(panel, "titleLabel"),
             QStringLiteral("<html>Orbana 6820<br><font size='2'>8-Channel, 200kS/s DAC Function "
                            "Card</font></html>"));
    QCOMPARE(panel.findChild<tn6800fp_led *>(QStringLiteral("activeLed"))->value(), 1);
    QCOMPARE(sfptest::labelImage(panel.findChild<QLabel *>(QStringLiteral("carrierLogo"))),
             QImage(QStringLiteral(":/vxi-logo.bmp")).convertToFormat(QImage::Format_RGB32));
    QVERIFY(!panel.isDemo());
    QVERIFY(!panel.isLxiCarrier());
    tn6800fp_About *about = panel.about();
    QCOMPARE(labelText(*about, "serialNumber"), QStringLiteral("00001a2b"));
    QCOMPARE(labelText(*about, "hardwareRevision"), QStringLiteral("1.2.0.7"));
    QCOMPARE(labelText(*about, "deviceModel"), QStringLiteral("6820-AB"));
    QCOMPARE(labelText(*about, "commonRevision"), QStringLiteral("2.6.1.403"));
    QCOMPARE(labelText(*about, "driverRevision"), QStringLiteral("4.3.0.1187"));
    QCOMPARE(labelText(*about, "panelVersion"), QStringLiteral("4.3.2.12522"));
    panel.findChild<QPushButton *>(QStringLiteral("aboutButton"))->click();
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    // Construction asked the card in this order, with the session it opened.
    QCOMPARE(f.driverCalls(),
             QStringList({"tn6820_init", "tn6820_revision_query", "tn6820_getOutputLimits",
                          "tn6820_readSerialNo", "tn6820_revision_query"}));
}

void tst_panel::lxiHeader_data()
{
    QTest::addColumn<bool>("withHostName");
    QTest::newRow("host name") << true;
    QTest::newRow("no host name") << false;
}

void tst_panel::lxiHeader()
{
    QFETCH(bool, withHostName);
    PanelFixture f(withHostName ? QString()
                                : QStringLiteral("[carrier]\nresource = "
                                                 "TCPIP0::192.168.10.20::inst0::INSTR\ninterface = "
                                                 "tcpip\naddress = 192.168.10.20\nmodel = 6813\n"
                                                 "positions = 13\nposition = 1 0x6820\n"));
    tn6820fp_App &panel = f.open(PanelFixture::Lxi);
    QCOMPARE(panel.windowTitle(),
             withHostName ? QStringLiteral("Orbana 6820 Soft Front Panel: orbana-lxi-13.lab")
                          : QStringLiteral("Orbana 6820 Soft Front Panel"));
    QCOMPARE(labelText(panel, "moduleLabel"), QStringLiteral("inst0"));
    QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("moduleLabel"))->whatsThis(),
             QStringLiteral("Shows which LXI module is connected to the Soft Front Panel"));
    QCOMPARE(labelText(panel, "cardLabel"), QStringLiteral("FC 1"));
    QVERIFY(panel.isLxiCarrier());
    QCOMPARE(sfptest::labelImage(panel.findChild<QLabel *>(QStringLiteral("carrierLogo"))),
             QImage(QStringLiteral(":/lxi-logo.bmp")).convertToFormat(QImage::Format_RGB32));
}

void tst_panel::demoPanel()
{
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Demo);
    QVERIFY(panel.isDemo());
    QCOMPARE(panel.vi(), ViSession(0));
    QCOMPARE(panel.findChild<tn6800fp_led *>(QStringLiteral("activeLed"))->value(), 0);
    QVERIFY(panel.findChild<QLabel *>(QStringLiteral("moduleLabel"))->isHidden());
    QVERIFY(panel.findChild<QLabel *>(QStringLiteral("cardLabel"))->isHidden());
    for (int n = 1; n <= 8; ++n) {
        QCOMPARE(f.channel(n)->amplitude->text(), QStringLiteral("10.00"));
        QCOMPARE(f.channel(n)->amplitude->minimum(), 0.0);
        QCOMPARE(f.channel(n)->amplitude->maximum(), 10.0);
        QCOMPARE(f.channel(n)->offset->minimum(), -10.0);
        QCOMPARE(f.channel(n)->offset->maximum(), 10.0);
        QCOMPARE(f.channel(n)->offset->value(), 0.0);
        QCOMPARE(f.dac(n)->minimum(), -10.0);
        QCOMPARE(f.dac(n)->maximum(), 10.0);
        QCOMPARE(f.dac(n)->decimals(), 3);
        QCOMPARE(f.select(n)->isChecked(), n == 1);
        QCOMPARE(f.channel(n)->waveformType(), int(WaveSine));
    }
    QCOMPARE(f.frequency()->value(), 1000);
    QCOMPARE(f.filter()->currentText(), QStringLiteral("20kHz"));
    QCOMPARE(f.mode()->currentText(), QStringLiteral("Single Cycle"));
    QCOMPARE(f.tabs()->tabText(0), QStringLiteral("Waveform Generation"));
    QCOMPARE(f.tabs()->tabText(1), QStringLiteral("Write Channel"));
    QCOMPARE(labelText(*panel.about(), "serialNumber"), QStringLiteral("68209481 (DEMO)"));
    QCOMPARE(labelText(*panel.about(), "hardwareRevision"), QStringLiteral("1.0.1.0 (DEMO)"));
    QCOMPARE(labelText(*panel.about(), "deviceModel"), QStringLiteral("6820-AA (DEMO)"));

    // Generating in demo mode: the panel shows it until Stop, whatever the mode.
    f.select(4)->setChecked(true);
    f.startButton()->click();
    QVERIFY(!f.startButton()->isEnabled());
    QVERIFY(!f.tabs()->isTabEnabled(1));
    QCOMPARE(f.channel(1)->led->value(), 1);
    QCOMPARE(f.channel(4)->led->value(), 1);
    QCOMPARE(f.channel(2)->led->value(), 0);
    QVERIFY(!f.select(2)->isEnabled());
    QCOMPARE(panel.samples().size(), std::size_t(2 * 200));
    f.stopButton()->click();
    QVERIFY(f.startButton()->isEnabled());
    QCOMPARE(f.channel(4)->led->value(), 0);
    f.dac(2)->setValue(3.0);
    emit f.filter()->activated(0);
    panel.findChild<QPushButton *>(QStringLiteral("resetButton"))->click();
    // Only the session-less revision query for the About dialog reached the driver.
    const QStringList calls = f.driverCalls();
    QCOMPARE(calls, QStringList{"tn6820_revision_query"});
    QCOMPARE(traceArgs(f.bench.calls(QStringLiteral("tn6820_revision_query")).first()).value("vi"),
             QStringLiteral("0"));
    QVERIFY(f.bench.calls(QStringLiteral("tn6800_delay")).isEmpty());
}

// A driver writes its whole texts; 255 characters fit every buffer the panel
// and the frame pass (AddressSanitizer checks the rest).
void tst_panel::wholeLongTexts()
{
    const QString t = QString(255, QLatin1Char('t'));
    PanelFixture f(QStringLiteral("[bench]\ndriver_revision = %1\nfirmware_revision = %1\n"
                                  "subtype = %1\ncommon_revision = %1\n"
                                  "[carrier]\nresource = TCPIP0::192.168.10.20::inst0::INSTR\n"
                                  "interface = tcpip\naddress = 192.168.10.20\nhostname = %1\n"
                                  "device_name = %1\nmodel = 6813\npositions = 13\n"
                                  "position = 1 0x6820\n")
                       .arg(t));
    tn6820fp_App &panel = f.open(PanelFixture::Lxi);
    QCOMPARE(panel.windowTitle(), QStringLiteral("Orbana 6820 Soft Front Panel: ") + t);
    QCOMPARE(labelText(panel, "moduleLabel"), t);
    tn6800fp_About *about = panel.about();
    QCOMPARE(labelText(*about, "hardwareRevision"), t);
    QCOMPARE(labelText(*about, "deviceModel"), QStringLiteral("6820-") + t);
    QCOMPARE(labelText(*about, "commonRevision"), t);
    QCOMPARE(labelText(*about, "driverRevision"), t);
}

void tst_panel::revisionNeedsSession_data()
{
    QTest::addColumn<int>("path");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("queries"); // session and status of each revision query
    const QString refused = QString::number(VI_ERROR_INV_OBJECT);
    QTest::newRow("demo mode") << int(PanelFixture::Demo) << QString()
                               << QStringList{"0 " + refused};
    QTest::newRow("vxi card") << int(PanelFixture::Vxi) << QStringLiteral("4.3.0.1187")
                              << QStringList{"0 " + refused, "vi 0", "vi 0"};
}

// A driver that refuses VI_NULL is asked again with the open session, without a box.
void tst_panel::revisionNeedsSession()
{
    QFETCH(int, path);
    QFETCH(QString, shown);
    QFETCH(QStringList, queries);
    PanelFixture f(
        QStringLiteral("[bench]\ndriver_revision_needs_session = yes\n"
                       "[carrier]\nresource = VXI0::8::INSTR\ninterface = vxi\n"
                       "slot = 3\nmodel = 0x6800\npositions = 2\nposition = 2 0x6820\n"));
    ModalAnswers answers;
    tn6820fp_App &panel = f.open(PanelFixture::Path(path), &answers);
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.size(), path == PanelFixture::Demo ? 1 : 2); // no box of its own
    QCOMPARE(labelText(*panel.about(), "driverRevision"), shown);
    QStringList got;
    const QString session = QString::number(panel.vi());
    for (const QString &line : f.bench.calls(QStringLiteral("tn6820_revision_query"))) {
        const QString vi = traceArgs(line).value(QStringLiteral("vi"));
        got << (vi == session && vi != QLatin1String("0") ? QStringLiteral("vi ") : vi + ' ') +
                   QString::number(sfptest::traceStatus(line));
    }
    QCOMPARE(got, queries);
}

void tst_panel::accessibleNames_data()
{
    QTest::addColumn<int>("path");
    QTest::addColumn<QString>("carrierLogo");
    QTest::addColumn<QString>("active");
    QTest::newRow("demo") << int(PanelFixture::Demo) << "VXI logo"
                          << "off";
    QTest::newRow("vxi") << int(PanelFixture::Vxi) << "VXI logo"
                         << "on";
    QTest::newRow("lxi") << int(PanelFixture::Lxi) << "LXI logo"
                         << "on";
}

// What a screen reader says of the controls that show only a picture.
void tst_panel::accessibleNames()
{
    QFETCH(int, path);
    QFETCH(QString, carrierLogo);
    QFETCH(QString, active);
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Path(path));
    const auto said = [](QWidget *w, QAccessible::Text t) {
        QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
        return i ? i->text(t) : QStringLiteral("<none>");
    };
    for (int n = 1; n <= 8; ++n) {
        tn6820fp_chSet *ch = f.channel(n);
        QCOMPARE(said(ch->sineButton, QAccessible::Name), QStringLiteral("Sine waveform"));
        QCOMPARE(said(ch->squareButton, QAccessible::Name), QStringLiteral("Square waveform"));
        QCOMPARE(said(ch->sawButton, QAccessible::Name), QStringLiteral("Saw waveform"));
        QCOMPARE(said(ch->triangleButton, QAccessible::Name), QStringLiteral("Triangle waveform"));
        QCOMPARE(said(ch->sawButton, QAccessible::Description),
                 QStringLiteral("Selects the Saw waveform to be generated on this channel"));
        QCOMPARE(said(ch->led, QAccessible::Name), QStringLiteral("Channel output"));
        QCOMPARE(said(ch->led, QAccessible::Description), QStringLiteral("off"));
    }
    QCOMPARE(said(f.get<QPushButton>(QStringLiteral("helpButton")), QAccessible::Name),
             QStringLiteral("What's This help"));
    QCOMPARE(said(f.get<QLabel>(QStringLiteral("makerLogo")), QAccessible::Name),
             QStringLiteral("Morvix logo"));
    QCOMPARE(said(f.get<QLabel>(QStringLiteral("carrierLogo")), QAccessible::Name), carrierLogo);
    QCOMPARE(
        said(panel.about()->findChild<QLabel *>(QStringLiteral("aboutLogo")), QAccessible::Name),
        QStringLiteral("Morvix logo"));
    auto *activeLed = f.get<tn6800fp_led>(QStringLiteral("activeLed"));
    QCOMPARE(said(activeLed, QAccessible::Name), QStringLiteral("Active"));
    QCOMPARE(said(activeLed, QAccessible::Description), active);
    // The lamp says when it lights up.
    f.mode()->setCurrentIndex(1);
    ModalAnswers none;
    f.startButton()->click();
    QCOMPARE(said(f.channel(1)->led, QAccessible::Description), QStringLiteral("on"));
    f.stopButton()->click();
    QCOMPARE(said(f.channel(1)->led, QAccessible::Description), QStringLiteral("off"));
}

void tst_panel::singleCycle()
{
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Vxi);
    f.select(3)->setChecked(true);
    f.channel(1)->squareButton->click();
    f.channel(1)->amplitude->setValue(2.5);
    f.channel(1)->offset->setValue(0.25);
    f.channel(3)->triangleButton->click();
    f.channel(3)->amplitude->setValue(1.0);
    f.channel(3)->offset->setValue(-1.5);
    f.filter()->setCurrentIndex(1);
    f.bench.clearTrace();
    f.startButton()->click();

    const QStringList calls = f.driverCalls();
    QCOMPARE(calls,
             QStringList({"tn6820_stopContWaveform", "tn6820_resetFIFO", "tn6820_generateWaveforms",
                          "tn6820_stopContWaveform", "tn6820_resetFIFO"}));
    const QString line = f.bench.calls(QStringLiteral("tn6820_generateWaveforms")).first();
    const auto a = traceArgs(line);
    QCOMPARE(a.value("vi"), QString::number(panel.vi()));
    QCOMPARE(a.value("channelMask"), QStringLiteral("0x05"));
    QCOMPARE(a.value("segmentLength"), QStringLiteral("200"));
    QCOMPARE(a.value("updateRate"), QStringLiteral("0"));
    QCOMPARE(a.value("filter"), QStringLiteral("1"));
    QCOMPARE(a.value("grouping"), QStringLiteral("0"));
    // Channel 1: a square of 2.5 V about 0.25 V; channel 3: a triangle of 1 V about -1.5 V.
    const QVector<double> sent = traceSamples(line, QStringLiteral("buffer"));
    QCOMPARE(sent.size(), 2 * 200);
    for (int j = 0; j < 200; ++j)
        QCOMPARE(sent[j], j < 100 ? 2.75 : -2.25);
    QCOMPARE(sent[200], -2.5);
    QCOMPARE(sent[399], -2.5);
    for (int j = 1; j < 100; ++j) {
        QVERIFY(sent[200 + j] > sent[200 + j - 1]);      // rising to the peak
        QVERIFY(sameBits(sent[200 + j], sent[399 - j])); // and falling the same way
    }
    QVERIFY(sameBits(sent, panel.samples()));
    // One period of 1000 Hz waited through the common library, then idle again.
    const QStringList delay = f.bench.calls(QStringLiteral("tn6800_delay"));
    QCOMPARE(delay.size(), 1);
    QCOMPARE(traceArgs(delay.first()).value("milliseconds"), QStringLiteral("1"));
    QVERIFY(f.startButton()->isEnabled());
    QVERIFY(f.tabs()->isTabEnabled(1));
    QCOMPARE(f.channel(1)->led->value(), 0);
    QCOMPARE(f.channel(3)->led->value(), 0);
    QVERIFY(f.select(1)->isEnabled());
}

void tst_panel::realOutput_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("mode");
    // "waveform amplitude offset" of channels 1, 2, ... in turn; "none"
    // releases the sine. Channels not named keep a 10 V sine about 0 V.
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("differs");
    QTest::addColumn<QString>("period");
    QTest::addColumn<int>("beyond"); // the channel past the card's range, or 0
    // The plan's own table holds the numbers of many more cases; these rows
    // are the ways the controls reach it. 10000 / 1428 = 7.0028 Hz, 1428 x
    // 100 us = 142.8 ms.
    QTest::newRow("3 channels, 7 Hz, continuous, one released")
        << 3 << 7 << 1 << "triangle 1 -1.5; none 4 3; saw 9.99 0.01"
        << "Output: 7.00 Hz at 10 kS/s, 1428 samples per cycle, 1 cycle in memory" << false
        << "142.8 ms" << 0;
    // 2730 / 66 = 41 cycles a channel: the previews while running show each block's first.
    QTest::newRow("3 channels, 3 kHz, continuous, one past the range")
        << 3 << 3000 << 1 << "sine 8 0; square 4 2; saw 6 7"
        << "Output: 3030.30 Hz at 200 kS/s, 66 samples per cycle, 41 cycles in memory" << true
        << "330 \u00b5s" << 3;
    QTest::newRow("1 channel, 50 kHz, released")
        << 1 << 50000 << 0 << "none 1 -9.5"
        << "Output: 50000.00 Hz at 200 kS/s, 4 samples per cycle" << false << "20 \u00b5s" << 0;
    QTest::newRow("8 channels, 1 Hz, only a button pressed")
        << 8 << 1 << 0 << "saw 10 0"
        << "Output: 1.00 Hz at 1 kS/s, 1000 samples per cycle" << false << "1 s" << 0;
    QTest::newRow("1 channel, 24 Hz: 100 kS/s, past the range below")
        << 1 << 24 << 0 << "triangle 10 -0.01"
        << "Output: 24.00 Hz at 100 kS/s, 4166 samples per cycle" << false << "41.66 ms" << 1;
    QTest::newRow("no channel") << 0 << 1000 << 0 << ""
                                << "No channel selected" << false << "1 ms" << 0;
}

// What the page shows, the real output and the preview of every channel, set
// through the controls, is what start() then sends, to the bit: the rate code
// and samples per cycle in the trace give the same frequency, and each
// channel's block starts with the preview's cycle.
void tst_panel::realOutput()
{
    QFETCH(int, channels);
    QFETCH(int, frequency);
    QFETCH(int, mode);
    QFETCH(QString, setup);
    QFETCH(QString, shown);
    QFETCH(bool, differs);
    QFETCH(QString, period);
    QFETCH(int, beyond);
    PanelFixture f;
    f.open(PanelFixture::Vxi);
    // Selection and frequency first, then the channels' own settings: both
    // kinds of change must reach the previews.
    for (int n = 1; n <= 8; ++n)
        f.select(n)->setChecked(n <= channels);
    f.mode()->setCurrentIndex(mode);
    f.frequency()->setValue(frequency);
    const QStringList settings = setup.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (int i = 0; i < settings.size(); ++i) {
        const QStringList p = settings[i].simplified().split(QLatin1Char(' '));
        tn6820fp_chSet *ch = f.channel(i + 1);
        if (p[0] == QLatin1String("none"))
            ch->sineButton->click();
        else
            sfptest::child<QPushButton>(ch, p[0] + QStringLiteral("Button"))->click();
        ch->amplitude->setValue(p[1].toDouble());
        ch->offset->setValue(p[2].toDouble());
    }
    auto *label = f.get<QLabel>(QStringLiteral("realOutput"));
    QCOMPARE(label->accessibleName(), shown);
    QCOMPARE(label->text().contains(QLatin1String("color:#b35c00")), differs);
    for (int n = 1; n <= 8; ++n) {
        const tn6820fp_preview *preview = f.preview(n);
        QCOMPARE(preview->isDimmed(), n > channels);
        QCOMPARE(preview->exceedsRange(), n == beyond);
        QCOMPARE(preview->periodText(), period);
    }
    if (channels == 0)
        return;
    // What the previews show before Start, which recomputes them.
    std::vector<double> previewed[8];
    for (int n = 1; n <= channels; ++n)
        previewed[n - 1] = f.preview(n)->samples();
    // The card clips what lies beyond its range, and its driver says so.
    ModalAnswers warning;
    if (beyond)
        warning.click(QStringLiteral("OK"));
    const QString line = f.startAndTraceGeneration(mode);
    QVERIFY(warning.allAnswered());
    const auto a = traceArgs(line);
    const double rates[] = {200000, 100000, 50000, 20000, 10000, 5000, 2000, 1000, 500, 200, 100};
    const int code = a.value(QStringLiteral("updateRate")).toInt();
    const int perChannel =
        a.value(mode == 0 ? QStringLiteral("segmentLength") : QStringLiteral("samplesPerChannel"))
            .toInt();
    const int segLen =
        shown.section(QStringLiteral(", "), 1, 1).section(QLatin1Char(' '), 0, 0).toInt();
    QCOMPARE(perChannel % segLen, 0);
    QVERIFY2(
        shown.startsWith(
            QStringLiteral("Output: %1 Hz").arg(QString::number(rates[code] / segLen, 'f', 2))),
        qPrintable(line.left(200)));
    if (mode != 0)
        QVERIFY(
            shown.endsWith(QStringLiteral("%1 in memory")
                               .arg(perChannel / segLen == 1
                                        ? QStringLiteral("1 cycle")
                                        : QStringLiteral("%1 cycles").arg(perChannel / segLen))));
    // Before Start each preview showed its channel's cycle as then sent; after
    // it, single cycles are back to idle, continuous output still runs, and
    // either way the preview holds that cycle still.
    const QVector<double> sent = traceSamples(line, QStringLiteral("buffer"));
    QCOMPARE(sent.size(), channels * perChannel);
    for (int n = 1; n <= channels; ++n) {
        const QVector<double> cycle = sent.mid((n - 1) * perChannel, segLen);
        QVERIFY2(sameBits(cycle, previewed[n - 1]), qPrintable(QString::number(n)));
        QVERIFY2(sameBits(cycle, f.preview(n)->samples()), qPrintable(QString::number(n)));
    }
    if (settings.value(0).startsWith(QLatin1String("none")))
        QVERIFY(std::all_of(sent.begin(), sent.begin() + segLen, [&](double v) {
            return v == settings[0].section(QLatin1Char(' '), 2, 2).toDouble();
        }));
    f.stopButton()->click();
    for (int n = 1; n <= channels; ++n)
        QVERIFY(sameBits(sent.mid((n - 1) * perChannel, segLen), f.preview(n)->samples()));
}

void tst_panel::singleCycleWaitsOnePeriod_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<double>("milliseconds");
    QTest::newRow("1 Hz") << 1 << 1000.0;
    QTest::newRow("3 kHz") << 3000 << 1.0 / 3.0;
    QTest::newRow("50 kHz") << 50000 << 0.02;
}

void tst_panel::singleCycleWaitsOnePeriod()
{
    QFETCH(int, frequency);
    QFETCH(double, milliseconds);
    // The delay is traced but fails at once, so the test need not wait a whole second.
    PanelFixture f(QString::fromLatin1(orbsim::defaultBenchText()) +
                   QStringLiteral("\n[fault]\nfunction = tn6800_delay\nstatus = 0xBFFF0015\n"));
    f.open(PanelFixture::Vxi);
    f.frequency()->setValue(frequency);
    ModalAnswers none;
    f.startButton()->click();
    const QStringList delay = f.bench.calls(QStringLiteral("tn6800_delay"));
    QCOMPARE(delay.size(), 1);
    QCOMPARE(traceArgs(delay.first()).value("milliseconds").toDouble(), milliseconds);
}

void tst_panel::continuousAllChannels()
{
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Vxi);
    for (int n = 1; n <= 8; ++n)
        f.select(n)->setChecked(true);
    f.channel(2)->sawButton->click();
    f.frequency()->setValue(1);
    f.mode()->setCurrentIndex(1);
    f.bench.clearTrace();
    f.startButton()->click();
    const QStringList cont = f.bench.calls(QStringLiteral("tn6820_startContWaveformEx"));
    QCOMPARE(cont.size(), 1);
    const auto a = traceArgs(cont.first());
    QCOMPARE(a.value("channelMask"), QStringLiteral("0xFF"));
    QCOMPARE(a.value("samplesPerChannel"), QStringLiteral("1000"));
    QCOMPARE(a.value("updateRate"), QStringLiteral("7"));
    QCOMPARE(a.value("filter"), QStringLiteral("2"));
    QCOMPARE(a.value("reserved"), QStringLiteral("0"));
    QCOMPARE(a.value("reserved2"), QStringLiteral("NULL"));
    QVERIFY(sameBits(traceSamples(cont.first(), QStringLiteral("buffer")), panel.samples()));
    QCOMPARE(panel.samples().size(), std::size_t(8000));
    QVERIFY(f.bench.calls(QStringLiteral("tn6800_delay")).isEmpty());
    // Generating until Stop.
    QTest::qWait(50);
    QVERIFY(!f.startButton()->isEnabled());
    QVERIFY(f.stopButton()->isEnabled());
    QVERIFY(!f.mode()->isEnabled());
    QVERIFY(!f.frequency()->isEnabled());
    QVERIFY(!f.tabs()->isTabEnabled(1));
    for (int n = 1; n <= 8; ++n) {
        QCOMPARE(f.channel(n)->led->value(), 1);
        QVERIFY(!f.channel(n)->isEnabled());
    }
    f.bench.clearTrace();
    f.stopButton()->click();
    QCOMPARE(f.driverCalls(), QStringList({"tn6820_stopContWaveform", "tn6820_resetFIFO"}));
    QCOMPARE(traceArgs(f.bench.calls(QStringLiteral("tn6820_stopContWaveform")).first())
                 .value("stopNow"),
             QStringLiteral("1"));
    for (int n = 1; n <= 8; ++n)
        QCOMPARE(f.channel(n)->led->value(), 0);
    QVERIFY(f.startButton()->isEnabled());
}

void tst_panel::continuousRepeatsWholeCycles()
{
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Vxi);
    f.select(6)->setChecked(true);
    f.mode()->setCurrentIndex(1);
    f.startButton()->click();
    const QString line = f.bench.calls(QStringLiteral("tn6820_startContWaveformEx")).first();
    QCOMPARE(traceArgs(line).value("channelMask"), QStringLiteral("0x21"));
    QCOMPARE(traceArgs(line).value("samplesPerChannel"), QStringLiteral("4000")); // 200 x 20
    // Channels 1 and 6 at their defaults: a 10 V sine about 0 V, 20 whole cycles each.
    const QVector<double> sent = traceSamples(line, QStringLiteral("buffer"));
    QCOMPARE(sent.size(), 2 * 4000);
    QCOMPARE(sent[0], 0.0);
    QCOMPARE(sent[50], 10.0);
    QCOMPARE(sent[150], -10.0);
    for (int k = 200; k < 8000; ++k)
        QVERIFY2(sameBits(sent[k], sent[k % 200]), qPrintable(QString::number(k)));
    QVERIFY(sameBits(sent, panel.samples()));
    f.stopButton()->click();
}

void tst_panel::immediateValues()
{
    PanelFixture f;
    f.open(PanelFixture::Vxi);
    f.tabs()->setCurrentIndex(1);
    f.bench.clearTrace();
    f.dac(3)->setValue(2.5);
    QCOMPARE(f.driverCalls(), QStringList({"tn6820_setOutputEnable", "tn6820_writeChannels"}));
    QCOMPARE(traceArgs(f.bench.calls(QStringLiteral("tn6820_setOutputEnable")).first())
                 .value("channelMask"),
             QStringLiteral("0xFF"));
    const QString write = f.bench.calls(QStringLiteral("tn6820_writeChannels")).first();
    QCOMPARE(traceArgs(write).value("channelMask"), QStringLiteral("0xFF"));
    QCOMPARE(traceSamples(write, QStringLiteral("values")),
             QVector<double>({0, 0, 2.5, 0, 0, 0, 0, 0}));
    // Typing writes after each keystroke that changes the value.
    f.bench.clearTrace();
    f.dac(8)->setFocus();
    f.dac(8)->selectAll();
    QTest::keyClicks(f.dac(8), QStringLiteral("-4"));
    const QStringList writes = f.bench.calls(QStringLiteral("tn6820_writeChannels"));
    QVERIFY(!writes.isEmpty());
    QCOMPARE(traceSamples(writes.last(), QStringLiteral("values")).value(7), -4.0);
}

void tst_panel::filterAndReset()
{
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Lxi);
    f.bench.clearTrace();
    emit f.filter()->activated(3);
    emit f.filter()->activated(2);
    const QStringList filters = f.bench.calls(QStringLiteral("tn6820_setFilter"));
    QCOMPARE(filters.size(), 2);
    QCOMPARE(traceArgs(filters.at(0)).value("filter"), QStringLiteral("3"));
    QCOMPARE(traceArgs(filters.at(1)).value("filter"), QStringLiteral("2"));
    f.frequency()->setValue(2000);
    QCOMPARE(f.driverCalls().size(), 2); // the frequency goes only with a start
    panel.findChild<QPushButton *>(QStringLiteral("resetButton"))->click();
    const QStringList resets = f.bench.calls(QStringLiteral("tn6820_reset"));
    QCOMPARE(resets.size(), 1);
    QCOMPARE(traceArgs(resets.first()).value("vi"), QString::number(panel.vi()));
    QVERIFY(!QApplication::overrideCursor());
}

void tst_panel::noChannelSelected()
{
    PanelFixture f;
    f.open(PanelFixture::Vxi);
    f.select(1)->setChecked(false);
    f.bench.clearTrace();
    QTest::ignoreMessage(QtDebugMsg, "At least one channel should be selected");
    f.startButton()->click();
    QVERIFY(f.driverCalls().isEmpty());
    QVERIFY(f.startButton()->isEnabled());
    QVERIFY(f.select(2)->isEnabled());
}

void tst_panel::waveformButtons()
{
    PanelFixture f;
    f.open(PanelFixture::Demo);
    tn6820fp_chSet *ch = f.channel(5);
    QVERIFY(ch->sineButton->isChecked());
    ch->sineButton->click(); // releasing the chosen button leaves none
    QCOMPARE(ch->waveformType(), int(WaveNone));
    QVERIFY(!ch->sineButton->isChecked());
    ch->sawButton->click();
    QCOMPARE(ch->waveformType(), int(WaveSaw));
    ch->triangleButton->click();
    QCOMPARE(ch->waveformType(), int(WaveTriangle));
    QVERIFY(!ch->sawButton->isChecked());
    QVERIFY(ch->triangleButton->isChecked());
    ch->squareButton->click();
    QCOMPARE(ch->waveformType(), int(WaveSquare));
    QCOMPARE(int(ch->sineButton->isChecked()) + int(ch->squareButton->isChecked()) +
                 int(ch->sawButton->isChecked()) + int(ch->triangleButton->isChecked()),
             1);
    // A channel without waveform generates its offset.
    ch->squareButton->click();
    ch->offset->setValue(1.25);
    f.select(1)->setChecked(false);
    f.select(5)->setChecked(true);
    f.startButton()->click();
    QCOMPARE(f.panel->samples().size(), std::size_t(200)); // one cycle of 1000 Hz at 200 kS/s
    for (double v : f.panel->samples())
        QCOMPARE(v, 1.25);
    QCOMPARE(f.frequency()->minimum(), 1);
    QCOMPARE(f.frequency()->maximum(), 50000);
    QCOMPARE(f.frequency()->suffix(), QStringLiteral(" Hz"));
}

void tst_panel::outputLimitsOfTheCard()
{
    PanelFixture f(QStringLiteral("[bench]\nlow_limit = -5\nhigh_limit = 5\n") +
                   QStringLiteral("[carrier]\nresource = VXI0::8::INSTR\ninterface = vxi\nslot = "
                                  "3\nmodel = 0x6800\npositions = 4\nposition = 2 0x6820\n"));
    f.open(PanelFixture::Vxi);
    QCOMPARE(f.channel(1)->amplitude->value(), 5.0);
    QCOMPARE(f.channel(1)->amplitude->maximum(), 5.0);
    QCOMPARE(f.channel(1)->offset->minimum(), -5.0);
    QCOMPARE(f.dac(1)->minimum(), -5.0);
    QCOMPARE(f.dac(1)->maximum(), 5.0);
}

void tst_panel::closeWindow_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("no") << "No";
    QTest::newRow("yes") << "Yes";
}

void tst_panel::closeWindow()
{
    QFETCH(QString, answer);
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Vxi);
    const ViSession vi = panel.vi();
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    ModalAnswers answers;
    answers.click(answer);
    panel.findChild<QPushButton *>(QStringLiteral("closeButton"))->click();
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.seen.first().text, QStringLiteral("Do you really want to exit?"));
    QCOMPARE(panel.isVisible(), answer == QLatin1String("No"));
    QVERIFY(f.bench.calls(QStringLiteral("tn6820_close")).isEmpty());
    f.panel.reset();
    const QStringList closes = f.bench.calls(QStringLiteral("tn6820_close"));
    QCOMPARE(closes.size(), 1);
    QCOMPARE(traceArgs(closes.first()).value("vi"), QString::number(vi));
    QCOMPARE(sfptest::traceStatus(closes.first()), 0L);
}

// The connection, a single cycle and continuous output: the log has each
// call the stand-ins saw, in the same order, with the same status; a refused
// call shows in red in the Driver Calls window. Demo mode says once that it
// calls nothing.
void tst_panel::driverCallsAsTraced()
{
    tn6800fp_callLog &log = tn6800fp_callLog::instance();
    log.clear();
    PanelFixture f(QStringLiteral("[fault]\nfunction = tn6820_setFilter\nstatus = 0xBFFC0806\n") +
                   QString::fromLatin1(orbsim::defaultBenchText()));
    tn6820fp_App &panel = f.open(PanelFixture::Vxi);
    f.select(3)->setChecked(true);
    f.startButton()->click();
    f.mode()->setCurrentIndex(1);
    f.startButton()->click();
    f.stopButton()->click();
    ModalAnswers refused;
    refused.click(QStringLiteral("No"));
    f.filter()->activated(1);
    QVERIFY(refused.allAnswered());
    // Values for channels 6 and 8, which a log of the first four would hide.
    f.tabs()->setCurrentIndex(1);
    f.dac(6)->setValue(2.5);
    f.dac(8)->setValue(-1.25);
    QStringList mine;
    const QVector<tn6800fp_loggedCall> made = log.calls();
    for (const tn6800fp_loggedCall &c : made)
        mine << QStringLiteral("%1 %2").arg(QLatin1String(c.function)).arg(c.status);
    QStringList theirs;
    for (const QString &line : f.bench.trace())
        theirs << line.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') +
                      line.section(QStringLiteral(" -> "), -1);
    QCOMPARE(mine, theirs);
    QVERIFY(mine.contains(QStringLiteral("tn6820_generateWaveforms 0")));
    QVERIFY(mine.contains(QStringLiteral("tn6820_setFilter %1").arg(qint32(0xBFFC0806))));
    // The buffer's length and first samples: channels 1 and 3, 200 each, sines from 0.
    QString generate;
    for (const tn6800fp_loggedCall &c : made)
        if (c.function && QLatin1String(c.function) == QLatin1String("tn6820_generateWaveforms"))
            generate = c.arguments;
    QVERIFY2(generate.startsWith(QStringLiteral("vi=")) &&
                 generate.contains(QStringLiteral(", chanMask=0x05, segLen=200, updateRate=0, "
                                                  "filter=2, grouping=0, buffer=[400: 0, ")),
             qPrintable(generate));

    QCOMPARE(made.last().arguments.section(QStringLiteral(", "), 1),
             QStringLiteral("channelMask=0xFF, values=[8: 0, 0, 0, 0, 0, 2.5, 0, -1.25]"));
    QCOMPARE(sfptest::traceSamples(f.bench.calls(QStringLiteral("tn6820_writeChannels")).last(),
                                   QStringLiteral("values")),
             (QVector<double>{0, 0, 0, 0, 0, 2.5, 0, -1.25}));

    panel.findChild<QPushButton *>(QStringLiteral("driverCallsButton"))->click();
    auto *window = panel.findChild<tn6800fp_callLogWindow *>(QStringLiteral("callLogWindow"));
    QVERIFY(window && window->isVisible());
    QTRY_COMPARE(window->rowsShown(), mine.size());
    const QAbstractItemModel *rows = window->view()->model();
    const QModelIndex last = rows->index(rows->rowCount() - 5, 2);
    QCOMPARE(last.data().toString(), QStringLiteral("tn6820_error_message"));
    const QModelIndex refusedRow = rows->index(rows->rowCount() - 6, 2);
    QCOMPARE(refusedRow.data().toString(), QStringLiteral("tn6820_setFilter"));
    QCOMPARE(refusedRow.data(Qt::ForegroundRole).value<QColor>(), QColor(0xc6, 0x28, 0x28));
    // The driver's own name for its status.
    QCOMPARE(refusedRow.siblingAtColumn(5).data().toString(),
             QStringLiteral("TN6820_ERROR_INV_RATE"));

    log.clear();
    PanelFixture demo;
    demo.open(PanelFixture::Demo);
    demo.startButton()->click();
    // Only the libraries' own revisions are asked for, for the About dialog.
    const QVector<tn6800fp_loggedCall> calls = log.calls();
    QVERIFY(!calls.isEmpty());
    QVERIFY(!calls.first().function);
    QCOMPARE(calls.first().arguments,
             QStringLiteral("Demo mode: the panel opens no card and sends nothing to one."));
    QStringList asked;
    for (const tn6800fp_loggedCall &c : calls.mid(1))
        asked << QLatin1String(c.function) + QLatin1Char(' ') + c.arguments.section(',', 0, 0);
    QCOMPARE(asked,
             (QStringList{"tn6800_revision revision=\"2.6.1.403\"", "tn6820_revision_query vi=0"}));
}

QTEST_MAIN(tst_panel)
#include "tst_panel.moc"
