// The whole program run as the entry point runs it, in child processes:
// start-up order, the splash while connecting, the exit status on every path.
#include <QProgressDialog>
#include <QSplashScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <cerrno>
#include <cstring>

#include "testsupport.h"
#include "tn6820fp_app.h"
#include "tn6820fp_main.h"

using sfptest::ModalAnswers;

namespace {

// Asks the main window to close as soon as it is shown and done with any
// busy work (a setup opened from the command line).
void closeMainWindowWhenShown()
{
    auto *timer = new QTimer(qApp); // gone with the application when never fired
    QObject::connect(timer, &QTimer::timeout, [timer] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<tn6820fp_App *>(w) && w->isVisible() &&
                !QApplication::activeModalWidget() && !w->findChild<QProgressDialog *>()) {
                std::printf("window shown %dx%d, %d Hz\n", w->width(), w->height(),
                            qobject_cast<tn6820fp_App *>(w)->settings().frequency);
                timer->deleteLater();
                w->close();
                return;
            }
        }
    });
    timer->start(20);
}

bool splashVisible()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QSplashScreen *>(w) && w->isVisible())
            return true;
    }
    return false;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs a child test function with a trace and a profile folder of its own,
// and one more environment entry; gives what it printed and its trace.
struct ProgramRun
{
    sfptest::ChildResult result;
    QByteArray trace;
    QString profile;
};

ProgramRun runProgram(const QString &function, const QString &setting, const QTemporaryDir &dir)
{
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    ProgramRun run;
    run.profile = dir.path();
    run.result = sfptest::runInChild(function, {QStringLiteral("SFP_TEST_TRACE=") + trace, setting,
                                                QStringLiteral("ALLUSERSPROFILE=") + dir.path()});
    run.trace = readFile(trace);
    return run;
}

} // namespace

class tst_program : public QObject
{
    Q_OBJECT
private slots:
    void paths_data();
    void paths();
    void runChild();
    void options_data();
    void options();
    void optionsChild();
    void parsedOptions_data();
    void parsedOptions();
};

void tst_program::paths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("returns");
    QTest::addColumn<int>("closes"); // tn6820_close calls in the trace
    QTest::newRow("demo, closed") << "demo" << true << 0;
    QTest::newRow("card, closed") << "card" << true << 1;
    QTest::newRow("cancelled at the question") << "cancel" << false << 0;
    QTest::newRow("cancelled in the selection") << "cancelSelection" << false << 0;
    QTest::newRow("close refused, then accepted") << "refuse" << true << 1;
}

void tst_program::paths()
{
    QFETCH(QString, path);
    QFETCH(bool, returns);
    QFETCH(int, closes);
    QTemporaryDir dir;
    const ProgramRun run =
        runProgram(QStringLiteral("runChild"), QStringLiteral("SFP_RUN_PATH=") + path, dir);
    const sfptest::ChildResult &r = run.result;
    QVERIFY2(!r.crashed, r.err.constData());
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains("splash visible while connecting"), r.out.constData());
    QCOMPARE(r.out.contains("returned 0"), returns);
    QCOMPARE(r.out.contains("window shown"), returns);
    QCOMPARE(run.trace.count("tn6820_close "), closes);
}

void tst_program::runChild()
{
    if (!sfptest::isChild())
        QSKIP("runs in the child processes of paths");
    sfptest::SimBench bench;
    const QString path = qEnvironmentVariable("SFP_RUN_PATH");
    ModalAnswers answers;
    const auto checkSplash = [](QWidget *) {
        if (splashVisible())
            std::printf("splash visible while connecting\n");
    };
    if (path == QLatin1String("cancel")) {
        answers.click(QStringLiteral("Cancel"), checkSplash);
    } else if (path == QLatin1String("demo")) {
        answers.click(QStringLiteral("Run In Demo Mode"), checkSplash);
        answers.click(QStringLiteral("Yes"));
    } else {
        answers.click(QStringLiteral("Auto Find"), checkSplash);
        answers.click(path == QLatin1String("cancelSelection") ? QStringLiteral("Cancel")
                                                               : QStringLiteral("OK"),
                      [](QWidget *w) {
                          auto *tree = w->findChild<QTreeWidget *>(QStringLiteral("cardTree"));
                          tree->topLevelItem(2)->child(0)->child(1)->setSelected(true);
                      });
        if (path == QLatin1String("refuse"))
            answers.click(QStringLiteral("No"));
        answers.click(QStringLiteral("Yes"));
    }
    std::fflush(stdout);
    closeMainWindowWhenShown();
    if (path == QLatin1String("refuse")) {
        // Refused once: ask again a little later.
        QTimer::singleShot(1500, [] { closeMainWindowWhenShown(); });
    }
    const int status = tn6820fp_run(*qApp, {QStringLiteral("tn6820fp")});
    std::printf("returned %d\n", status);
    QVERIFY(answers.allAnswered());
}

void tst_program::options_data()
{
    QTest::addColumn<QString>("arguments"); // separated by '|'
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // a line standard output holds
    QTest::addColumn<QString>("error");  // the first line on standard error
    QTest::addColumn<QString>("opened"); // "demo", or the descriptor and number opened; "" none
    QTest::newRow("help") << "--help" << 0 << "  --demo"
                          << ""
                          << "";
    QTest::newRow("version") << "--version" << 0 << "tn6820fp 4.3.2.12522"
                             << ""
                             << "";
    QTest::newRow("demo") << "--demo" << 0 << "window shown"
                          << ""
                          << "demo";
    QTest::newRow("resource and card") << "--resource|VXI0::8::INSTR|--fc|2" << 0 << "window shown"
                                       << ""
                                       << "VXI0::8::INSTR 2";
    // Cancel at the connection question ends the process from inside the workflow.
    QTest::newRow("resource unavailable: Try Again, then Cancel")
        << "--resource=VXI0::99::INSTR|--fc=1" << -1
        << "asked: How to connect to 6820 Function Card?"
        << ""
        << "";
    const QString bad = QStringLiteral("tn6820fp: ");
    QTest::newRow("unknown option") << "--colour" << 2 << "" << bad + "Unknown option 'colour'."
                                    << "";
    QTest::newRow("card number out of range")
        << "--resource|VXI0::8::INSTR|--fc|65" << 2 << ""
        << bad + "The card number '65' is not a number from 1 to 64."
        << "";
    QTest::newRow("card number not a number")
        << "--resource|VXI0::8::INSTR|--fc|two" << 2 << ""
        << bad + "The card number 'two' is not a number from 1 to 64."
        << "";
    QTest::newRow("resource without card")
        << "--resource|VXI0::8::INSTR" << 2 << "" << bad + "--resource and --fc go together."
        << "";
    QTest::newRow("demo and resource") << "--demo|--resource|VXI0::8::INSTR|--fc|2" << 2 << ""
                                       << bad + "--demo cannot go with --resource or --fc."
                                       << "";
    QTest::newRow("value missing") << "--fc" << 2 << "" << bad + "Missing value after '--fc'."
                                   << "";
    // %DIR% is a folder holding good.json (50 Hz) and bad.json.
    QTest::newRow("demo with a setup") << "--demo|--setup|%DIR%/good.json" << 0 << ", 50 Hz"
                                       << ""
                                       << "demo";
    QTest::newRow("a card with a setup")
        << "--resource|VXI0::8::INSTR|--fc|2|--setup=%DIR%/good.json" << 0 << ", 50 Hz"
        << ""
        << "VXI0::8::INSTR 2";
    QTest::newRow("a setup refused")
        << "--demo|--setup|%DIR%/bad.json" << 2 << ""
        << bad + "bad.json: channels[0].waveform: not one of \"sine\", \"square\", \"saw\", "
                 "\"triangle\", \"arbitrary\", \"formula\", \"none\"."
        << "";
    QTest::newRow("a setup exported as a C program, no window")
        << "--setup|%DIR%/good.json|--export-c|%DIR%/setup.c" << 0 << "no window made"
        << ""
        << "";
    QTest::newRow("the call log over the setup")
        << "--demo|--setup|%DIR%/good.json|--log-calls|%DIR%/./good.json" << 2 << ""
        << bad + "--setup and --log-calls name the same file."
        << "";
    QTest::newRow("a setup without a channel is no program")
        << "--setup|%DIR%/unselected.json|--export-c|%DIR%/unselected.c" << 2 << ""
        << "tn6820fp: the program was not written. No channel is selected, so Start would send "
           "nothing; select at least one channel."
        << "";
    QTest::newRow("a setup that is not there")
        << "--setup|%DIR%/none.json" << 2 << ""
        << bad + "none.json: cannot be read (No such file or directory)."
        << "";
    QTest::newRow("stray argument")
        << "VXI0::8::INSTR" << 2 << "" << bad + "Unexpected argument 'VXI0::8::INSTR'."
        << "";
}

// Each option in a child process that runs the program's entry point.
void tst_program::options()
{
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, error);
    QFETCH(QString, opened);
    QTemporaryDir dir;
    QTemporaryDir setups;
    sfptest::writeFile(setups.path(), QStringLiteral("good.json"),
                       R"({"format": "tn6820fp-setup", "version": 1, "frequency": 50})");
    sfptest::writeFile(setups.path(), QStringLiteral("unselected.json"),
                       R"({"format": "tn6820fp-setup", "version": 1, "channels": [
                       {"selected": false}, {}, {}, {}, {}, {}, {}, {}]})");
    sfptest::writeFile(setups.path(), QStringLiteral("bad.json"),
                       R"({"format": "tn6820fp-setup", "version": 1, "channels": [
                       {"waveform": "cosine"}, {}, {}, {}, {}, {}, {}, {}]})");
    arguments.replace(QStringLiteral("%DIR%"), setups.path());
    const ProgramRun run = runProgram(QStringLiteral("optionsChild"),
                                      QStringLiteral("SFP_RUN_ARGS=") + arguments, dir);
    const sfptest::ChildResult &r = run.result;
    QVERIFY2(!r.crashed, r.err.constData());
    QCOMPARE(r.exitCode, 0); // the child's own test passed
    if (status >= 0)
        QVERIFY2(r.out.contains(QStringLiteral("returned %1\n").arg(status).toLatin1()),
                 r.out.constData());
    else
        QVERIFY2(!r.out.contains("returned"), r.out.constData());
    if (!output.isEmpty())
        QVERIFY2(r.out.contains(output.toLatin1()), r.out.constData());
    if (status > 0) {
        // One clear line, then the usage for a command line refused (not for a
        // program that could not be written); no window was made.
        const QStringList lines = QString::fromLocal8Bit(r.err).split(QLatin1Char('\n'));
        const int first = lines.indexOf(QRegularExpression(QStringLiteral("^tn6820fp: .*")));
        QVERIFY2(first >= 0, r.err.constData());
        QCOMPARE(lines.at(first), error);
        if (!error.contains(QLatin1String("was not written")))
            QVERIFY2(lines.value(first + 2).startsWith(QLatin1String("Usage: ")),
                     r.err.constData());
        QVERIFY2(r.out.contains("no window made"), r.out.constData());
    }
    const QByteArray &calls = run.trace;
    if (opened == QLatin1String("demo") || opened.isEmpty()) {
        QVERIFY2(!calls.contains("tn6820_init resourceName=\"VXI0::8::INSTR\""), calls.constData());
    } else {
        const QStringList d = opened.split(QLatin1Char(' '));
        QVERIFY2(calls.contains(QStringLiteral("tn6820_init resourceName=\"%1\" fcNumber=%2 ")
                                    .arg(d.at(0), d.at(1))
                                    .toLatin1()),
                 calls.constData());
    }
    if (arguments.contains(QLatin1String("--export-c")) && status == 0) {
        QFile program(setups.filePath(QStringLiteral("setup.c")));
        QVERIFY(program.open(QIODevice::ReadOnly));
        const QByteArray text = program.readAll();
        QVERIFY(text.startsWith("/* An Orbana 6820 setup as a C program"));
        QVERIFY(text.contains("Frequency asked for: 50 Hz."));
    }
    // An address given on the command line is not remembered.
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Morvix/DefaultInstrDescr.ini"))));
}

void tst_program::optionsChild()
{
    if (!sfptest::isChild())
        QSKIP("runs in the child processes of options");
    sfptest::SimBench bench;
    const QStringList arguments =
        QStringList{QStringLiteral("tn6820fp")} +
        qEnvironmentVariable("SFP_RUN_ARGS").split(QLatin1Char('|'), Qt::SkipEmptyParts);
    ModalAnswers answers;
    if (arguments.contains(QStringLiteral("--resource=VXI0::99::INSTR"))) {
        answers.click(QStringLiteral("Try Again"), [](QWidget *w) {
            std::printf("asked: %s\n", qPrintable(qobject_cast<QMessageBox *>(w)->text()));
        });
        answers.click(QStringLiteral("Cancel"), [](QWidget *w) {
            std::printf("asked: %s\n", qPrintable(qobject_cast<QMessageBox *>(w)->text()));
        });
    } else {
        answers.click(QStringLiteral("Yes")); // the close question
    }
    closeMainWindowWhenShown();
    const int status = tn6820fp_run(*qApp, arguments);
    if (QApplication::topLevelWidgets().isEmpty())
        std::printf("no window made\n");
    std::printf("returned %d\n", status);
    std::fflush(stdout);
    if (status == 2 || arguments.contains(QStringLiteral("--help")) ||
        arguments.contains(QStringLiteral("--version")) ||
        arguments.contains(QStringLiteral("--export-c")))
        QVERIFY(!answers.allAnswered()); // nothing was asked
    else
        QVERIFY(answers.allAnswered());
}

void tst_program::parsedOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("message"); // for a refusal
    QTest::addColumn<QString>("opened");  // descriptor and number, for Open
    const int refuse = tn6820fp_options::Refuse;
    const int run = tn6820fp_options::Run;
    const QString longest(255, QLatin1Char('A'));
    const QString descriptorRule =
        QStringLiteral("The resource descriptor must be 1 to 255 printable ASCII characters.");
    QTest::newRow("nothing") << QStringList{} << run << QString() << QString();
    QTest::newRow("descriptor of 255 characters")
        << QStringList{"--resource", longest, "--fc", "64"} << run << QString() << longest + " 64";
    QTest::newRow("descriptor of 256 characters")
        << QStringList{"--resource", longest + "A", "--fc", "1"} << refuse << descriptorRule
        << QString();
    QTest::newRow("empty descriptor")
        << QStringList{"--resource=", "--fc=1"} << refuse << descriptorRule << QString();
    QTest::newRow("descriptor with a letter beyond ASCII")
        << QStringList{"--resource", QString::fromUtf8("VXI0::8::INSTR\xc3\xa9"), "--fc", "1"}
        << refuse << descriptorRule << QString();
    QTest::newRow("descriptor with a tab")
        << QStringList{"--resource", "VXI0::8::\tINSTR", "--fc", "1"} << refuse << descriptorRule
        << QString();
    QTest::newRow("card number 0")
        << QStringList{"--resource", "VXI0::8::INSTR", "--fc", "0"} << refuse
        << "The card number '0' is not a number from 1 to 64." << QString();
    QTest::newRow("card number -1")
        << QStringList{"--resource", "VXI0::8::INSTR", "--fc=-1"} << refuse
        << "The card number '-1' is not a number from 1 to 64." << QString();
    QTest::newRow("card number 1") << QStringList{"--resource", "VXI0::8::INSTR", "--fc", "1"}
                                   << run << QString() << "VXI0::8::INSTR 1";
    QTest::newRow("resource given twice")
        << QStringList{"--resource", "A", "--resource", "B", "--fc", "1"} << refuse
        << "--resource is given more than once." << QString();
    QTest::newRow("card number given twice")
        << QStringList{"--resource", "A", "--fc", "1", "--fc", "1"} << refuse
        << "--fc is given more than once." << QString();
    QTest::newRow("a call log where no folder is")
        << QStringList{"--demo", "--log-calls", "/nonexistent-folder/calls.txt"} << refuse
        << "cannot write the driver calls to /nonexistent-folder/calls.txt: " +
               QString::fromLocal8Bit(std::strerror(ENOENT)) // in the locale's language
        << QString();
    QTest::newRow("a program without a setup")
        << QStringList{"--demo", "--export-c", "setup.c"} << refuse
        << "--export-c goes with --setup." << QString();
    QTest::newRow("setup given twice")
        << QStringList{"--demo", "--setup", "a.json", "--setup", "a.json"} << refuse
        << "--setup is given more than once." << QString();
    QTest::newRow("card number alone")
        << QStringList{"--fc", "1"} << refuse << "--resource and --fc go together." << QString();
    QTest::newRow("help before a bad option")
        << QStringList{"--help", "--fc", "x"} << int(tn6820fp_options::Help) << QString()
        << QString();
}

// The options as read, without running the program: every refusal says what
// is wrong in one line, and nothing that is refused opens a card.
void tst_program::parsedOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QString, message);
    QFETCH(QString, opened);
    const tn6820fp_options o =
        tn6820fp_parseOptions(QStringList{QStringLiteral("tn6820fp")} + arguments);
    QCOMPARE(int(o.action), action);
    QCOMPARE(o.message, message);
    if (action == tn6820fp_options::Refuse)
        QVERIFY(o.text.startsWith(QLatin1String("Usage: ")));
    QCOMPARE(o.start.kind == tn6800fp_startChoice::Open
                 ? o.start.descriptor + QLatin1Char(' ') + QString::number(o.start.fcNumber)
                 : QString(),
             opened);
}

QTEST_MAIN(tst_program)
#include "tst_program.moc"
