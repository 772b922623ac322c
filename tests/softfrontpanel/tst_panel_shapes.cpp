// Phases and arbitrary waveforms end to end: set through the controls, sent
// through the stand-in driver, checked against the trace bit for bit.
#include <QFileDialog>
#include <QLineEdit>
#include <QTextDocumentFragment>
#include <sndfile.h>

#include "panelfixture.h"

using sfptest::ModalAnswers;
using sfptest::sameBits;
using sfptest::traceArgs;
using sfptest::traceSamples;

namespace {

// The samples one start sent: the buffer and what each channel's block holds.
struct Sent
{
    QVector<double> buffer;
    int perChannel = 0;
    QString rate;
};

Sent startAndRead(PanelFixture &f, int mode)
{
    const QString line = f.startAndTraceGeneration(mode);
    const auto a = traceArgs(line);
    Sent s;
    s.buffer = traceSamples(line, QStringLiteral("buffer"));
    s.perChannel =
        a.value(mode == 0 ? QStringLiteral("segmentLength") : QStringLiteral("samplesPerChannel"))
            .toInt();
    s.rate = a.value(QStringLiteral("updateRate"));
    return s;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return f.fileName();
}

// A one-channel WAV of 16-bit integers or of floats.
QString writeWav(const QTemporaryDir &dir, const QString &name, const QVector<double> &values,
                 bool floats)
{
    const QByteArray path = dir.filePath(name).toLocal8Bit();
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | (floats ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
    SNDFILE *f = sf_open(path.constData(), SFM_WRITE, &info);
    if (floats) {
        sf_writef_double(f, values.constData(), values.size());
    } else {
        QVector<short> ints;
        for (double v : values)
            ints << short(v);
        sf_writef_short(f, ints.constData(), ints.size());
    }
    sf_close(f);
    return QString::fromLocal8Bit(path);
}

// The arbitrary shape channel n (from 1) holds in the panel's settings.
const tn6820fp_arbitraryShape *shapeOf(const PanelFixture &f, int n)
{
    return f.panel->settings().channels[std::size_t(n - 1)].shape.get();
}

} // namespace

class tst_panel_shapes : public QObject
{
    Q_OBJECT
private slots:
    void phases_data();
    void phases();
    void arbitrary_data();
    void arbitrary();
    void arbitraryThroughTheDialog();
    void phaseOfAShapeAndOfAChannelLeftOut();
    void setupsThroughTheDialogs();
    void formulaTyped_data();
    void formulaTyped();
};

void tst_panel_shapes::phases_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QVector<double>>("phases"); // of channels 1, 2, 3
    QTest::addColumn<QVector<int>>("steps");     // whole samples, by hand
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("amber");
    QTest::addColumn<QVector<int>>("multiples");
    const QVector<int> once{1, 1, 1};
    // Three channels at 50 Hz: 100 kS/s, 2000 samples; 120 degrees are 666.7
    // samples, so 667 (120.06 degrees), 240 are 1333 (239.94 degrees).
    const QVector<double> threePhase{0, 120, 240};
    QTest::newRow("three-phase, single cycle")
        << 50 << 0 << threePhase << QVector<int>{0, 667, 1333}
        << QString::fromUtf8("Output: 50.00 Hz at 100 kS/s, 2000 samples per cycle\n"
                             "Phase: Ch2 120.1\xc2\xb0, Ch3 239.9\xc2\xb0")
        << true << once;
    QTest::newRow("three-phase, continuous")
        << 50 << 1 << threePhase << QVector<int>{0, 667, 1333}
        << QString::fromUtf8("Output: 50.00 Hz at 100 kS/s, 2000 samples per cycle, 1 cycle in "
                             "memory\nPhase: Ch2 120.1\xc2\xb0, Ch3 239.9\xc2\xb0")
        << true << once;
    // 1 kHz: 200 samples, 13 cycles a channel; sine and cosine exactly.
    QTest::newRow("quadrature, continuous, every cycle")
        << 1000 << 1 << QVector<double>{90, 0, 180} << QVector<int>{50, 0, 100}
        << QString::fromUtf8("Output: 1000.00 Hz at 200 kS/s, 200 samples per cycle, 13 cycles "
                             "in memory\nPhase: Ch1 90.0\xc2\xb0, Ch3 180.0\xc2\xb0")
        << false << once;
    // A fundamental and its odd harmonics: sample j of a channel at multiple
    // m is its shape's sample (j m + steps) mod 2000.
    QTest::newRow("50, 150 and 250 Hz in three phases")
        << 50 << 0 << threePhase << QVector<int>{0, 667, 1333}
        << QString::fromUtf8("Output: 50.00 Hz at 100 kS/s, 2000 samples per cycle\n"
                             "Phase: Ch2 120.1\xc2\xb0, Ch3 239.9\xc2\xb0\n"
                             "Multiple: Ch2 \xc3\x97"
                             "3 150.00 Hz, Ch3 \xc3\x97"
                             "5 250.00 Hz")
        << true << QVector<int>{1, 3, 5};
    QTest::newRow("2 and 4 kHz beside 1 kHz, continuous")
        << 1000 << 1 << QVector<double>{90, 0, 180} << QVector<int>{50, 0, 100}
        << QString::fromUtf8("Output: 1000.00 Hz at 200 kS/s, 200 samples per cycle, 13 cycles "
                             "in memory\nPhase: Ch1 90.0\xc2\xb0, Ch3 180.0\xc2\xb0\n"
                             "Multiple: Ch1 \xc3\x97"
                             "2 2000.00 Hz, Ch2 \xc3\x97"
                             "4 4000.00 Hz")
        << false << QVector<int>{2, 4, 1};
}

// Every channel's cycle is channel 2's... all three are the same sine, so
// each block is the phase-0 cycle turned by its whole samples, in every repeat.
void tst_panel_shapes::phases()
{
    QFETCH(int, frequency);
    QFETCH(int, mode);
    QFETCH(QVector<double>, phases);
    QFETCH(QVector<int>, steps);
    QFETCH(QString, shown);
    QFETCH(bool, amber);
    QFETCH(QVector<int>, multiples);
    PanelFixture f;
    f.open(PanelFixture::Vxi);
    for (int n = 1; n <= 3; ++n) {
        f.select(n)->setChecked(true);
        f.channel(n)->phase->setValue(phases[n - 1]);
        f.channel(n)->multiple->setValue(multiples[n - 1]);
    }
    f.mode()->setCurrentIndex(mode);
    f.frequency()->setValue(frequency);
    auto *label = f.get<QLabel>(QStringLiteral("realOutput"));
    QCOMPARE(label->accessibleName(), shown);
    QCOMPARE(label->text().contains(QLatin1String("color:#b35c00")), amber);
    const Sent s = startAndRead(f, mode);
    const int segLen =
        shown.section(QStringLiteral(", "), 1, 1).section(QLatin1Char(' '), 0, 0).toInt();
    QCOMPARE(s.buffer.size(), 3 * s.perChannel);
    // A 10 V sine at phase 0, sample j: sin(j x 6.2831853 / segLen) x 10.
    for (int n = 0; n < 3; ++n) {
        for (int k = 0; k < s.perChannel; ++k) {
            const int j = ((k % segLen) * multiples[n] + steps[n]) % segLen;
            const double expected = std::sin((double(j) * 6.2831853) / segLen) * 10.0 + 0.0;
            QVERIFY2(sameBits(s.buffer[n * s.perChannel + k], expected),
                     qPrintable(QStringLiteral("channel %1, sample %2").arg(n + 1).arg(k)));
        }
        QVERIFY(sameBits(s.buffer.mid(n * s.perChannel, segLen), f.preview(n + 1)->samples()));
        QCOMPARE(f.preview(n + 1)->startText(),
                 steps[n] == 0 ? QStringLiteral("0")
                               : QStringLiteral("starts at ") +
                                     shown.section(QStringLiteral("Ch%1 ").arg(n + 1), 1, 1)
                                         .section(QLatin1Char(','), 0, 0)
                                         .section(QLatin1Char('\n'), 0, 0));
    }
    f.stopButton()->click();
}

void tst_panel_shapes::arbitrary_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("frequency");
    QTest::addColumn<bool>("demo");
    QTest::addColumn<QVector<double>>("cycle"); // sent at 10 V amplitude, by hand
    // Normalised: 0, 0.5, -1, 0.25; as long as the cycle: through unchanged.
    const QVector<double> asIs{0, 5, -10, 2.5};
    QTest::newRow("CSV, 4 values at 4 samples") << "csv" << 50000 << false << asIs;
    // Stretched to 8: halfway points between, the last back towards the first.
    QTest::newRow("CSV, 4 values at 8 samples")
        << "csv" << 25000 << false << QVector<double>{0, 2.5, 5, -2.5, -10, -3.75, 2.5, 1.25};
    QTest::newRow("16-bit WAV") << "wav16" << 50000 << false << asIs;
    QTest::newRow("float WAV") << "float" << 50000 << false << asIs;
    QTest::newRow("CSV in demo mode")
        << "csv" << 25000 << true << QVector<double>{0, 2.5, 5, -2.5, -10, -3.75, 2.5, 1.25};
}

void tst_panel_shapes::arbitrary()
{
    QFETCH(QString, kind);
    QFETCH(int, frequency);
    QFETCH(bool, demo);
    QFETCH(QVector<double>, cycle);
    QTemporaryDir dir;
    QString path;
    if (kind == QLatin1String("csv"))
        path = writeFile(dir, QStringLiteral("shape.csv"), "value\n0\n2\n-4\n1\n");
    else if (kind == QLatin1String("wav16"))
        path = writeWav(dir, QStringLiteral("shape.wav"), {0, 16384, -32768, 8192}, false);
    else
        path = writeWav(dir, QStringLiteral("shape.wav"), {0, 0.125, -0.25, 0.0625}, true);
    PanelFixture f;
    f.open(demo ? PanelFixture::Demo : PanelFixture::Vxi);
    tn6820fp_chSet *ch = f.channel(1);
    QVERIFY(ch->loadShape(path));
    QCOMPARE(ch->shapeLabel->text(), QFileInfo(path).fileName() + QStringLiteral(", 4 samples"));
    QCOMPARE(ch->waveform, int(WaveSine)); // loaded, not yet chosen
    ch->arbitraryButton->click();          // a shape is there: no dialog
    QCOMPARE(ch->waveform, int(WaveArbitrary));
    QVERIFY(!ch->sineButton->isChecked());
    f.frequency()->setValue(frequency);
    const std::vector<double> previewed = f.preview(1)->samples();
    QCOMPARE(int(previewed.size()), cycle.size());
    for (int j = 0; j < cycle.size(); ++j)
        QVERIFY2(sameBits(previewed[std::size_t(j)], cycle[j]), qPrintable(QString::number(j)));
    if (demo) {
        f.bench.clearTrace();
        f.startButton()->click();
        QVERIFY(f.driverCalls().isEmpty());
        QVERIFY(sameBits(cycle, f.preview(1)->samples()));
        return;
    }
    const Sent s = startAndRead(f, 0);
    QVERIFY(sameBits(s.buffer, previewed));
    // Released and chosen again: the same shape, no dialog.
    ch->arbitraryButton->click();
    QCOMPARE(ch->waveform, int(WaveNone));
    ch->arbitraryButton->click();
    QCOMPARE(ch->waveform, int(WaveArbitrary));
}

// The first Arbitrary click asks for a file in Qt's own dialog; a bad file is
// refused with a message naming it and the line, and the channel keeps its sine.
void tst_panel_shapes::arbitraryThroughTheDialog()
{
    QTemporaryDir dir;
    const QString bad = writeFile(dir, QStringLiteral("bad.csv"), "1\n2\nthree\n");
    const QString good = writeFile(dir, QStringLiteral("good.csv"), "1\n-1\n");
    PanelFixture f;
    f.open(PanelFixture::Demo);
    tn6820fp_chSet *ch = f.channel(2);
    auto pick = [](const QString &path) {
        return [path](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            QVERIFY(dialog);
            QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
            // Typed, as a user may: the dialog's folder view fills in later.
            sfptest::child<QLineEdit>(dialog, QStringLiteral("fileNameEdit"))->setText(path);
            static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept, with the file
        };
    };
    QString warning;
    ModalAnswers answers;
    answers.act(pick(bad)).click(QStringLiteral("OK"), [&warning](QWidget *w) {
        warning = sfptest::labelText(*w, "qt_msgbox_label");
    });
    ch->arbitraryButton->click();
    QVERIFY(answers.allAnswered());
    QCOMPARE(warning, QStringLiteral("The waveform was not changed. bad.csv: line 3: \"three\" is "
                                     "not a number."));
    QCOMPARE(ch->waveform, int(WaveSine));
    QVERIFY(ch->sineButton->isChecked());
    QVERIFY(!ch->arbitraryButton->isChecked());
    QVERIFY(!shapeOf(f, 2));

    answers.act(pick(good));
    ch->arbitraryButton->click();
    QVERIFY(answers.allAnswered());
    QCOMPARE(ch->waveform, int(WaveArbitrary));
    QVERIFY(!ch->sineButton->isChecked());
    QCOMPARE(ch->shapeLabel->text(), QStringLiteral("good.csv, 2 samples"));
    QCOMPARE(shapeOf(f, 2)->values, (std::vector<double>{1, -1}));

    // With Shift or Ctrl held, a click asks for another file even though the
    // channel has one; without a file chosen nothing changes.
    const QString other = writeFile(dir, QStringLiteral("other.csv"), "2\n0\n-2\n");
    answers.act(pick(other));
    QTest::mouseClick(ch->arbitraryButton, Qt::LeftButton, Qt::ShiftModifier);
    QVERIFY(answers.allAnswered());
    QCOMPARE(ch->waveform, int(WaveArbitrary));
    QVERIFY(ch->arbitraryButton->isChecked());
    QCOMPARE(ch->shapeLabel->text(), QStringLiteral("other.csv, 3 samples"));
    QCOMPARE(shapeOf(f, 2)->values, (std::vector<double>{1, 0, -1}));
    answers.act([](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
    QTest::mouseClick(ch->arbitraryButton, Qt::LeftButton, Qt::ControlModifier);
    QVERIFY(answers.allAnswered());
    QCOMPARE(ch->waveform, int(WaveArbitrary));
    QVERIFY(ch->arbitraryButton->isChecked());
    QCOMPARE(shapeOf(f, 2)->values, (std::vector<double>{1, 0, -1}));
    // A plain click releases it, as for every shape.
    QTest::mouseClick(ch->arbitraryButton, Qt::LeftButton);
    QCOMPARE(ch->waveform, int(WaveNone));
}

// An arbitrary shape turns like a built-in one; a channel that takes no part
// keeps its phase in its preview, but the line under the common settings and
// the card know nothing of it.
void tst_panel_shapes::phaseOfAShapeAndOfAChannelLeftOut()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("shape.csv"), "0\n2\n-4\n1\n");
    PanelFixture f;
    f.open(PanelFixture::Vxi);
    tn6820fp_chSet *shaped = f.channel(1);
    QVERIFY(shaped->loadShape(path));
    shaped->arbitraryButton->click();
    shaped->phase->setValue(90);
    f.select(1)->setChecked(true);
    f.select(2)->setChecked(false);
    f.channel(2)->phase->setValue(45);
    // One channel at 25 kHz: 8 samples at 200 kS/s; 90 degrees are 2 samples.
    f.frequency()->setValue(25000);
    QCOMPARE(f.get<QLabel>(QStringLiteral("realOutput"))->accessibleName(),
             QString::fromUtf8("Output: 25000.00 Hz at 200 kS/s, 8 samples per cycle\n"
                               "Phase: Ch1 90.0\xc2\xb0"));
    QCOMPARE(f.preview(2)->startText(), QString::fromUtf8("starts at 45.0\xc2\xb0"));
    QVERIFY(f.preview(2)->isDimmed());
    QCOMPARE(f.preview(1)->startText(), QString::fromUtf8("starts at 90.0\xc2\xb0"));
    // The stretched cycle (0, 2.5, 5, -2.5, -10, -3.75, 2.5, 1.25) from its third sample.
    const QVector<double> turned{5, -2.5, -10, -3.75, 2.5, 1.25, 0, 2.5};
    const Sent s = startAndRead(f, 0);
    QCOMPARE(s.perChannel, 8);
    QVERIFY(sameBits(s.buffer, std::vector<double>(turned.begin(), turned.end())));
    QVERIFY(sameBits(turned, f.preview(1)->samples()));
    QCOMPARE(traceArgs(f.bench.calls(QStringLiteral("tn6820_generateWaveforms")).value(0))
                 .value(QStringLiteral("channelMask")),
             QStringLiteral("0x01"));
}

// A setup saved through Qt's dialog and opened again brings back the whole
// page, shapes and all, and starts nothing; a refused one changes nothing;
// while the panel generates, no setup can be opened.
void tst_panel_shapes::setupsThroughTheDialogs()
{
    QTemporaryDir dir;
    const QString shape = writeFile(dir, QStringLiteral("pulse.csv"), "0\n4\n-2\n");
    const QString saved = dir.filePath(QStringLiteral("bench setup.json"));
    const QString bad = writeFile(dir, QStringLiteral("bad.json"),
                                  R"({"format": "tn6820fp-setup", "version": 1, "channels": [{}, {},
                                  {"amplitude": 11}, {}, {}, {}, {}, {}]})");
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Vxi);
    auto choose = [](const QString &path) {
        return [path](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            QVERIFY(dialog);
            QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("Setups (*.json)")});
            sfptest::child<QLineEdit>(dialog, QStringLiteral("fileNameEdit"))->setText(path);
            static_cast<QDialog *>(dialog)->accept();
        };
    };
    QVERIFY(f.channel(3)->loadShape(shape));
    f.channel(3)->arbitraryButton->click();
    f.select(3)->setChecked(true);
    f.channel(3)->phase->setValue(90);
    f.channel(2)->sawButton->click();
    f.channel(2)->offset->setValue(-2.25);
    f.frequency()->setValue(4321);
    f.filter()->setCurrentIndex(0);
    f.mode()->setCurrentIndex(1);
    f.dac(1)->setValue(1.5);
    const tn6820fp_panelSettings before = panel.settings();
    ModalAnswers answers;
    answers.act(choose(saved));
    f.get<QPushButton>(QStringLiteral("saveSetupButton"))->click();
    QVERIFY(answers.allAnswered());
    QVERIFY(QFile::exists(saved));

    // Back to a new panel's page, then the setup again.
    panel.applySettings(tn6820fp_panelSettings::initial(10));
    QVERIFY(panel.settings() != before);
    f.bench.clearTrace();
    answers.act(choose(saved));
    f.get<QPushButton>(QStringLiteral("openSetupButton"))->click();
    QVERIFY(answers.allAnswered());
    QVERIFY(panel.settings() == before);
    QCOMPARE(f.frequency()->value(), 4321);
    QCOMPARE(f.channel(3)->waveform, int(WaveArbitrary));
    QCOMPARE(f.channel(3)->shapeLabel->text(), QStringLiteral("pulse.csv, 3 samples"));
    QCOMPARE(f.channel(2)->offset->value(), -2.25);
    QVERIFY(f.driverCalls().isEmpty()); // nothing sent, nothing started
    QCOMPARE(f.dac(1)->value(), 1.5);

    QString warning;
    answers.act(choose(bad)).click(QStringLiteral("OK"), [&warning](QWidget *w) {
        warning = sfptest::labelText(*w, "qt_msgbox_label");
    });
    f.get<QPushButton>(QStringLiteral("openSetupButton"))->click();
    QVERIFY(answers.allAnswered());
    QCOMPARE(warning,
             QStringLiteral("The setup was not opened. bad.json: channels[2].amplitude: 11 "
                            "is outside 0 to 10 V."));
    QVERIFY(panel.settings() == before);

    f.startButton()->click(); // continuous
    QVERIFY(!f.get<QPushButton>(QStringLiteral("openSetupButton"))->isEnabled());
    f.stopButton()->click();
    QVERIFY(f.get<QPushButton>(QStringLiteral("openSetupButton"))->isEnabled());

    // Keys a setup leaves out take a new panel's values, not the page's; a
    // name from a setup is plain text, whole in the tooltip.
    const QString markup = QStringLiteral("<b>bold</b><img src=\"x\">.csv");
    const QString partial = writeFile(
        dir, QStringLiteral("partial.json"),
        R"({"format": "tn6820fp-setup", "version": 1, "frequency": 60, "channels": [{}, {},
        {"shape": {"file": "<b>bold</b><img src=\"x\">.csv", "values": [0, 1]}}, {}, {}, {}, {},
        {}]})");
    answers.act(choose(partial));
    f.get<QPushButton>(QStringLiteral("openSetupButton"))->click();
    QVERIFY(answers.allAnswered());
    QCOMPARE(panel.settings().frequency, 60);
    QCOMPARE(panel.settings().mode, int(ModeSingleCycle));
    QCOMPARE(panel.settings().filter, 2);
    for (int n = 0; n < 8; ++n) {
        const tn6820fp_channelSettings &c = panel.settings().channels[std::size_t(n)];
        QCOMPARE(c.selected, n == 0);
        QCOMPARE(c.waveform, WaveSine);
        QCOMPARE(c.amplitude, 10.0);
        QCOMPARE(c.offset, 0.0);
        QCOMPARE(c.phase, 0.0);
        QCOMPARE(c.shape != nullptr, n == 2);
    }
    const QLabel *name = f.channel(3)->shapeLabel;
    QCOMPARE(name->textFormat(), Qt::PlainText);
    // The markup as it stands, elided in the middle where it is too long.
    QVERIFY2(name->text().startsWith(QLatin1String("<b>bold")) &&
                 name->text().endsWith(QLatin1String("\">.csv, 2 samples")),
             qPrintable(name->text()));
    QCOMPARE(QTextDocumentFragment::fromHtml(name->toolTip()).toPlainText(), markup);

    // Start sends nothing without a channel, and no program is written for it.
    f.select(1)->setChecked(false);
    answers.click(QStringLiteral("OK"),
                  [&warning](QWidget *w) { warning = sfptest::labelText(*w, "qt_msgbox_label"); });
    f.get<QPushButton>(QStringLiteral("exportButton"))->click();
    QVERIFY(answers.allAnswered());
    QCOMPARE(warning, QStringLiteral("The program was not written. No channel is selected, so "
                                     "Start would send nothing; select at least one channel."));
}

void tst_panel_shapes::formulaTyped_data()
{
    QTest::addColumn<QString>("typed");   // key by key, after the field is cleared
    QTest::addColumn<QString>("problem"); // next to the field
    QTest::addColumn<QString>("refused"); // the box Start shows; empty: it starts
    QTest::addColumn<QString>("plays");   // the formula the preview plays
    QTest::newRow("a valid formula plays") << "sin(2*pi*x)"
                                           << ""
                                           << ""
                                           << "sin(2*pi*x)";
    // Its last valid form, typed on the way, plays meanwhile.
    QTest::newRow("one that does not parse")
        << "x - 0.5 */ 2"
        << "character 10: unexpected operator \"/\""
        << "The waveforms were not started. Channel 1's formula is not valid: character 10: "
           "unexpected operator \"/\"."
        << "x - 0.5 ";
    QTest::newRow("one that divides by zero")
        << "1/(x-0.5)"
        << "gives infinity at x = 0.5 (sample 100 of 200)"
        << "The waveforms were not started. Channel 1's formula gives infinity at x = 0.5 "
           "(sample 100 of 200)."
        << "1/(x-0.5)";
}

// A formula typed plays at once as its preview and, through Start, on the
// card: amplitude times its value plus offset, at x = j / 200.
void tst_panel_shapes::formulaTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, problem);
    QFETCH(QString, refused);
    QFETCH(QString, plays);
    PanelFixture f;
    f.open(PanelFixture::Vxi);
    tn6820fp_chSet *ch = f.channel(1);
    QVERIFY(!ch->formula->isVisibleTo(ch));
    ch->formulaButton->click();
    QVERIFY(ch->formula->isVisibleTo(ch));
    QVERIFY(!ch->duty->isVisibleTo(ch) && !ch->symmetry->isVisibleTo(ch));
    ch->amplitude->setValue(2.5);
    ch->offset->setValue(-1.25);
    ch->formula->clear();
    QTest::keyClicks(ch->formula, typed);
    QCOMPARE(f.panel->settings().channels[0].formula->text(), plays);
    QCOMPARE(ch->formulaProblem->text(), problem);
    QCOMPARE(ch->formulaProblem->isVisibleTo(ch), !problem.isEmpty());
    ModalAnswers answers;
    QString box;
    if (!refused.isEmpty())
        answers.click(QStringLiteral("OK"),
                      [&box](QWidget *w) { box = qobject_cast<QMessageBox *>(w)->text(); });
    const QString line = f.startAndTraceGeneration(0);
    QCOMPARE(box, refused);
    QCOMPARE(line.isEmpty(), !refused.isEmpty());
    QVERIFY(answers.allAnswered());
    if (problem.startsWith(QLatin1String("character"))) {
        // Nor is it saved: refused before a file is asked for.
        answers.click(QStringLiteral("OK"),
                      [&box](QWidget *w) { box = qobject_cast<QMessageBox *>(w)->text(); });
        f.get<QPushButton>(QStringLiteral("saveSetupButton"))->click();
        QCOMPARE(box,
                 QStringLiteral("The setup was not saved. Channel 1's formula is not valid: ") +
                     problem + QLatin1Char('.'));
        QVERIFY(answers.allAnswered());
    }
    // What plays, by hand: 1 kHz is 200 samples.
    const std::vector<double> &shown = f.preview(1)->samples();
    for (int j = 0; j < 200; ++j) {
        const double x = j / 200.0;
        const double pi = 3.14159265358979323846;
        const double v = plays.startsWith(QLatin1String("sin")) ? std::sin(2 * pi * x)
                         : plays.startsWith(QLatin1String("x")) ? x - 0.5
                                                                : 1 / (x - 0.5);
        const double expected = std::isfinite(v) ? v * 2.5 + -1.25 : -1.25;
        QVERIFY2(sameBits(shown[std::size_t(j)], expected), qPrintable(QString::number(j)));
    }
    if (!line.isEmpty()) {
        QVERIFY(sameBits(traceSamples(line, QStringLiteral("buffer")), shown));
        // Close to the built-in sine, whose cycle spans 6.2831853, but not the same.
        QVERIFY(shown[25] != std::sin(25 * 6.2831853 / 200) * 2.5 + -1.25);
        QVERIFY(std::fabs(shown[25] - (std::sin(25 * 6.2831853 / 200) * 2.5 + -1.25)) < 1e-7);
    }
    f.stopButton()->click();
}

QTEST_MAIN(tst_panel_shapes)
#include "tst_panel_shapes.moc"
