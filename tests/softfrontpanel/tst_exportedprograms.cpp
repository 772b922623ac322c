// Setups exported as programs: a C program is compiled with the system's C
// compiler against the drivers' headers and the stand-ins, a Python program
// checked by pyflakes; each is run on the default bench and must make the
// very calls the panel's Start makes for the same setup: the same arguments
// and buffers, to the bit.
#include <QProcess>
#include <QStandardPaths>
#include <signal.h>

#include "bench.h"
#include "panelfixture.h"
#include "tn6820fp_formula.h"
#include "tn6820fp_main.h"

Q_DECLARE_METATYPE(tn6820fp_panelSettings)
Q_DECLARE_METATYPE(tn6820fp_language)

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
    QStringList arguments; // before the program's own: a Python program and its libraries
    bool python = false;
    QByteArray errors; // the compiler's, or pyflakes'
};

// Compiles with a Windows compiler as well, where the test command installs
// one: an empty text when it compiled or there is none.
QByteArray windowsErrors(const QString &dir)
{
    const QString mingw = QStandardPaths::findExecutable(QStringLiteral("x86_64-w64-mingw32-gcc"));
    if (mingw.isEmpty())
        return QByteArray();
    QProcess cc;
    cc.start(mingw, {QStringLiteral("-std=c99"), QStringLiteral("-Wall"), QStringLiteral("-Wextra"),
                     QStringLiteral("-pedantic"), QStringLiteral("-Werror"),
                     QStringLiteral("-I" SFP_DRIVERS_DIR), QStringLiteral("-c"),
                     dir + QStringLiteral("/setup.c"), QStringLiteral("-o"),
                     dir + QStringLiteral("/setup.obj")});
    if (!cc.waitForFinished(60000) || cc.exitCode() != 0)
        return "mingw: " + cc.readAllStandardError();
    return QByteArray();
}

// A Python program: run by python3 with the stand-ins' folder given, or
// found on LD_LIBRARY_PATH (run() sets it) without; pyflakes must say nothing.
Built buildPython(const QString &dir, const QByteArray &source, bool libraries = true)
{
    Built b;
    const QString script = sfptest::writeFile(dir, QStringLiteral("setup.py"), source);
    const QString pyflakes = QStandardPaths::findExecutable(QStringLiteral("pyflakes3"));
    if (pyflakes.isEmpty()) {
        b.errors = "pyflakes3 is missing (tools/sfp test installs python3-pyflakes)";
        return b;
    }
    QProcess check;
    check.start(pyflakes, {script});
    check.waitForFinished(60000);
    b.errors = check.readAllStandardOutput() + check.readAllStandardError();
    if (check.exitStatus() != QProcess::NormalExit || check.exitCode() != 0)
        return b;
    b.program = QStandardPaths::findExecutable(QStringLiteral("python3"));
    b.python = true;
    b.arguments << script;
    if (libraries)
        b.arguments << QStringLiteral("--libraries") << QStringLiteral(SFP_LIBRARY_DIR);
    return b;
}

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

enum Input
{
    Enter,      // a line, then the end of the input
    NullDevice, // /dev/null: the end at once
    ClosedPipe, // a pipe closed without a word
    OpenPipe    // a pipe that stays open and silent
};

// Runs the program on a bench with its arguments and input; a signal, when
// given, is sent once the program has waited signalAfterMs.
Ran run(const Built &program, const QString &dir, const QString &benchText = QString(),
        const QStringList &arguments = {}, Input input = Enter, int signal = 0,
        int signalAfterMs = 0)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString trace = dir + QStringLiteral("/program-trace.txt");
    QFile::remove(trace);
    env.insert(QStringLiteral("ORBANA_SIM_TRACE"), trace);
    env.insert(QStringLiteral("LD_LIBRARY_PATH"), QStringLiteral(SFP_LIBRARY_DIR));
    if (program.python && !QString::fromLatin1(SFP_PYTHON_PRELOAD).isEmpty()) {
        // The stand-ins are built with the sanitizers, python3 is not; what
        // the interpreter itself keeps at its end is no leak of ours.
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(SFP_PYTHON_PRELOAD));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    }
    env.insert(QStringLiteral("ORBANA_SIM_BENCH"),
               benchText.isEmpty()
                   ? QString()
                   : sfptest::writeFile(dir, QStringLiteral("bench.ini"), benchText.toUtf8()));
    p.setProcessEnvironment(env);
    if (input == NullDevice)
        p.setStandardInputFile(QProcess::nullDevice());
    p.start(program.program, program.arguments + arguments);
    p.waitForStarted();
    if (input == Enter)
        p.write("\n");
    if (input == Enter || input == ClosedPipe)
        p.closeWriteChannel();
    Ran r;
    if (signal) {
        // Still running then: the end of the input did not stop it.
        if (p.waitForFinished(signalAfterMs))
            return r;
        ::kill(pid_t(p.processId()), signal);
    }
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

// A table's value as its column holds it: a text literal as a QString.
template <typename T> const T &cell(const T &value)
{
    return value;
}
QString cell(const char *text)
{
    return QString::fromUtf8(text);
}

// A row for each language: "C: name" and "Python: name", the language
// first, then the values.
template <typename... Values> void both(const char *name, const Values &...values)
{
    for (const tn6820fp_language language : {tn6820fp_language::C, tn6820fp_language::Python}) {
        QTestData &row = QTest::newRow(
            qPrintable(QLatin1String(language == tn6820fp_language::C ? "C: " : "Python: ") +
                       QLatin1String(name)));
        row << language;
        (row << ... << cell(values));
    }
}

// The program of the language, built: compiled for C, checked for Python
// (found on the search path when libraries is false).
Built buildIn(tn6820fp_language language, const QString &dir, const QByteArray &source,
              bool libraries = true)
{
    return language == tn6820fp_language::Python ? buildPython(dir, source, libraries)
                                                 : build(dir, source);
}

} // namespace

class tst_exportedprograms : public QObject
{
    Q_OBJECT
private slots:
    void sameCallsAsThePanel_data();
    void sameCallsAsThePanel();
    void faults_data();
    void faults();
    void hostileNames_data();
    void hostileNames();
    void badArguments_data();
    void badArguments();
    void continuousUntilStopped_data();
    void continuousUntilStopped();
    void commandLineAsThePanel_data();
    void commandLineAsThePanel();
};

void tst_exportedprograms::sameCallsAsThePanel_data()
{
    QTest::addColumn<tn6820fp_language>("language");
    QTest::addColumn<tn6820fp_panelSettings>("settings");
    tn6820fp_panelSettings three = tn6820fp_panelSettings::initial(10);
    three.frequency = 50;
    three.mode = ModeContinuous;
    for (int n = 0; n < 3; ++n)
        three.channels[std::size_t(n)] = channel(true, WaveSine, 10, 0, 120.0 * n);
    both("three-phase at 50 Hz, continuous", three);
    tn6820fp_panelSettings eight = tn6820fp_panelSettings::initial(10);
    eight.frequency = 47;
    eight.filter = 0;
    const tn6820fp_waveform shapes[] = {WaveSine,     WaveSquare, WaveSaw,  WaveTriangle,
                                        WaveTriangle, WaveSaw,    WaveNone, WaveSquare};
    for (int n = 0; n < 8; ++n)
        eight.channels[std::size_t(n)] =
            channel(true, shapes[n], n + 0.25, n % 2 ? -1.5 : 0.75, 45.0 * n);
    both("eight channels at 47 Hz, 200Hz filter", eight);
    tn6820fp_panelSettings own = tn6820fp_panelSettings::initial(10);
    own.frequency = 50000; // 4 samples a cycle: the shape's own length
    own.filter = 1;
    own.channels[0] = channel(true, WaveArbitrary, 8, 1, 0, {0, 0.5, -1, 0.25});
    both("an arbitrary shape at its own length, 2kHz filter", own);
    tn6820fp_panelSettings stretched = tn6820fp_panelSettings::initial(10);
    stretched.frequency = 1000;
    stretched.filter = 3;
    stretched.mode = ModeContinuous;
    stretched.channels[0] = channel(false, WaveSine, 10, 0);
    stretched.channels[4] = channel(true, WaveArbitrary, 6, -2, 33.3, {1, -0.2, 0.7, -1, 0});
    stretched.channels[6] = channel(true, WaveSaw, 2, 0);
    both("an arbitrary shape stretched, bypassed filter, continuous", stretched);
    // The shapes' own settings: the same samples whatever the language.
    tn6820fp_panelSettings shaped = tn6820fp_panelSettings::initial(10);
    shaped.frequency = 500;
    shaped.channels[0] = channel(true, WaveSquare, 5, 1);
    shaped.channels[0].duty = 25;
    shaped.channels[0].multiple = 3;
    shaped.channels[2] = channel(true, WaveTriangle, 4, 0, 90);
    shaped.channels[2].symmetry = 90;
    shaped.channels[5] = channel(true, WaveFormula, 3, -1);
    shaped.channels[5].formula =
        tn6820fp_formula::parse(QStringLiteral("sin(2*pi*x) + 0.3*sin(6*pi*x + pi/4)"), nullptr);
    both("a duty, a symmetry, a multiple and a formula", shaped);
}

void tst_exportedprograms::sameCallsAsThePanel()
{
    QFETCH(tn6820fp_language, language);
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
    // Python finds the libraries on the search path for continuous setups,
    // in the folder given for the others.
    const Built built =
        buildIn(language, dir.path(), panel.programText(language), settings.mode != ModeContinuous);
    QVERIFY2(!built.program.isEmpty() && built.errors.isEmpty(), built.errors.constData());
    if (language == tn6820fp_language::C) {
        const QByteArray windows = windowsErrors(dir.path());
        QVERIFY2(windows.isEmpty(), windows.constData());
    }
    const Ran ran = run(built, dir.path());
    QVERIFY2(ran.exitCode == 0, ran.err.constData());
    QVERIFY2(ran.err.isEmpty(), ran.err.constData());
    QCOMPARE(ran.trace.value(0).section(QLatin1Char(' '), 0, 4),
             QStringLiteral("tn6820_init resourceName=\"VXI0::8::INSTR\" fcNumber=2 idQuery=1 "
                            "reset=1"));
    QVERIFY(ran.trace.value(1).startsWith(
        QStringLiteral("tn6820_setFilter vi=2 filter=%1 -> 0").arg(settings.filter)));
    QVERIFY(ran.trace.last().startsWith(QStringLiteral("tn6820_close ")));
    QCOMPARE(generation(ran.trace), theirs);
    if (language == tn6820fp_language::Python) {
        // Imported as a module, on a session of the caller's: the same calls.
        Built imported = built;
        imported.arguments =
            QStringList{QStringLiteral("-c"),
                        QStringLiteral("import sys; sys.path.insert(0, sys.argv[1]); import setup; "
                                       "drivers = setup.Drivers.load(sys.argv[2]); "
                                       "session = drivers.open(b'VXI0::8::INSTR', 2); "
                                       "setup.run(drivers, session, wait=lambda: None); "
                                       "drivers.close(session)"),
                        dir.path(), QStringLiteral(SFP_LIBRARY_DIR)};
        const Ran module = run(imported, dir.path());
        QVERIFY2(module.exitCode == 0, module.err.constData());
        QCOMPARE(generation(module.trace), theirs);
    }
}

// A call the driver or the common library refuses ends the program: it says
// which and why, in that library's words, closes the session and ends with a
// failure. A warning is said and the program goes on to the end.
void tst_exportedprograms::faults_data()
{
    QTest::addColumn<tn6820fp_language>("language");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("said");
    QTest::addColumn<QStringList>("calls");
    both("the driver refuses the waveforms",
         "function = tn6820_generateWaveforms\nstatus = 0xBFFC0806\n", 1,
         QByteArray("error: tn6820_generateWaveforms returned 0xBFFC0806: The update rate code "
                    "is out of range.\n"),
         QStringList{"tn6820_init", "tn6820_setFilter", "tn6820_stopContWaveform",
                     "tn6820_resetFIFO", "tn6820_generateWaveforms", "tn6820_error_message",
                     "tn6820_close"});
    both("the common library refuses the wait", "function = tn6800_delay\nstatus = 0xBFFC0902\n", 1,
         QByteArray("error: tn6800_delay returned 0xBFFC0902: A required pointer argument is "
                    "null or unknown.\n"),
         QStringList{"tn6820_init", "tn6820_setFilter", "tn6820_stopContWaveform",
                     "tn6820_resetFIFO", "tn6820_generateWaveforms", "tn6800_delay",
                     "tn6800_error_message", "tn6820_close"});
    both("a warning, and the program goes on", "function = tn6820_setFilter\nstatus = 0x3FFC0801\n",
         0,
         QByteArray("warning: tn6820_setFilter returned 0x3FFC0801: Output values beyond the "
                    "output limits were clipped.\n"),
         QStringList{"tn6820_init", "tn6820_setFilter", "tn6820_error_message",
                     "tn6820_stopContWaveform", "tn6820_resetFIFO", "tn6820_generateWaveforms",
                     "tn6800_delay", "tn6820_stopContWaveform", "tn6820_resetFIFO",
                     "tn6820_close"});
}

void tst_exportedprograms::faults()
{
    QFETCH(tn6820fp_language, language);
    QFETCH(QString, fault);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, said);
    QFETCH(QStringList, calls);
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Demo);
    QTemporaryDir dir;
    const Built built = buildIn(language, dir.path(), panel.programText(language));
    QVERIFY2(!built.program.isEmpty(), built.errors.constData());
    const Ran ran =
        run(built, dir.path(),
            QStringLiteral("[fault]\n") + fault + QString::fromLatin1(orbsim::defaultBenchText()));
    QCOMPARE(ran.exitCode, exitCode);
    QCOMPARE(ran.err, said);
    QStringList names;
    for (const QString &line : ran.trace)
        names << line.section(QLatin1Char(' '), 0, 0);
    QCOMPARE(names, calls);
}

namespace {

// A text as the stand-ins trace it: in quotes, its bytes outside printable
// ASCII as \xNN, a quote or backslash behind a backslash.
QString traced(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += QStringLiteral("\\") + QLatin1Char(c);
        else if (u < 0x20 || u >= 0x7F)
            out += QStringLiteral("\\x") +
                   QString::number(u, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            out += QLatin1Char(c);
    }
    return out + QLatin1Char('"');
}

} // namespace

// Names from outside (a shape's file, the card's descriptor) never become
// code: the C program compiles without a warning and the Python program
// passes pyflakes, both name them readably in their heads, and hand the
// driver exactly the descriptor they were given.
void tst_exportedprograms::hostileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("inComment");   // as the C head shows it, by hand
    QTest::addColumn<QByteArray>("literal");     // the C string literal, by hand
    QTest::addColumn<QByteArray>("inDocstring"); // as the Python docstring shows it
    QTest::addColumn<QByteArray>("bytes");       // the Python bytes literal
    QTest::newRow("the end of a comment")
        << QStringLiteral("x */ int main(void) { return system(\"rm\"); } /* y")
        << QByteArray(R"("x *\/ int main(void) { return system(\"rm\"); } /\* y")")
        << QByteArray(R"("x */ int main(void) { return system(\"rm\"); } /* y")")
        << QByteArray(R"("x */ int main(void) { return system(\"rm\"); } /* y")")
        << QByteArray(R"(b"x */ int main(void) { return system(\"rm\"); } /* y")");
    QTest::newRow("the end of a docstring")
        << QStringLiteral("x\"\"\"; import os; os.system(\"rm\") #")
        << QByteArray(R"("x\"\"\"; import os; os.system(\"rm\") #")")
        << QByteArray(R"("x\"\"\"; import os; os.system(\"rm\") #")")
        << QByteArray(R"("x\"\"\"; import os; os.system(\"rm\") #")")
        << QByteArray(R"(b"x\"\"\"; import os; os.system(\"rm\") #")");
    QTest::newRow("a backslash at the end")
        << QStringLiteral("ends\\") << QByteArray(R"("ends\\")") << QByteArray(R"("ends\\")")
        << QByteArray(R"("ends\\")") << QByteArray(R"(b"ends\\")");
    QTest::newRow("a trigraph splicing a line")
        << QStringLiteral("a?\?/\nb") << QByteArray(R"("a\?\?/\u000Ab")")
        << QByteArray(R"("a\?\?/\012b")") << QByteArray(R"("a??/\u000Ab")")
        << QByteArray(R"(b"a??/\x0ab")");
    QTest::newRow("a trigraph for a hash")
        << QStringLiteral("?\?=define X") << QByteArray(R"("\?\?=define X")")
        << QByteArray(R"("\?\?=define X")") << QByteArray(R"("??=define X")")
        << QByteArray(R"(b"??=define X")");
    QTest::newRow("a backslash before a line end")
        << QStringLiteral("back\\\nslash") << QByteArray(R"("back\\\u000Aslash")")
        << QByteArray(R"("back\\\012slash")") << QByteArray(R"("back\\\u000Aslash")")
        << QByteArray(R"(b"back\\\x0aslash")");
    QTest::newRow("quotes and a lone question mark")
        << QStringLiteral("say \"hi\"?") << QByteArray(R"("say \"hi\"?")")
        << QByteArray(R"("say \"hi\"\?")") << QByteArray(R"("say \"hi\"?")")
        << QByteArray(R"(b"say \"hi\"?")");
    QTest::newRow("Latin letters beyond ASCII") << QStringLiteral("Gr\u00fc\u00dfe.csv")
                                                << QByteArray("\"Gr\xc3\xbc\xc3\x9f"
                                                              "e.csv\"")
                                                << QByteArray(R"("Gr\303\274\303\237e.csv")")
                                                << QByteArray("\"Gr\xc3\xbc\xc3\x9f"
                                                              "e.csv\"")
                                                << QByteArray(R"(b"Gr\xc3\xbc\xc3\x9fe.csv")");
    QTest::newRow("Chinese") << QStringLiteral("\u6ce2\u5f62.csv")
                             << QByteArray("\"\xe6\xb3\xa2\xe5\xbd\xa2.csv\"")
                             << QByteArray(R"("\346\263\242\345\275\242.csv")")
                             << QByteArray("\"\xe6\xb3\xa2\xe5\xbd\xa2.csv\"")
                             << QByteArray(R"(b"\xe6\xb3\xa2\xe5\xbd\xa2.csv")");
    QTest::newRow("a right-to-left override")
        << QStringLiteral("a\u202Ebc") << QByteArray(R"("a\u202Ebc")")
        << QByteArray(R"("a\342\200\256bc")") << QByteArray(R"("a\u202Ebc")")
        << QByteArray(R"(b"a\xe2\x80\xaebc")");
}

void tst_exportedprograms::hostileNames()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, inComment);
    QFETCH(QByteArray, literal);
    QFETCH(QByteArray, inDocstring);
    QFETCH(QByteArray, bytes);
    tn6820fp_page page;
    tn6820fp_panelSettings s = page.settings();
    s.channels[0] = channel(true, WaveArbitrary, 5, 0, 0, {0, 1, 0, -1});
    auto shape = std::make_shared<tn6820fp_arbitraryShape>(*s.channels[0].shape);
    shape->file = name;
    s.channels[0].shape = shape;
    page.setSettings(s);
    for (const tn6820fp_language language : {tn6820fp_language::C, tn6820fp_language::Python}) {
        const bool python = language == tn6820fp_language::Python;
        QString why;
        const QByteArray text = page.program({name, 7}, QStringLiteral("1.0"), &why, language);
        QVERIFY2(!text.isEmpty(), qPrintable(why));
        QVERIFY(QString::fromUtf8(text).toUtf8() == text); // valid UTF-8
        const QByteArray quoted = python ? inDocstring : inComment;
        const QByteArray head = python ? "" : " * ";
        QVERIFY2(text.contains(head + "Channel 1: arbitrary (" + quoted + ", 4 values), amplitude"),
                 text.left(1500).constData());
        QVERIFY(text.contains(head + quoted + ", position 7."));
        QVERIFY(text.contains(python ? "\nDESCRIPTOR = " + bytes + "\n"
                                     : "    const char *descriptor = " + literal + ";\n"));

        QTemporaryDir dir;
        const Built built = buildIn(language, dir.path(), text);
        QVERIFY2(!built.program.isEmpty() && built.errors.isEmpty(), built.errors.constData());
        if (!python) {
            const QByteArray windows = windowsErrors(dir.path());
            QVERIFY2(windows.isEmpty(), windows.constData());
        }
        // No carrier has such a name: the driver refuses it, as it was given.
        const Ran ran = run(built, dir.path());
        QCOMPARE(ran.exitCode, 1);
        QVERIFY2(ran.trace.value(0).startsWith(QStringLiteral("tn6820_init resourceName=") +
                                               traced(name) + QStringLiteral(" fcNumber=7 ")),
                 qPrintable(ran.trace.value(0)));
        QVERIFY2(ran.err.startsWith("error: tn6820_init returned "), ran.err.constData());
        // On the card's own address it sends what Start sends for the page.
        const Ran onCard = run(built, dir.path(), QString(),
                               {QStringLiteral("VXI0::8::INSTR"), QStringLiteral("2")});
        QVERIFY2(onCard.exitCode == 0, onCard.err.constData());
        QStringList sent;
        for (const QString &line : onCard.trace)
            if (line.startsWith(QLatin1String("tn6820_generateWaveforms ")))
                sent << line;
        QCOMPARE(sent.size(), 1);
        QVERIFY(sent[0].contains(
            QLatin1String(" channelMask=0x01 segmentLength=200 updateRate=0 filter=2 ")));
        QVERIFY(sfptest::sameBits(sfptest::traceSamples(sent[0], QStringLiteral("buffer")),
                                  page.plan().samples));
    }
}

// Arguments the program cannot use are refused before any driver call.
void tst_exportedprograms::badArguments_data()
{
    QTest::addColumn<tn6820fp_language>("language");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("opened"); // the start of the tn6820_init line, for 0
    const QString longest(255, QLatin1Char('A'));
    both("a position past 64 that would wrap to 2", QStringList{"VXI0::8::INSTR", "65538"}, 2,
         QString());
    both("a position that is no number", QStringList{"VXI0::8::INSTR", "abc"}, 2, QString());
    both("a number with junk behind it", QStringList{"VXI0::8::INSTR", "2x"}, 2, QString());
    both("position 0", QStringList{"VXI0::8::INSTR", "0"}, 2, QString());
    both("a descriptor of 256 characters", QStringList{longest + QLatin1Char('A')}, 2, QString());
    both("an empty descriptor", QStringList{QString()}, 2, QString());
    both("an argument too many", QStringList{"VXI0::8::INSTR", "2", "3"}, 2, QString());
    // Digits Python's int() reads but C's strtol does not.
    both("a position with an underscore", QStringList{"VXI0::8::INSTR", "2_0"}, 2, QString());
    both("a position in other digits", QStringList{"VXI0::8::INSTR", "\u0662"}, 2, QString());
    both("the card's own address", QStringList{"VXI0::8::INSTR", "2"}, 0,
         "tn6820_init resourceName=\"VXI0::8::INSTR\" "
         "fcNumber=2 ");
    both("a descriptor of 255 characters, position 64", QStringList{longest, "64"}, 1,
         "tn6820_init resourceName=\"" + longest + "\" fcNumber=64 ");
}

void tst_exportedprograms::badArguments()
{
    QFETCH(tn6820fp_language, language);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, opened);
    static QTemporaryDir dirs[2];
    static Built built[2];
    const int which = language == tn6820fp_language::Python;
    if (built[which].program.isEmpty()) {
        tn6820fp_page page;
        built[which] = buildIn(
            language, dirs[which].path(),
            page.program(tn6820fp_defaultProgramCard(), QStringLiteral("1.0"), nullptr, language));
    }
    QVERIFY2(!built[which].program.isEmpty(), built[which].errors.constData());
    const Ran ran = run(built[which], dirs[which].path(), QString(), arguments);
    QCOMPARE(ran.exitCode, exitCode);
    if (opened.isEmpty()) {
        QVERIFY2(ran.trace.isEmpty(), qPrintable(ran.trace.join(QLatin1Char('\n'))));
        QVERIFY2(ran.err.startsWith("usage: "), ran.err.constData());
        // C says the range in its usage; Python's argparse says what is wrong.
        QVERIFY2(ran.err.contains(which ? ": error: " : "1 to 64"), ran.err.constData());
    } else {
        QVERIFY2(ran.trace.value(0).startsWith(opened), qPrintable(ran.trace.value(0)));
    }
}

// A continuous program runs until a line or a signal, whatever its input;
// on a signal it stops the card, resets as Stop does and closes the session.
void tst_exportedprograms::continuousUntilStopped_data()
{
    QTest::addColumn<tn6820fp_language>("language");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("exitCode");
    both("Enter", int(Enter), 0, 0);
    both("no terminal, Ctrl+C", int(NullDevice), int(SIGINT), 128 + SIGINT);
    both("a closed pipe, SIGTERM", int(ClosedPipe), int(SIGTERM), 128 + SIGTERM);
    both("a silent pipe, SIGINT", int(OpenPipe), int(SIGINT), 128 + SIGINT);
}

void tst_exportedprograms::continuousUntilStopped()
{
    QFETCH(tn6820fp_language, language);
    QFETCH(int, input);
    QFETCH(int, signal);
    QFETCH(int, exitCode);
    static QTemporaryDir dirs[2];
    static Built built[2];
    const int which = language == tn6820fp_language::Python;
    if (built[which].program.isEmpty()) {
        tn6820fp_page page;
        page.setMode(ModeContinuous);
        built[which] = buildIn(
            language, dirs[which].path(),
            page.program(tn6820fp_defaultProgramCard(), QStringLiteral("1.0"), nullptr, language));
    }
    QVERIFY2(!built[which].program.isEmpty(), built[which].errors.constData());
    // Python takes a moment longer to start and load the libraries.
    const Ran ran = run(built[which], dirs[which].path(), QString(), {}, Input(input), signal,
                        which ? 1500 : 600);
    QCOMPARE(ran.exitCode, exitCode);
    QStringList names;
    for (const QString &line : ran.trace)
        names << line.section(QLatin1Char(' '), 0, 0);
    QCOMPARE(names.mid(names.indexOf(QStringLiteral("tn6820_startContWaveformEx"))),
             (QStringList{"tn6820_startContWaveformEx", "tn6820_stopContWaveform",
                          "tn6820_resetFIFO", "tn6820_close"}));
    for (const QString &line : ran.trace.mid(ran.trace.size() - 3))
        QVERIFY2(line.endsWith(QLatin1String(" -> 0")), qPrintable(line));
}

// --export-c writes the bytes the panel's Export writes for the same setup,
// also for values finer than the panel shows, which both round alike.
void tst_exportedprograms::commandLineAsThePanel_data()
{
    QTest::addColumn<tn6820fp_language>("language");
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<double>("amplitude"); // channel 1's, as resolved, by hand
    QTest::addColumn<double>("offset");
    QTest::addColumn<double>("phase");
    both("finer than the panel shows",
         QByteArray(R"({"format": "tn6820fp-setup", "version": 1, "frequency": 3000,
            "channels": [{"amplitude": 2.345, "offset": -1.005, "phase": 33.35},
                         {"selected": true, "waveform": "saw", "amplitude": 0.004}, {}, {}, {}, {},
                         {}, {}]})"),
         2.35, -1.0, 33.4);
    both("at the panel's resolution",
         QByteArray(R"({"format": "tn6820fp-setup", "version": 1, "mode": "continuous",
            "channels": [{"amplitude": 7.25, "offset": 0.5, "phase": 359.9}, {}, {}, {}, {}, {},
                         {}, {}]})"),
         7.25, 0.5, 359.9);
}

void tst_exportedprograms::commandLineAsThePanel()
{
    QFETCH(tn6820fp_language, language);
    QFETCH(QByteArray, setup);
    QFETCH(double, amplitude);
    QFETCH(double, offset);
    QFETCH(double, phase);
    QTemporaryDir dir;
    const QString path = sfptest::writeFile(dir.path(), QStringLiteral("setup.json"), setup);
    const bool python = language == tn6820fp_language::Python;
    const QString out = dir.filePath(python ? QStringLiteral("cli.py") : QStringLiteral("cli.c"));
    QCOMPARE(tn6820fp_run(
                 *qApp,
                 {QStringLiteral("tn6820fp"), QStringLiteral("--setup"), path,
                  python ? QStringLiteral("--export-python") : QStringLiteral("--export-c"), out}),
             0);
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    PanelFixture f;
    tn6820fp_App &panel = f.open(PanelFixture::Demo);
    QVERIFY(panel.openSetupFile(path));
    const tn6820fp_channelSettings &c = panel.settings().channels[0];
    QCOMPARE(c.amplitude, amplitude);
    QCOMPARE(c.offset, offset);
    QCOMPARE(c.phase, phase);
    QCOMPARE(written.readAll(), panel.programText(language));
}

QTEST_MAIN(tst_exportedprograms)
#include "tst_exportedprograms.moc"
