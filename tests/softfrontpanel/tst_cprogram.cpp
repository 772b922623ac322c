// Setups exported as C programs: each is compiled with the system's C
// compiler against the drivers' headers and the stand-ins, run on the default
// bench, and must make the very calls the panel's Start makes for the same
// setup: the same arguments and buffers, to the bit.
#include <QProcess>
#include <QStandardPaths>

#include "bench.h"
#include "panelfixture.h"

Q_DECLARE_METATYPE(tn6820fp_panelSettings)

namespace {

// The generation calls of a trace: from the first stop before the start to
// the stop and FIFO reset after it, with the session numbers left out.
QStringList generation(const QStringList &trace)
{
    QStringList calls;
    bool started = false;
    for (QString line : trace) {
        const QString name = line.section(QLatin1Char(' '), 0, 0);
        started = started || name == QLatin1String("tn6820_stopContWaveform");
        if (!started || name == QLatin1String("tn6820_close") ||
            name == QLatin1String("tn6820_error_message"))
            continue;
        calls << line.remove(QRegularExpression(QStringLiteral(" vi=\\d+")));
    }
    return calls;
}

QStringList readTrace(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly)
               ? QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
               : QStringList();
}

struct Built
{
    QString program;
    QByteArray errors; // the compiler's
};

Built build(const QString &dir, const QByteArray &source)
{
    const QString c = sfptest::writeFile(dir, QStringLiteral("setup.c"), source);
    Built b;
    b.program = dir + QStringLiteral("/setup");
    QProcess cc;
    QStringList arguments = {QStringLiteral("-std=c99"),
                             QStringLiteral("-Wall"),
                             QStringLiteral("-Wextra"),
                             QStringLiteral("-pedantic"),
                             QStringLiteral("-Werror"),
                             QStringLiteral("-I" SFP_DRIVERS_DIR),
                             c,
                             QStringLiteral("-L" SFP_LIBRARY_DIR),
                             QStringLiteral("-Wl,-rpath," SFP_LIBRARY_DIR),
                             QStringLiteral("-ltn6820_64"),
                             QStringLiteral("-ltn6800_64"),
                             QStringLiteral("-lvisa64"),
                             QStringLiteral("-o"),
                             b.program};
    arguments += QString::fromLatin1(SFP_C_EXTRA_FLAGS).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    cc.start(QStringLiteral(SFP_C_COMPILER), arguments);
    cc.waitForFinished(60000);
    b.errors = cc.readAllStandardError() + cc.readAllStandardOutput();
    if (cc.exitStatus() != QProcess::NormalExit || cc.exitCode() != 0)
        b.program.clear();
    return b;
}

struct Ran
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QStringList trace;
};

// Runs the program on a bench, Enter on its standard input.
Ran run(const QString &program, const QString &dir, const QString &benchText = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString trace = dir + QStringLiteral("/program-trace.txt");
    env.insert(QStringLiteral("ORBANA_SIM_TRACE"), trace);
    env.insert(QStringLiteral("ORBANA_SIM_BENCH"),
               benchText.isEmpty()
                   ? QString()
                   : sfptest::writeFile(dir, QStringLiteral("bench.ini"), benchText.toUtf8()));
    p.setProcessEnvironment(env);
    p.start(program, QStringList());
    p.write("\n");
    p.closeWriteChannel();
    Ran r;
    if (!p.waitForFinished(60000))
        p.kill();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    r.trace = readTrace(trace);
    return r;
}

tn6820fp_channelSettings channel(bool selected, tn6820fp_waveform waveform, double amplitude,
                                 double offset, double phase = 0, std::vector<double> shape = {})
{
    tn6820fp_channelSettings c;
    c.selected = selected;
    c.waveform = waveform;
    c.amplitude = amplitude;
    c.offset = offset;
    c.phase = phase;
    if (!shape.empty()) {
        auto s = std::make_shared<tn6820fp_arbitraryShape>();
        s->values = std::move(shape);
        s->file = QStringLiteral("shape.csv");
        c.shape = s;
    }
    return c;
}

} // namespace

class tst_cprogram : public QObject
{
    Q_OBJECT
private slots:
    void sameCallsAsThePanel_data();
    void sameCallsAsThePanel();
    void refusedCall();
};

void tst_cprogram::sameCallsAsThePanel_data()
{
    QTest::addColumn<tn6820fp_panelSettings>("settings");
    tn6820fp_panelSettings three = tn6820fp_panelSettings::initial(10);
    three.frequency = 50;
    three.mode = ModeContinuous;
    for (int n = 0; n < 3; ++n)
        three.channels[std::size_t(n)] = channel(true, WaveSine, 10, 0, 120.0 * n);
    QTest::newRow("three-phase at 50 Hz, continuous") << three;
    tn6820fp_panelSettings eight = tn6820fp_panelSettings::initial(10);
    eight.frequency = 47;
    eight.filter = 0;
    const tn6820fp_waveform shapes[] = {WaveSine,     WaveSquare, WaveSaw,  WaveTriangle,
                                        WaveTriangle, WaveSaw,    WaveNone, WaveSquare};
    for (int n = 0; n < 8; ++n)
        eight.channels[std::size_t(n)] =
            channel(true, shapes[n], n + 0.25, n % 2 ? -1.5 : 0.75, 45.0 * n);
    QTest::newRow("eight channels at 47 Hz, 200Hz filter") << eight;
    tn6820fp_panelSettings own = tn6820fp_panelSettings::initial(10);
    own.frequency = 50000; // 4 samples a cycle: the shape's own length
    own.filter = 1;
    own.channels[0] = channel(true, WaveArbitrary, 8, 1, 0, {0, 0.5, -1, 0.25});
    QTest::newRow("an arbitrary shape at its own length, 2kHz filter") << own;
    tn6820fp_panelSettings stretched = tn6820fp_panelSettings::initial(10);
    stretched.frequency = 1000;
    stretched.filter = 3;
    stretched.mode = ModeContinuous;
    stretched.channels[0] = channel(false, WaveSine, 10, 0);
    stretched.channels[4] = channel(true, WaveArbitrary, 6, -2, 33.3, {1, -0.2, 0.7, -1, 0});
    stretched.channels[6] = channel(true, WaveSaw, 2, 0);
    QTest::newRow("an arbitrary shape stretched, bypassed filter, continuous") << stretched;
}

void tst_cprogram::sameCallsAsThePanel()
{
    QFETCH(tn6820fp_panelSettings, settings);
    sfptest::ModalAnswers noBox; // none is expected: one fails the test at once
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Vxi);
    panel.applySettings(settings);
    QVERIFY(panel.settings() == settings);
    f.bench.clearTrace();
    f.startButton()->click();
    if (settings.mode == ModeContinuous)
        f.stopButton()->click();
    const QStringList theirs = generation(f.bench.trace());
    QVERIFY(theirs.size() >= 5);

    QTemporaryDir dir;
    const Built built = build(dir.path(), panel.programText());
    QVERIFY2(!built.program.isEmpty() && built.errors.isEmpty(), built.errors.constData());
    // Valid for a Windows compiler as well, where the test command installs one.
    const QString mingw = QStandardPaths::findExecutable(QStringLiteral("x86_64-w64-mingw32-gcc"));
    if (!mingw.isEmpty()) {
        QProcess cc;
        cc.start(mingw, {QStringLiteral("-std=c99"), QStringLiteral("-Wall"),
                         QStringLiteral("-Wextra"), QStringLiteral("-pedantic"),
                         QStringLiteral("-Werror"), QStringLiteral("-I" SFP_DRIVERS_DIR),
                         QStringLiteral("-c"), dir.filePath(QStringLiteral("setup.c")),
                         QStringLiteral("-o"), dir.filePath(QStringLiteral("setup.obj"))});
        QVERIFY(cc.waitForFinished(60000));
        QVERIFY2(cc.exitCode() == 0, cc.readAllStandardError().constData());
    }
    const Ran ran = run(built.program, dir.path());
    QVERIFY2(ran.exitCode == 0, ran.err.constData());
    QVERIFY2(ran.err.isEmpty(), ran.err.constData());
    QCOMPARE(ran.trace.value(0).section(QLatin1Char(' '), 0, 4),
             QStringLiteral("tn6820_init resourceName=\"VXI0::8::INSTR\" fcNumber=2 idQuery=1 "
                            "reset=1"));
    QVERIFY(ran.trace.value(1).startsWith(
        QStringLiteral("tn6820_setFilter vi=2 filter=%1 -> 0").arg(settings.filter)));
    QVERIFY(ran.trace.last().startsWith(QStringLiteral("tn6820_close ")));
    QCOMPARE(generation(ran.trace), theirs);
}

// A call the driver refuses ends the program: it says which and why, in the
// driver's words, closes the session and ends with a failure.
void tst_cprogram::refusedCall()
{
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Demo);
    QTemporaryDir dir;
    const Built built = build(dir.path(), panel.programText());
    QVERIFY2(!built.program.isEmpty(), built.errors.constData());
    const Ran ran = run(built.program, dir.path(),
                        QStringLiteral("[fault]\nfunction = tn6820_generateWaveforms\n"
                                       "status = 0xBFFC0806\n") +
                            QString::fromLatin1(orbsim::defaultBenchText()));
    QCOMPARE(ran.exitCode, 1);
    QCOMPARE(ran.err, QByteArray("error: tn6820_generateWaveforms returned 0xBFFC0806: The update "
                                 "rate code is out of range.\n"));
    QStringList names;
    for (const QString &line : ran.trace)
        names << line.section(QLatin1Char(' '), 0, 0);
    QCOMPARE(names, (QStringList{"tn6820_init", "tn6820_setFilter", "tn6820_stopContWaveform",
                                 "tn6820_resetFIFO", "tn6820_generateWaveforms",
                                 "tn6820_error_message", "tn6820_close"}));
}

QTEST_MAIN(tst_cprogram)
#include "tst_cprogram.moc"
