// The generation plan made from the panel's settings, and the words in which
// the panel tells it, against hand values.
#include <QtTest>
#include <cmath>

#include "tn6820fp_plan.h"
#include "tn6820fp_texts.h"

namespace {

// "n:degrees" of channels (from 1) with a phase, separated by blanks.
void setPhases(tn6820fp_panelSettings &s, const QString &phases)
{
    for (const QString &p : phases.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        s.channels[std::size_t(p.section(QLatin1Char(':'), 0, 0).toInt() - 1)].phase =
            p.section(QLatin1Char(':'), 1).toDouble();
}

} // namespace

class tst_plan : public QObject
{
    Q_OBJECT
private slots:
    void plans_data();
    void plans();
    void oneChannelAgain_data();
    void oneChannelAgain();
    void shapes_data();
    void shapes();
};

void tst_plan::plans_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("mask");       // channels selected
    QTest::addColumn<QString>("phases"); // asked for
    QTest::addColumn<int>("code");       // the rate's code
    QTest::addColumn<int>("segLen");
    QTest::addColumn<int>("cycles"); // per channel, sent
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("differs");
    QTest::addColumn<QString>("period"); // segLen samples at the rate
    // Per channel with a phase: "n:steps:tenths:differs".
    QTest::addColumn<QString>("applied");
    // 200000 / 1000 = 200 samples, 8192 / 200 = 40 cycles fit.
    QTest::newRow("as a new panel starts")
        << 1000 << 0 << 0x01 << "" << 0 << 200 << 1
        << "Output: 1000.00 Hz at 200 kS/s, 200 samples per cycle" << false << "1 ms"
        << "";
    // 200000 / 3000 = 66.7: 66 samples, 3030.30 Hz.
    QTest::newRow("3 kHz on one channel")
        << 3000 << 0 << 0x01 << "" << 0 << 66 << 1
        << "Output: 3030.30 Hz at 200 kS/s, 66 samples per cycle" << true << "330 \u00b5s"
        << "";
    QTest::newRow("1 kHz on one channel, continuous: 8192 / 200 = 40 cycles")
        << 1000 << 1 << 0x01 << "" << 0 << 200 << 40
        << "Output: 1000.00 Hz at 200 kS/s, 200 samples per cycle, 40 cycles in memory" << false
        << "1 ms"
        << "";
    // 2730 samples a channel hold 41 cycles of 66.
    QTest::newRow("3 kHz on three channels, continuous")
        << 3000 << 1 << 0x07 << "" << 0 << 66 << 41
        << "Output: 3030.30 Hz at 200 kS/s, 66 samples per cycle, 41 cycles in memory" << true
        << "330 \u00b5s"
        << "";
    // 4096 a channel: 6060 do not fit, 100000 / 33 = 3030 do; 3030 x 10 us.
    QTest::newRow("33 Hz on two channels")
        << 33 << 0 << 0x03 << "" << 1 << 3030 << 1
        << "Output: 33.00 Hz at 100 kS/s, 3030 samples per cycle" << false << "30.3 ms"
        << "";
    QTest::newRow("1 kHz on channels 1 and 3, continuous: 4096 / 200 = 20 cycles")
        << 1000 << 1 << 0x05 << "" << 0 << 200 << 20
        << "Output: 1000.00 Hz at 200 kS/s, 200 samples per cycle, 20 cycles in memory" << false
        << "1 ms"
        << "";
    // 2730 samples a channel: 28571 and 14285 do not fit, 10000 / 7 = 1428 does.
    QTest::newRow("7 Hz on three channels, continuous")
        << 7 << 1 << 0x07 << "" << 4 << 1428 << 1
        << "Output: 7.00 Hz at 10 kS/s, 1428 samples per cycle, 1 cycle in memory" << false
        << "142.8 ms"
        << "";
    QTest::newRow("1 Hz on every channel: 1024 a channel, 1000 S/s")
        << 1 << 0 << 0xFF << "" << 7 << 1000 << 1
        << "Output: 1.00 Hz at 1 kS/s, 1000 samples per cycle" << false << "1 s"
        << "";
    QTest::newRow("24 Hz on one channel: 8333 does not fit, 4166 does")
        << 24 << 0 << 0x01 << "" << 1 << 4166 << 1
        << "Output: 24.00 Hz at 100 kS/s, 4166 samples per cycle" << false << "41.66 ms"
        << "";
    QTest::newRow("50 kHz: 4 samples, 2048 cycles") << 50000 << 1 << 0x01 << "" << 0 << 4 << 2048
                                                    << "Output: 50000.00 Hz at 200 kS/s, 4 samples "
                                                       "per cycle, 2048 cycles in memory"
                                                    << false << "20 \u00b5s"
                                                    << "";
    QTest::newRow("no channel: what one channel would get")
        << 1000 << 0 << 0x00 << "" << 0 << 200 << 1 << "No channel selected" << false << "1 ms"
        << "";
    QTest::newRow("a frequency below the card's range is 1 Hz")
        << 0 << 0 << 0x01 << "" << 5 << 5000 << 1
        << "Output: 1.00 Hz at 5 kS/s, 5000 samples per cycle" << false << "1 s"
        << "";
    // 50 Hz on three: 4000 do not fit into 2730, 2000 do. 120 / 360 x 2000 =
    // 666.7, so 667 samples, 120.06 degrees; 240: 1333, 239.94 degrees.
    QTest::newRow("three-phase at 50 Hz")
        << 50 << 0 << 0x07 << "2:120 3:240" << 1 << 2000 << 1
        << QString::fromUtf8("Output: 50.00 Hz at 100 kS/s, 2000 samples per cycle\n"
                             "Phase: Ch2 120.1\xc2\xb0, Ch3 239.9\xc2\xb0")
        << false << "20 ms"
        << "2:667:1201:1 3:1333:2399:1";
    // 200 samples: 90 degrees are 50 exactly; channel 2 takes no part, so the
    // line leaves it out, though the plan turns its cycle (for its preview).
    QTest::newRow("quadrature, and a channel left out")
        << 1000 << 0 << 0x05 << "1:90 2:45 3:180" << 0 << 200 << 1
        << QString::fromUtf8("Output: 1000.00 Hz at 200 kS/s, 200 samples per cycle\n"
                             "Phase: Ch1 90.0\xc2\xb0, Ch3 180.0\xc2\xb0")
        << false << "1 ms"
        << "1:50:900:0 2:25:450:0 3:100:1800:0";
    // 0.04 / 360 x 200 = 0.02: no turn, and 0.0 shown is what was asked at one decimal.
    QTest::newRow("a phase too small for a sample")
        << 1000 << 0 << 0x01 << "1:0.04" << 0 << 200 << 1
        << QString::fromUtf8("Output: 1000.00 Hz at 200 kS/s, 200 samples per cycle\n"
                             "Phase: Ch1 0.0\xc2\xb0")
        << false << "1 ms"
        << "1:0:0:0";
    // 0.9 / 360 x 200 = 0.5, rounded to 1 sample: 1.8 degrees.
    QTest::newRow("a phase rounded up to a sample")
        << 1000 << 0 << 0x01 << "1:0.9" << 0 << 200 << 1
        << QString::fromUtf8("Output: 1000.00 Hz at 200 kS/s, 200 samples per cycle\n"
                             "Phase: Ch1 1.8\xc2\xb0")
        << false << "1 ms"
        << "1:1:18:1";
}

void tst_plan::plans()
{
    QFETCH(int, frequency);
    QFETCH(int, mode);
    QFETCH(int, mask);
    QFETCH(QString, phases);
    QFETCH(int, code);
    QFETCH(int, segLen);
    QFETCH(int, cycles);
    QFETCH(QString, line);
    QFETCH(bool, differs);
    QFETCH(QString, period);
    QFETCH(QString, applied);
    tn6820fp_panelSettings s = tn6820fp_panelSettings::initial(10);
    s.frequency = frequency;
    s.mode = mode;
    for (int n = 0; n < 8; ++n)
        s.channels[std::size_t(n)].selected = (mask >> n) & 1;
    setPhases(s, phases);
    const tn6820fp_plan plan = tn6820fp_planOf(s);
    // Made again in a plan of another setup, whose buffers it takes over:
    // the same plan.
    tn6820fp_panelSettings other = tn6820fp_panelSettings::initial(10);
    other.frequency = 1;
    other.mode = ModeContinuous;
    for (tn6820fp_channelSettings &c : other.channels) {
        c.selected = true;
        c.waveform = WaveSquare;
        c.phase = 90;
    }
    tn6820fp_plan reused = tn6820fp_planOf(other);
    tn6820fp_replan(reused, s);
    QCOMPARE(reused.samples, plan.samples);
    QCOMPARE(reused.cycles, plan.cycles);
    QCOMPARE(reused.channelMask, plan.channelMask);
    QCOMPARE(reused.selectedCount, plan.selectedCount);
    QCOMPARE(reused.phases[0].steps, plan.phases[0].steps);
    QCOMPARE(plan.rateCode, code);
    QCOMPARE(plan.rate.segLen, segLen);
    QCOMPARE(plan.cyclesPerChannel, cycles);
    QCOMPARE(int(plan.channelMask), mask);
    const tn6820fp_realOutputLine shown = tn6820fp_realOutputOf(plan);
    QCOMPARE(shown.text(), line);
    QCOMPARE(shown.differs, differs);
    QCOMPARE(tn6820fp_durationText(plan.period), period);
    QCOMPARE(shown.html().contains(QLatin1String("color:#b35c00")),
             differs || applied.contains(QLatin1String(":1 ")) || applied.endsWith(":1"));
    int selected = 0;
    for (int n = 0; n < 8; ++n) {
        selected += (mask >> n) & 1;
        QCOMPARE(int(plan.cycles[std::size_t(n)].size()), segLen);
    }
    QCOMPARE(int(plan.samples.size()), selected * cycles * segLen);
    for (const QString &a : applied.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList p = a.split(QLatin1Char(':'));
        const tn6820fp_phasePlan &phase = plan.phases[std::size_t(p[0].toInt() - 1)];
        QCOMPARE(phase.steps, p[1].toInt());
        QCOMPARE(phase.tenths, p[2].toInt());
        QCOMPARE(phase.differs, p[3] == QLatin1String("1"));
        QCOMPARE(phase.degrees, phase.steps * 360.0 / segLen);
    }
    // Each selected channel's block is its cycle, repeated.
    const double *block = plan.samples.data();
    for (int n = 0; n < 8; ++n) {
        if (!((mask >> n) & 1))
            continue;
        for (int r = 0; r < cycles; ++r, block += segLen)
            QVERIFY(std::equal(block, block + segLen, plan.cycles[std::size_t(n)].begin()));
    }
}

void tst_plan::oneChannelAgain_data()
{
    QTest::addColumn<int>("channel"); // from 0
    QTest::addColumn<int>("mode");
    QTest::newRow("a selected channel, single cycle") << 2 << 0;
    QTest::newRow("a selected channel, continuous") << 5 << 1;
    QTest::newRow("a channel left out") << 4 << 1;
}

// Making one channel's part again gives what a whole new plan gives, to the bit.
void tst_plan::oneChannelAgain()
{
    QFETCH(int, channel);
    QFETCH(int, mode);
    tn6820fp_panelSettings s = tn6820fp_panelSettings::initial(10);
    s.frequency = 3000;
    s.mode = mode;
    for (int n : {0, 2, 5, 7})
        s.channels[std::size_t(n)].selected = true;
    tn6820fp_unitTables tables;
    tn6820fp_plan plan = tn6820fp_planOf(s, &tables);
    tn6820fp_channelSettings &c = s.channels[std::size_t(channel)];
    c.waveform = WaveTriangle;
    c.amplitude = 3.5;
    c.offset = -1.25;
    c.phase = 33.3;
    tn6820fp_replanChannel(plan, s, channel, &tables);
    const tn6820fp_plan whole = tn6820fp_planOf(s);
    QCOMPARE(plan.samples, whole.samples);
    QCOMPARE(plan.cycles, whole.cycles);
    QCOMPARE(plan.phases[std::size_t(channel)].steps, whole.phases[std::size_t(channel)].steps);
    // 33.3 / 360 x 66 = 6.1: 6 samples, 32.7 degrees.
    QCOMPARE(plan.phases[std::size_t(channel)].tenths, 327);
    // The turned triangle starts at its sample 6: rising 6 of its 65 steps.
    QCOMPARE(plan.cycles[std::size_t(channel)][0], (6.0 * 4 / 65 - 1) * 3.5 + -1.25);
}

void tst_plan::shapes_data()
{
    QTest::addColumn<int>("frequency"); // on channel 1 alone, amplitude 1, offset 0
    QTest::addColumn<int>("waveform");
    QTest::addColumn<double>("share"); // the duty cycle or symmetry, percent
    QTest::addColumn<int>("multiple");
    QTest::addColumn<double>("phase");
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("samples"); // "j:value" of the segment, blank-separated
    QTest::addColumn<QString>("applied"); // the duty or symmetry as shown
    QTest::addColumn<bool>("differs");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fault");
    const int sq = WaveSquare;
    const int tri = WaveTriangle;
    const int sine = WaveSine;
    const int formula = WaveFormula;
    const QString at4 = QStringLiteral("Output: 50000.00 Hz at 200 kS/s, 4 samples per cycle");
    const QString at66 = QStringLiteral("Output: 3030.30 Hz at 200 kS/s, 66 samples per cycle");
    const QString at200 = QStringLiteral("Output: 1000.00 Hz at 200 kS/s, 200 samples per cycle");
    const QString at8000 = QStringLiteral("Output: 25.00 Hz at 200 kS/s, 8000 samples per cycle");
    // Squares: high for the nearest whole number of samples to the share, a
    // tie going to the shorter high part.
    QTest::newRow("square, 4 samples, 25%") << 50000 << sq << 25.0 << 1 << 0.0 << ""
                                            << "0:1 1:-1 2:-1 3:-1"
                                            << "25.0" << false << at4 + "\nDuty: Ch1 25.0%"
                                            << "";
    QTest::newRow("square, 4 samples, 10%: 0.4 samples high")
        << 50000 << sq << 10.0 << 1 << 0.0 << ""
        << "0:-1 3:-1"
        << "0.0" << true << at4 + "\nDuty: Ch1 0.0%"
        << "";
    QTest::newRow("square, 4 samples, 100%") << 50000 << sq << 100.0 << 1 << 0.0 << ""
                                             << "0:1 3:1"
                                             << "100.0" << false << at4 + "\nDuty: Ch1 100.0%"
                                             << "";
    QTest::newRow("square, 4 samples, 0%") << 50000 << sq << 0.0 << 1 << 0.0 << ""
                                           << "0:-1 3:-1"
                                           << "0.0" << false << at4 + "\nDuty: Ch1 0.0%"
                                           << "";
    // 66 x 25% = 16.5: 16 samples high, 24.2%.
    QTest::newRow("square, 66 samples, 25%") << 3000 << sq << 25.0 << 1 << 0.0 << ""
                                             << "15:1 16:-1"
                                             << "24.2" << true << at66 + "\nDuty: Ch1 24.2%"
                                             << "";
    // 66 x 75% = 49.5: 49 high, 74.2%.
    QTest::newRow("square, 66 samples, 75%") << 3000 << sq << 75.0 << 1 << 0.0 << ""
                                             << "48:1 49:-1"
                                             << "74.2" << true << at66 + "\nDuty: Ch1 74.2%"
                                             << "";
    QTest::newRow("square, 66 samples, at its start: as ever")
        << 3000 << sq << 50.0 << 1 << 0.0 << ""
        << "32:1 33:-1"
        << "50.0" << false << at66 << "";
    QTest::newRow("square, 8000 samples, 0.1%: 8 high")
        << 25 << sq << 0.1 << 1 << 0.0 << ""
        << "7:1 8:-1 7999:-1"
        << "0.1" << false << at8000 + "\nDuty: Ch1 0.1%"
        << "";
    // Triangles: -1 at sample 0, +1 at the peak (a whole or half sample), -1
    // at the last sample. 4 samples at 90%: the peak at 2.5 of 3, 83.3%.
    QTest::newRow("triangle, 4 samples, 90%") << 50000 << tri << 90.0 << 1 << 0.0 << ""
                                              << "0:-1 1:-0.2 2:0.6 3:-1"
                                              << "83.3" << true << at4 + "\nSymmetry: Ch1 83.3%"
                                              << "";
    QTest::newRow("triangle, 4 samples, 100%: a rising ramp")
        << 50000 << tri << 100.0 << 1 << 0.0 << ""
        << "0:-1 1:-0.333333333333333 2:0.333333333333333 3:1"
        << "100.0" << false << at4 + "\nSymmetry: Ch1 100.0%"
        << "";
    QTest::newRow("triangle, 4 samples, 0%: a falling ramp")
        << 50000 << tri << 0.0 << 1 << 0.0 << ""
        << "0:1 1:0.333333333333333 2:-0.333333333333333 3:-1"
        << "0.0" << false << at4 + "\nSymmetry: Ch1 0.0%"
        << "";
    // 65 x 90% = 58.5: the peak between samples 58 and 59.
    QTest::newRow("triangle, 66 samples, 90%")
        << 3000 << tri << 90.0 << 1 << 0.0 << ""
        << "0:-1 58:0.982905982905983 59:0.846153846153846 65:-1"
        << "90.0" << false << at66 + "\nSymmetry: Ch1 90.0%"
        << "";
    // 7999 x 25% = 1999.75: the peak at 1999.5, 24.997%.
    QTest::newRow("triangle, 8000 samples, 25%")
        << 25 << tri << 25.0 << 1 << 0.0 << ""
        << "1999:0.999499874968742 2000:0.999833319443287 7999:-1"
        << "25.0" << false << at8000 + "\nSymmetry: Ch1 25.0%"
        << "";
    // Multiples: sample j is the shape's sample (j m + phase steps) mod segLen.
    QTest::newRow("a sine at x2") << 1000 << sine << 50.0 << 2 << 0.0 << ""
                                  << "0:0 25:1 75:-1 125:1"
                                  << "50.0" << false << at200 + "\nMultiple: Ch1 \u00d72 2000.00 Hz"
                                  << "";
    // 90 degrees of its own cycle: 50 of the 200 samples.
    QTest::newRow("a sine at x3 and 90 degrees")
        << 1000 << sine << 50.0 << 3 << 90.0 << ""
        << "0:1 50:0 100:-1"
        << "50.0" << false << at200 + "\nPhase: Ch1 90.0\u00b0\nMultiple: Ch1 \u00d73 3000.00 Hz"
        << "";
    // Each cycle of 100 samples plays the shape's samples 0, 2, ... 198, of
    // which 0 to 48 are high: 25 of 100, as asked.
    QTest::newRow("a square at x2 and 25%")
        << 1000 << sq << 25.0 << 2 << 0.0 << ""
        << "0:1 24:1 25:-1 99:-1 100:1"
        << "25.0" << false << at200 + "\nMultiple: Ch1 \u00d72 2000.00 Hz\nDuty: Ch1 25.0%"
        << "";
    // Each cycle of 50 samples plays the shape's samples 0, 4, ... 196, of
    // which 0 to 48 are high: 13 of 50, 26%.
    QTest::newRow("a square at x4 and 25%: 13 of each 50 samples high")
        << 1000 << sq << 25.0 << 4 << 0.0 << ""
        << "0:1 12:1 13:-1 49:-1 50:1"
        << "26.0" << true << at200 + "\nMultiple: Ch1 \u00d74 4000.00 Hz\nDuty: Ch1 26.0%"
        << "";
    QTest::newRow("x5 of 4 samples: fewer than one a cycle, said")
        << 50000 << sine << 50.0 << 5 << 0.0 << ""
        << "1:1"
        << "50.0" << false << at4 + "\nMultiple: Ch1 \u00d75 250000.00 Hz (0.8 samples a cycle)"
        << "";
    // Formulas: x = j / 200, n = j, N = 200, f the real frequency.
    QTest::newRow("sin(2*pi*x)") << 1000 << formula << 50.0 << 1 << 0.0 << "sin(2*pi*x)"
                                 << "0:0 25:0.707106781186548 50:1"
                                 << "50.0" << false << at200 << "";
    QTest::newRow("a pulse") << 1000 << formula << 50.0 << 1 << 0.0 << "x < 0.25 ? 1 : -1"
                             << "0:1 49:1 50:-1 199:-1"
                             << "50.0" << false << at200 << "";
    QTest::newRow("n and N") << 1000 << formula << 50.0 << 1 << 0.0 << "n / N - 0.5"
                             << "0:-0.5 100:0 150:0.25"
                             << "50.0" << false << at200 << "";
    QTest::newRow("f at x2") << 1000 << formula << 50.0 << 2 << 0.0 << "f / 10000"
                             << "0:0.2 199:0.2"
                             << "50.0" << false << at200 + "\nMultiple: Ch1 \u00d72 2000.00 Hz"
                             << "";
    QTest::newRow("a division by zero: held at the offset")
        << 1000 << formula << 50.0 << 1 << 0.0 << "1 / (x - 0.5)"
        << "0:-2 100:0 150:4"
        << "50.0" << false << at200 << "gives infinity at x = 0.5 (sample 100 of 200)";
    QTest::newRow("the root of a negative number")
        << 1000 << formula << 50.0 << 1 << 0.0 << "sqrt(x - 0.5)"
        << "0:0 100:0 150:0.5"
        << "50.0" << false << at200 << "gives NaN at x = 0 (sample 0 of 200)";
}

void tst_plan::shapes()
{
    QFETCH(int, frequency);
    QFETCH(int, waveform);
    QFETCH(double, share);
    QFETCH(int, multiple);
    QFETCH(double, phase);
    QFETCH(QString, formula);
    QFETCH(QString, samples);
    QFETCH(QString, applied);
    QFETCH(bool, differs);
    QFETCH(QString, line);
    QFETCH(QString, fault);
    tn6820fp_panelSettings s = tn6820fp_panelSettings::initial(10);
    s.frequency = frequency;
    tn6820fp_channelSettings &c = s.channels[0];
    c.waveform = tn6820fp_waveform(waveform);
    c.amplitude = 1;
    c.duty = c.symmetry = share;
    c.multiple = multiple;
    c.phase = phase;
    if (!formula.isEmpty()) {
        QString why;
        c.formula = tn6820fp_formula::parse(formula, &why);
        QVERIFY2(c.formula, qPrintable(why));
    }
    const tn6820fp_plan plan = tn6820fp_planOf(s);
    const std::vector<double> &cycle = plan.cycles[0];
    for (const QString &js : samples.split(QLatin1Char(' '))) {
        const int j = js.section(QLatin1Char(':'), 0, 0).toInt();
        const double expected = js.section(QLatin1Char(':'), 1).toDouble();
        QVERIFY2(
            std::fabs(cycle[std::size_t(j)] - expected) < 1e-12,
            qPrintable(QStringLiteral("[%1] %2").arg(j).arg(cycle[std::size_t(j)], 0, 'g', 17)));
    }
    const tn6820fp_shapePlan &shape = plan.shapes[0];
    const tn6820fp_sharePlan &shown = waveform == WaveTriangle ? shape.symmetry : shape.duty;
    QCOMPARE(QString::number(shown.applied, 'f', 1), applied);
    QCOMPARE(shown.differs, differs);
    const tn6820fp_realOutputLine shownLine = tn6820fp_realOutputOf(plan);
    QCOMPARE(shownLine.text(), line);
    // Amber: a share the card cannot give, few samples a cycle (and the
    // frequencies or phases that differ, none here but 3030.30 Hz).
    QCOMPARE(shownLine.html().contains(QLatin1String("color:#b35c00")),
             (differs && shown.asks) || line.contains(QLatin1String("samples a cycle")) ||
                 frequency == 3000);
    QCOMPARE(shape.fault, fault);
    // What is sent is every sample a number.
    for (const double v : plan.samples)
        QVERIFY(std::isfinite(v));
}

QTEST_MAIN(tst_plan)
#include "tst_plan.moc"
