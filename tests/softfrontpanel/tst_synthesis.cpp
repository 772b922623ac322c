// Waveform synthesis and the update-rate search.
#include <QtTest>
#include <cmath>
#include <cstring>

#include "testsupport.h"
#include "tn6820fp_synthesis.h"

using sfptest::sameBits;

namespace {

// The formulas written out sample by sample, as the card must receive them.
double reference(int type, int j, int segLen, double A, double O)
{
    const double x = j;
    const int h = segLen / 2;
    switch (type) {
    case WaveSine:
        return std::sin((x * 6.2831853) / segLen) * A + O;
    case WaveSquare:
        return j < h ? O + A : O - A;
    case WaveSaw:
        return ((x + x) / (segLen - 1) - 1) * A + O;
    case WaveTriangle:
        return j < h ? (x * 4 / (segLen - 1) - 1) * A + O
                     : (double(segLen - 1 - j) * 4 / (segLen - 1) - 1) * A + O;
    default:
        return O;
    }
}

} // namespace

class tst_synthesis : public QObject
{
    Q_OBJECT
private slots:
    void shortSegments_data();
    void shortSegments();
    void bitIdenticalToFormulas_data();
    void bitIdenticalToFormulas();
    void blocksOfSelectedChannels();
    void noWaveformHoldsOffset();
    void valuesAreNotClipped();
    void rateChoiceCases_data();
    void rateChoiceCases();
    void rateChoiceEveryFrequency();
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

void tst_synthesis::bitIdenticalToFormulas_data()
{
    QTest::addColumn<int>("segLen");
    for (int n : {4, 5, 6, 7, 66, 100, 199, 200, 1000, 1428, 4166, 5000, 8000, 8192})
        QTest::newRow(qPrintable(QString::number(n))) << n;
}

void tst_synthesis::bitIdenticalToFormulas()
{
    QFETCH(int, segLen);
    const double amplitudes[] = {1.0, 10.0, 0.37, 0.0};
    const double offsets[] = {0.0, -2.5, 10.0};
    for (int type = WaveNone; type <= WaveTriangle; ++type) {
        for (double A : amplitudes) {
            for (double O : offsets) {
                QVector<double> s(segLen);
                tn6820fp_synthesizeSegment(type, A, O, segLen, s.data());
                for (int j = 0; j < segLen; ++j) {
                    if (!sameBits(s[j], reference(type, j, segLen, A, O)))
                        QFAIL(qPrintable(QStringLiteral("type %1 A %2 O %3 j %4")
                                             .arg(type)
                                             .arg(A)
                                             .arg(O)
                                             .arg(j)));
                }
            }
        }
    }
    // The sine's fixed constant leaves a small remainder where 2 pi would give 0.
    if (segLen == 4) {
        double s[4];
        tn6820fp_synthesizeSegment(WaveSine, 1.0, 0.0, 4, s);
        QCOMPARE(s[0], 0.0);
        QCOMPARE(s[1], 1.0);
        QVERIFY(s[2] > 3.5e-9 && s[2] < 3.7e-9);
        QCOMPARE(s[3], -1.0);
    }
}

void tst_synthesis::blocksOfSelectedChannels()
{
    tn6820fp_channelWave ch[8];
    ch[0] = {true, WaveSine, 2.0, 0.5};
    ch[1] = {false, WaveSquare, 1.0, 0.0};
    ch[2] = {true, WaveTriangle, 3.0, -1.0};
    QVector<double> buffer(2 * 2 * 100, std::nan(""));
    tn6820fp_synthesize(ch, 100, 2, buffer.data());
    for (int r = 0; r < 2; ++r) {
        for (int j = 0; j < 100; ++j) {
            QVERIFY(sameBits(buffer[r * 100 + j], reference(WaveSine, j, 100, 2.0, 0.5)));
            QVERIFY(
                sameBits(buffer[200 + r * 100 + j], reference(WaveTriangle, j, 100, 3.0, -1.0)));
        }
    }
}

void tst_synthesis::noWaveformHoldsOffset()
{
    tn6820fp_channelWave ch[8];
    ch[4] = {true, WaveNone, 5.0, 1.25};
    QVector<double> buffer(3 * 7, std::nan(""));
    tn6820fp_synthesize(ch, 7, 3, buffer.data());
    for (double v : buffer)
        QCOMPARE(v, 1.25);
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
}

void tst_synthesis::rateChoiceCases()
{
    QFETCH(int, frequency);
    QFETCH(int, channels);
    QFETCH(int, code);
    QFETCH(int, segLen);
    QFETCH(int, nIter);
    const tn6820fp_rateChoice c = tn6820fp_chooseRate(frequency, channels);
    QCOMPARE(tn6820fp_updateCodes[c.freqIdx], code);
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
            QVERIFY2(c.freqIdx >= 0 && c.freqIdx < tn6820fp_rateCount, fail("rate index"));
            QVERIFY2(c.segLen >= 4, fail("segment shorter than 4"));
            QVERIFY2(c.segLen == int(tn6820fp_updateRates[c.freqIdx] / f), fail("segment"));
            QVERIFY2(c.nIter >= 1, fail("no whole cycle"));
            QVERIFY2(c.segLen * c.nIter * channels <= 8192, fail("memory exceeded"));
            QVERIFY2(c.nIter == share / c.segLen, fail("not all whole cycles used"));
            if (c.freqIdx > 0)
                QVERIFY2(int(tn6820fp_updateRates[c.freqIdx - 1] / f) > share,
                         fail("a faster rate would fit"));
        }
    }
}

QTEST_GUILESS_MAIN(tst_synthesis)
#include "tst_synthesis.moc"
