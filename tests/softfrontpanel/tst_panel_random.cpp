// Random sequences of changes through the panel's controls, each ended by
// Start (and Stop): what reaches the card is what the test computes from its
// own formulas, and every preview shows its channel's part of it.
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <random>

#include "panelfixture.h"

using sfptest::traceArgs;
using sfptest::traceSamples;

namespace {

// What the test believes the controls are set to.
struct Channel
{
    bool selected = false;
    int waveform = WaveSine;
    double amplitude = 10;
    double offset = 0;
    double phase = 0;
    QVector<double> shape; // normalised, as loaded; empty before a file is read
    double duty = 50;
    double symmetry = 50;
    int multiple = 1;
    int formula = 0; // in kFormulas
};

// Formulas typed, and their values at x = k / segLen, n = k / multiple,
// N = segLen / multiple, as muParser computes them.
const char *const kFormulas[] = {"sin(2*pi*x)", "x < 0.25 ? 1 : -1", "n / N", "4*x*(1-x)"};
double formulaAt(int formula, int k, int segLen, int multiple)
{
    const double pi = 3.14159265358979323846;
    const double x = double(k) / segLen;
    switch (formula) {
    case 0:
        return std::sin(2 * pi * x);
    case 1:
        return x < 0.25 ? 1 : -1;
    case 2:
        return (double(k) / multiple) / (double(segLen) / multiple);
    default:
        return 4 * x * (1 - x);
    }
}

// The card's rates, fastest first.
const double kRates[] = {200000, 100000, 50000, 20000, 10000, 5000, 2000, 1000, 500, 200, 100};

// One cycle of a channel, by hand: the unit shape times the amplitude plus the
// offset, stretched by linear interpolation for an arbitrary shape, then
// played multiple times over and started its phase (to the nearest whole
// sample of the segment) into its own cycle. A square of other than 50% is
// high for the nearest whole number of samples to its share (a tie going
// lower); a triangle of other than 50% peaks at the nearest half sample.
QVector<double> cycleOf(const Channel &c, int segLen)
{
    QVector<double> s(segLen);
    const double A = c.amplitude;
    const double O = c.offset;
    const long long duty = std::llround(c.duty * 10);
    const long long symmetry = std::llround(c.symmetry * 10);
    const long long high = (duty * segLen + 499) / 1000;
    const double peak = double((symmetry * (segLen - 1) + 249) / 500) / 2;
    for (int j = 0; j < segLen; ++j) {
        const double x = j;
        switch (c.waveform) {
        case WaveSine:
            s[j] = std::sin((x * 6.2831853) / segLen) * A + O;
            break;
        case WaveSquare:
            if (duty == 500)
                s[j] = j < segLen / 2 ? O + A : O - A;
            else
                s[j] = (j < high ? 1.0 : -1.0) * A + O;
            break;
        case WaveSaw:
            s[j] = ((x + x) / (segLen - 1) - 1) * A + O;
            break;
        case WaveTriangle: {
            if (symmetry == 500) {
                const double rise = j < segLen / 2 ? x : double(segLen - 1 - j);
                s[j] = (rise * 4 / (segLen - 1) - 1) * A + O;
            } else {
                const double fall = (segLen - 1) - peak;
                const double v = j < peak   ? 2 * x / peak - 1
                                 : fall > 0 ? 2 * (segLen - 1 - x) / fall - 1
                                            : 1.0;
                s[j] = v * A + O;
            }
            break;
        }
        case WaveFormula:
            s[j] = formulaAt(c.formula, j, segLen, c.multiple) * A + O;
            break;
        case WaveArbitrary: {
            const int n = c.shape.size();
            const long long at = (long long)j * n;
            const double a = c.shape[int(at / segLen)];
            const double b = c.shape[int((at / segLen + 1) % n)];
            const long long rest = at % segLen;
            s[j] = (rest == 0 ? a : a + (b - a) * (double(rest) / segLen)) * A + O;
            break;
        }
        default:
            s[j] = O;
        }
    }
    const long long steps = ((std::llround(c.phase / 360.0 * segLen) % segLen) + segLen) % segLen;
    QVector<double> played(segLen);
    for (int j = 0; j < segLen; ++j)
        played[j] = s[int((j * (long long)c.multiple + steps) % segLen)];
    return played;
}

} // namespace

class tst_panel_random : public QObject
{
    Q_OBJECT
private slots:
    void randomSequences();
};

void tst_panel_random::randomSequences()
{
    const int sequences = qEnvironmentVariableIsSet("SFP_RANDOM_SEQUENCES")
                              ? qEnvironmentVariableIntValue("SFP_RANDOM_SEQUENCES")
                              : 2000;
    const unsigned seed = qEnvironmentVariableIsSet("SFP_RANDOM_SEED")
                              ? unsigned(qEnvironmentVariableIntValue("SFP_RANDOM_SEED"))
                              : 6820u;
    std::mt19937 random(seed);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    // Shape files of 4 to 9000 values; normalised by the largest magnitude.
    QTemporaryDir dir;
    QStringList files;
    QVector<QVector<double>> shapes;
    for (int count : {4, 5, 97, 2000, 9000}) {
        QByteArray text = "value\n";
        QVector<double> values;
        for (int i = 0; i < count; ++i) {
            // The first is the largest magnitude, so each value is read as v / 1000.
            const int v = i == 0 ? 1000 : pick(-1000, 1000);
            text += QByteArray::number(v) + '\n';
            values << v / 1000.0;
        }
        files << sfptest::writeFile(dir.path(), QStringLiteral("shape%1.csv").arg(count), text);
        shapes << values;
    }
    PanelFixture f;
    f.open(PanelFixture::Vxi);
    // Within the card's range whatever the offset: no box about clipping.
    Channel channels[8];
    for (int n = 0; n < 8; ++n) {
        f.channel(n + 1)->amplitude->setValue(5);
        channels[n].amplitude = 5;
    }
    channels[0].selected = true;
    // Any box would be a fault here: it fails the test at once.
    sfptest::ModalAnswers noBox;
    int frequency = 1000;
    int mode = 0;
    for (int sequence = 0; sequence < sequences; ++sequence) {
        const QString where = QStringLiteral("seed %1, sequence %2").arg(seed).arg(sequence);
        for (int change = pick(1, 4); change > 0; --change) {
            const int n = pick(0, 7);
            tn6820fp_chSet *ch = f.channel(n + 1);
            Channel &c = channels[n];
            switch (pick(0, 12)) {
            case 0:
                frequency = pick(0, 2) == 0 ? pick(1, 100) : pick(1, 50000);
                f.frequency()->setValue(frequency);
                break;
            case 1:
                f.filter()->setCurrentIndex(pick(0, 3));
                break;
            case 2:
                mode = pick(0, 1);
                f.mode()->setCurrentIndex(mode);
                break;
            case 3:
                c.selected = !c.selected;
                f.select(n + 1)->setChecked(c.selected);
                break;
            case 4: {
                const int w = pick(WaveSine, WaveFormula);
                if (w == WaveArbitrary && c.shape.isEmpty()) {
                    const int s = pick(0, int(files.size()) - 1);
                    QVERIFY2(ch->loadShape(files[s]), qPrintable(where));
                    c.shape = shapes[s];
                }
                // A click on the chosen shape releases it.
                const char *names[] = {"",         "sine",      "square", "saw",
                                       "triangle", "arbitrary", "formula"};
                sfptest::child<QPushButton>(ch, QLatin1String(names[w]) + QStringLiteral("Button"))
                    ->click();
                c.waveform = c.waveform == w ? int(WaveNone) : w;
                break;
            }
            case 5:
                ch->amplitude->setValue(pick(0, 500) / 100.0);
                c.amplitude = ch->amplitude->value();
                break;
            case 6:
                ch->offset->setValue(pick(-500, 500) / 100.0);
                c.offset = ch->offset->value();
                break;
            case 7:
                ch->phase->setValue(pick(0, 3599) / 10.0);
                c.phase = ch->phase->value();
                break;
            case 8: {
                const int s = pick(0, int(files.size()) - 1);
                QVERIFY2(ch->loadShape(files[s]), qPrintable(where));
                c.shape = shapes[s];
                break;
            }
            case 9:
                ch->duty->setValue(pick(0, 1000) / 10.0);
                c.duty = ch->duty->value();
                break;
            case 10:
                ch->symmetry->setValue(pick(0, 1000) / 10.0);
                c.symmetry = ch->symmetry->value();
                break;
            case 11:
                ch->multiple->setValue(pick(0, 9) == 0 ? pick(1, 1000) : pick(1, 6));
                c.multiple = ch->multiple->value();
                break;
            case 12:
                // Typed key by key: what is typed on the way parses or not,
                // and the last formula that does is the one that plays.
                c.formula = pick(0, 3);
                ch->formula->clear();
                QTest::keyClicks(ch->formula, QLatin1String(kFormulas[c.formula]));
                break;
            }
        }
        // A single cycle waits one period: kept short.
        if (mode == 0 && frequency < 200) {
            frequency = pick(200, 50000);
            f.frequency()->setValue(frequency);
        }
        int selected = 0;
        for (const Channel &c : channels)
            selected += c.selected ? 1 : 0;
        const int share = 8192 / std::max(selected, 1);
        int rate = 0;
        while (rate < 10 && int(kRates[rate] / frequency) > share)
            ++rate;
        const int segLen = int(kRates[rate] / frequency);
        const int cycles = mode == 0 ? 1 : share / segLen;

        const QString sent = f.startAndTraceGeneration(mode);
        if (selected == 0) {
            QVERIFY2(sent.isEmpty(), qPrintable(where));
            continue;
        }
        const auto args = traceArgs(sent);
        QCOMPARE(args.value(QStringLiteral("updateRate")).toInt(), rate);
        QCOMPARE(args.value(QStringLiteral("filter")).toInt(), f.filter()->currentIndex());
        const QVector<double> buffer = traceSamples(sent, QStringLiteral("buffer"));
        QVERIFY2(buffer.size() == selected * cycles * segLen, qPrintable(where));
        int block = 0;
        for (int n = 0; n < 8; ++n) {
            if (!channels[n].selected)
                continue;
            const QVector<double> cycle = cycleOf(channels[n], segLen);
            for (int r = 0; r < cycles; ++r) {
                const QVector<double> part = buffer.mid((block * cycles + r) * segLen, segLen);
                QVERIFY2(sfptest::sameBits(part, std::vector<double>(cycle.begin(), cycle.end())),
                         qPrintable(where + QStringLiteral(", channel %1").arg(n + 1)));
            }
            QVERIFY2(sfptest::sameBits(cycle, f.preview(n + 1)->samples()),
                     qPrintable(where + QStringLiteral(", preview %1").arg(n + 1)));
            ++block;
        }
        if (mode == 1)
            f.stopButton()->click();
    }
}

QTEST_MAIN(tst_panel_random)
#include "tst_panel_random.moc"
