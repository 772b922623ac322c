// Waveform synthesis and the update-rate search.
#include <QtTest>
#include <cmath>
#include <cstring>

#include "testsupport.h"
#include "tn6820fp_formula.h"
#include "tn6820fp_synthesis.h"

using sfptest::sameBits;

namespace {

// Update rates of the codes 0..10 in samples per second, as the card knows them.
const double kRates[] = {200000, 100000, 50000, 20000, 10000, 5000, 2000, 1000, 500, 200, 100};

} // namespace

class tst_synthesis : public QObject
{
    Q_OBJECT
private slots:
    void shortSegments_data();
    void shortSegments();
    void handValues_data();
    void handValues();
    void sineConstant();
    void valuesAreNotClipped();
    void rateChoiceCases_data();
    void rateChoiceCases();
    void rateChoiceEveryFrequency();
    void phaseSteps_data();
    void phaseSteps();
    void resampling_data();
    void resampling();
    void sharesAtTheirStart();
    void formulas_data();
    void formulas();
};

void tst_synthesis::shortSegments_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("segLen");
    QTest::addColumn<QVector<double>>("expected");
    QTest::newRow("square 4") << int(WaveSquare) << 4 << QVector<double>{1, 1, -1, -1};
    QTest::newRow("saw 4") << int(WaveSaw) << 4 << QVector<double>{-1, -1.0 / 3, 1.0 / 3, 1};
    QTest::newRow("triangle 4") << int(WaveTriangle) << 4
                                << QVector<double>{-1, 1.0 / 3, 1.0 / 3, -1};
    QTest::newRow("square 5") << int(WaveSquare) << 5 << QVector<double>{1, 1, -1, -1, -1};
    QTest::newRow("triangle 5") << int(WaveTriangle) << 5 << QVector<double>{-1, 0, 1, 0, -1};
}

void tst_synthesis::shortSegments()
{
    QFETCH(int, type);
    QFETCH(int, segLen);
    QFETCH(QVector<double>, expected);
    QVector<double> s(segLen);
    tn6820fp_synthesizeSegment(type, 1.0, 0.0, segLen, s.data());
    for (int j = 0; j < segLen; ++j)
        QVERIFY2(std::fabs(s[j] - expected[j]) < 1e-15,
                 qPrintable(QStringLiteral("j=%1: %2").arg(j).arg(s[j], 0, 'g', 17)));
}

void tst_synthesis::handValues_data()
{
    // Amplitude 2.5 and offset -1.25 (exact in binary): the top of every shape
    // is O + A = 1.25, the bottom O - A = -3.75, the middle O = -1.25.
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("segLen");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("expected");
    const double top = 1.25, bottom = -3.75, middle = -1.25;
    const auto row = [](const char *shape, int n, int j) -> QTestData & {
        return QTest::newRow(qPrintable(QStringLiteral("%1 %2 [%3]").arg(shape).arg(n).arg(j)));
    };
    for (int n : {4, 8, 200, 1000, 8192}) {
        row("sine", n, 0) << int(WaveSine) << n << 0 << middle;
        row("sine", n, n / 4) << int(WaveSine) << n << n / 4 << top;
        row("sine", n, 3 * n / 4) << int(WaveSine) << n << 3 * n / 4 << bottom;
        row("square", n, 0) << int(WaveSquare) << n << 0 << top;
        row("square", n, n / 2 - 1) << int(WaveSquare) << n << n / 2 - 1 << top;
        row("square", n, n / 2) << int(WaveSquare) << n << n / 2 << bottom;
        row("square", n, n - 1) << int(WaveSquare) << n << n - 1 << bottom;
        row("none", n, n / 3) << int(WaveNone) << n << n / 3 << middle;
    }
    for (int n : {4, 5, 200, 201, 8191, 8192}) {
        row("saw", n, 0) << int(WaveSaw) << n << 0 << bottom;
        row("saw", n, n - 1) << int(WaveSaw) << n << n - 1 << top;
        row("triangle", n, 0) << int(WaveTriangle) << n << 0 << bottom;
        row("triangle", n, n - 1) << int(WaveTriangle) << n << n - 1 << bottom;
    }
    for (int n : {5, 201, 8191}) { // an odd cycle has one middle sample and one peak
        row("saw", n, n / 2) << int(WaveSaw) << n << n / 2 << middle;
        row("triangle", n, n / 2) << int(WaveTriangle) << n << n / 2 << top;
    }
}

void tst_synthesis::handValues()
{
    QFETCH(int, type);
    QFETCH(int, segLen);
    QFETCH(int, index);
    QFETCH(double, expected);
    QVector<double> s(segLen, std::nan(""));
    tn6820fp_synthesizeSegment(type, 2.5, -1.25, segLen, s.data());
    QVERIFY2(sameBits(s[index], expected), qPrintable(QString::number(s[index], 'g', 17)));
    // The previews' shared tables give the same samples, to the bit.
    tn6820fp_unitTables table;
    table.of(type, segLen + 1);
    std::vector<double> fromTable(std::size_t(segLen), std::nan(""));
    tn6820fp_synthesizeSegment(type, 2.5, -1.25, segLen, fromTable.data(), table.of(type, segLen));
    QVERIFY(sameBits(s, fromTable));
    // At phase 0 a channel's cycle is the segment, to the bit.
    tn6820fp_channelWave wave;
    wave.waveform = type;
    wave.amplitude = 2.5;
    wave.offset = -1.25;
    std::vector<double> cycle(std::size_t(segLen), std::nan(""));
    tn6820fp_synthesizeCycle(wave, segLen, cycle.data());
    QVERIFY(sameBits(s, cycle));
    for (int j = 0; j < segLen; ++j) // every sample written, none past the top or bottom
        QVERIFY2(s[j] >= -3.75 && s[j] <= 1.25, qPrintable(QString::number(j)));
}

// The sine's fixed constant 6.2831853 leaves a small remainder where 2 pi would give 0.
void tst_synthesis::sineConstant()
{
    double s[4];
    tn6820fp_synthesizeSegment(WaveSine, 1.0, 0.0, 4, s);
    QCOMPARE(s[0], 0.0);
    QCOMPARE(s[1], 1.0);
    QVERIFY(s[2] > 3.5e-9 && s[2] < 3.7e-9);
    QCOMPARE(s[3], -1.0);
}

void tst_synthesis::valuesAreNotClipped()
{
    double s[4];
    tn6820fp_synthesizeSegment(WaveSquare, 10.0, 10.0, 4, s);
    QCOMPARE(s[0], 20.0);
    QCOMPARE(s[3], 0.0);
    for (int type = WaveSine; type <= WaveTriangle; ++type) {
        tn6820fp_synthesizeSegment(type, 0.0, 3.5, 4, s);
        for (double v : s)
            QCOMPARE(v, 3.5);
    }
}

void tst_synthesis::rateChoiceCases_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("segLen");
    QTest::addColumn<int>("nIter");
    QTest::newRow("1 ch 1000 Hz") << 1000 << 1 << 0 << 200 << 40;
    QTest::newRow("8 ch 1000 Hz") << 1000 << 8 << 0 << 200 << 5;
    QTest::newRow("1 ch 1 Hz") << 1 << 1 << 5 << 5000 << 1;
    QTest::newRow("8 ch 1 Hz") << 1 << 8 << 7 << 1000 << 1;
    QTest::newRow("1 ch 50 kHz") << 50000 << 1 << 0 << 4 << 2048;
    QTest::newRow("8 ch 50 kHz") << 50000 << 8 << 0 << 4 << 256;
    QTest::newRow("1 ch 24 Hz") << 24 << 1 << 1 << 4166 << 1;
    QTest::newRow("1 ch 25 Hz") << 25 << 1 << 0 << 8000 << 1;
    QTest::newRow("3 ch 7 Hz") << 7 << 3 << 4 << 1428 << 1;
    QTest::newRow("1 ch 3 kHz") << 3000 << 1 << 0 << 66 << 124;
    QTest::newRow("frequency 0 clamps to 1 Hz") << 0 << 1 << 5 << 5000 << 1;
    QTest::newRow("no channel counts as one") << 1000 << 0 << 0 << 200 << 40;
    QTest::newRow("1 ch 7 Hz") << 7 << 1 << 2 << 7142 << 1;
    QTest::newRow("1 ch 3 Hz") << 3 << 1 << 3 << 6666 << 1;
    QTest::newRow("2 ch 1 Hz") << 1 << 2 << 6 << 2000 << 2;
}

void tst_synthesis::rateChoiceCases()
{
    QFETCH(int, frequency);
    QFETCH(int, channels);
    QFETCH(int, code);
    QFETCH(int, segLen);
    QFETCH(int, nIter);
    const tn6820fp_rateChoice c = tn6820fp_chooseRate(frequency, channels);
    QCOMPARE(tn6820fp_updateCodes[c.rateIndex], code);
    QCOMPARE(c.segLen, segLen);
    QCOMPARE(c.nIter, nIter);
}

void tst_synthesis::rateChoiceEveryFrequency()
{
    for (int channels = 1; channels <= 8; ++channels) {
        const int share = 8192 / channels;
        for (int f = 1; f <= 50000; ++f) {
            const tn6820fp_rateChoice c = tn6820fp_chooseRate(f, channels);
            const auto fail = [&](const char *what) {
                return qPrintable(QStringLiteral("%1 Hz, %2 channels: %3")
                                      .arg(f)
                                      .arg(channels)
                                      .arg(QLatin1String(what)));
            };
            QVERIFY2(c.rateIndex >= 0 && c.rateIndex < tn6820fp_rateCount, fail("rate index"));
            QVERIFY2(c.segLen >= 4, fail("segment shorter than 4"));
            // The cycle is the whole samples that last no longer than a period:
            // one sample more would.
            const qint64 rate = qint64(kRates[tn6820fp_updateCodes[c.rateIndex]]);
            QVERIFY2(qint64(c.segLen) * f <= rate && qint64(c.segLen + 1) * f > rate,
                     fail("segment"));
            QVERIFY2(c.nIter >= 1, fail("no whole cycle"));
            QVERIFY2(c.segLen * c.nIter * channels <= 8192, fail("memory exceeded"));
            QVERIFY2((c.nIter + 1) * c.segLen > share, fail("not all whole cycles used"));
            if (c.rateIndex > 0)
                QVERIFY2(int(kRates[tn6820fp_updateCodes[c.rateIndex] - 1] / f) > share,
                         fail("a faster rate would fit"));
        }
    }
}

void tst_synthesis::phaseSteps_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<int>("segLen");
    QTest::addColumn<int>("steps");
    QTest::addColumn<double>("applied");
    // 120 / 360 x 2000 = 666.7, so 667 samples, 120.06 degrees.
    QTest::newRow("120 at 2000") << 120.0 << 2000 << 667 << 120.06;
    QTest::newRow("240 at 2000") << 240.0 << 2000 << 1333 << 239.94;
    QTest::newRow("90 at 4") << 90.0 << 4 << 1 << 90.0;
    QTest::newRow("120 at 4: the nearest quarter") << 120.0 << 4 << 1 << 90.0;
    QTest::newRow("180 at 5: halves round up") << 180.0 << 5 << 3 << 216.0;
    QTest::newRow("359.9 at 66 wraps to 0") << 359.9 << 66 << 0 << 0.0;
    QTest::newRow("0.1 at 8192") << 0.1 << 8192 << 2 << 2 * 360.0 / 8192;
    QTest::newRow("0") << 0.0 << 200 << 0 << 0.0;
}

void tst_synthesis::phaseSteps()
{
    QFETCH(double, degrees);
    QFETCH(int, segLen);
    QFETCH(int, steps);
    QFETCH(double, applied);
    QCOMPARE(tn6820fp_phaseSteps(degrees, segLen), steps);
    QCOMPARE(tn6820fp_appliedPhase(steps, segLen), applied);
    // The cycle starts that many samples in.
    tn6820fp_channelWave wave;
    wave.waveform = WaveSaw;
    wave.amplitude = 1;
    wave.phaseSteps = steps;
    std::vector<double> plain(static_cast<std::size_t>(segLen));
    std::vector<double> turned(plain.size());
    tn6820fp_synthesizeSegment(WaveSaw, 1, 0, segLen, plain.data());
    tn6820fp_synthesizeCycle(wave, segLen, turned.data());
    for (int j = 0; j < segLen; ++j)
        QVERIFY(sameBits(turned[std::size_t(j)], plain[std::size_t((j + steps) % segLen)]));
}

void tst_synthesis::resampling_data()
{
    QTest::addColumn<QVector<double>>("shape");
    QTest::addColumn<int>("segLen");
    QTest::addColumn<QVector<double>>("cycle");
    const QVector<double> wave{0, 1, 0, -1};
    QTest::newRow("same length passes through") << wave << 4 << wave;
    // Position j x 4 / 8: every other sample halfway, the last one back towards the first.
    QTest::newRow("stretched to 8")
        << wave << 8 << QVector<double>{0, 0.5, 1, 0.5, 0, -0.5, -1, -0.5};
    // Positions 0, 4/3 and 8/3.
    QTest::newRow("shrunk to 3") << wave << 3 << QVector<double>{0, 1 - 1.0 / 3, -2.0 / 3};
    QTest::newRow("two values to 4") << QVector<double>{-1, 1} << 4 << QVector<double>{-1, 0, 1, 0};
}

void tst_synthesis::resampling()
{
    QFETCH(QVector<double>, shape);
    QFETCH(int, segLen);
    QFETCH(QVector<double>, cycle);
    QVector<double> out(segLen, std::nan(""));
    tn6820fp_resampleCycle(shape.constData(), shape.size(), segLen, out.data());
    for (int j = 0; j < segLen; ++j)
        QVERIFY2(std::fabs(out[j] - cycle[j]) < 1e-15, qPrintable(QString::number(j)));
    // Through a channel: the shape times the amplitude plus the offset.
    tn6820fp_channelWave wave;
    wave.waveform = WaveArbitrary;
    wave.amplitude = 4;
    wave.offset = 1;
    const std::vector<double> values(shape.begin(), shape.end());
    wave.shape = &values;
    std::vector<double> sent(static_cast<std::size_t>(segLen));
    tn6820fp_synthesizeCycle(wave, segLen, sent.data());
    for (int j = 0; j < segLen; ++j)
        QVERIFY(sameBits(sent[std::size_t(j)], out[j] * 4 + 1));
}

// A square of 50% duty and a triangle of 50% symmetry are the unit square
// and triangle to the bit, at every length a cycle can have.
void tst_synthesis::sharesAtTheirStart()
{
    std::vector<double> unit(tn6820fp_memorySamples);
    std::vector<double> shared(tn6820fp_memorySamples);
    for (int segLen = 2; segLen <= tn6820fp_memorySamples; ++segLen) {
        tn6820fp_synthesizeSegment(WaveSquare, 1, 0, segLen, unit.data());
        tn6820fp_squareCycle(segLen, 500, shared.data());
        QVERIFY2(std::memcmp(unit.data(), shared.data(), sizeof(double) * segLen) == 0,
                 qPrintable(QStringLiteral("square %1").arg(segLen)));
        tn6820fp_synthesizeSegment(WaveTriangle, 1, 0, segLen, unit.data());
        tn6820fp_triangleCycle(segLen, 500, shared.data());
        QVERIFY2(std::memcmp(unit.data(), shared.data(), sizeof(double) * segLen) == 0,
                 qPrintable(QStringLiteral("triangle %1").arg(segLen)));
    }
}

void tst_synthesis::formulas_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error"); // empty: it parses
    QTest::newRow("every name") << "pow(x, 2) + floor(3*x) - ceil(x) + round(x) + mod(n, 3) + "
                                   "min(x, 1 - x) + max(N, f) * sign(x - 0.5) + abs(ln(e)) + "
                                   "log10(100) + rint(x) + exp(0) + sqrt(4) + tan(0) + 2^3"
                                << "";
    QTest::newRow("a condition") << "x < 0.25 ? 1 : -1"
                                 << "";
    QTest::newRow("an operator out of place") << "x*/2"
                                              << "character 3: unexpected operator \"/\"";
    QTest::newRow("cut short") << "sin("
                               << "character 5: unexpected end of expression";
    QTest::newRow("a name it does not know") << "2 * t"
                                             << "character 5: \"t\" is no name a formula knows";
    QTest::newRow("a decimal comma")
        << "0,5*x"
        << "character 2: a comma separates the arguments of a function only (decimals take a "
           "point)";
    QTest::newRow("letters of another script")
        << "\u00e9 + x"
        << "character 1: \"\u00e9\" is no name a formula knows";
    QTest::newRow("empty") << "  "
                           << "empty; type an expression of x, such as sin(2*pi*x)";
    QTest::newRow("too long") << QString(1001, QLatin1Char('x'))
                              << "1001 characters; a formula has at most 1000";
    QTest::newRow("as long as it may be")
        << QStringLiteral("x") + QStringLiteral("+x").repeated(499) + QStringLiteral(" ") << "";
}

void tst_synthesis::formulas()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    QString why = QStringLiteral("unset");
    const std::shared_ptr<const tn6820fp_formula> f = tn6820fp_formula::parse(text, &why);
    QCOMPARE(why, error);
    QCOMPARE(bool(f), error.isEmpty());
    if (!f)
        return;
    QCOMPARE(f->text(), text);
    std::vector<double> values(64);
    QCOMPARE(f->evaluate(64, 1, 1000, values.data()), -1);
}

QTEST_GUILESS_MAIN(tst_synthesis)
#include "tst_synthesis.moc"
