// The log of driver calls: its ring of the last 100,000, its lines, its file,
// and the calls of a search set against the stand-ins' trace.
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "testcard.h"
#include "testsupport.h"
#include "tn6800.h"
#include "tn6800fp_calllog.h"
#include "tn6800fp_calllogwindow.h"
#include "tn6800fp_fcselect.h"
#include "tn6800fp_loggedcalls.h"

namespace {

tn6800fp_loggedCall call(const char *function, const QString &arguments, ViStatus status,
                         double startMs = 0, double durationUs = 0)
{
    tn6800fp_loggedCall c;
    c.function = function;
    c.arguments = arguments;
    c.status = status;
    c.startMs = startMs;
    c.durationUs = durationUs;
    return c;
}

// "function status" of every call, as the log has them and as the trace does.
QStringList logged()
{
    QStringList out;
    for (const tn6800fp_loggedCall &c : tn6800fp_callLog::instance().calls())
        if (c.function)
            out << QStringLiteral("%1 %2").arg(QLatin1String(c.function)).arg(c.status);
    return out;
}

QStringList traced(const QStringList &trace)
{
    QStringList out;
    for (const QString &line : trace)
        out << line.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') +
                   line.section(QStringLiteral(" -> "), -1);
    return out;
}

} // namespace

class tst_calllog : public QObject
{
    Q_OBJECT
private slots:
    // Not in a child: there the log must first be made on another thread.
    void init()
    {
        if (!sfptest::isChild())
            tn6800fp_callLog::instance().clear();
    }
    void lines_data();
    void lines();
    void ringKeepsTheLast();
    void fileLines();
    void searchAsTraced();
    void liveWhenAWorkerMadeIt();
    void liveWhenAWorkerMadeItChild();
    void fileThatStops_data();
    void fileThatStops();
};

void tst_calllog::lines_data()
{
    QTest::addColumn<QString>("function"); // empty for a note
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<double>("startMs");
    QTest::addColumn<double>("durationUs");
    QTest::addColumn<int>("thread");
    QTest::addColumn<bool>("failed"); // shown in red
    QTest::addColumn<QString>("line");
    QTest::newRow("success") << "viClose"
                             << "vi=3" << int(VI_SUCCESS) << 1532.2074 << 148.4 << 0 << false
                             << "1532.207 [GUI] viClose(vi=3) -> 0x00000000 VI_SUCCESS 148 us";
    QTest::newRow("an error of VISA, on a worker")
        << "viOpen"
        << R"(sesn=1, name="ASRL1::INSTR")" << int(VI_ERROR_RSRC_NFOUND) << 0.0 << 0.6 << 2 << true
        << R"(0.000 [worker 2] viOpen(sesn=1, name="ASRL1::INSTR") -> 0xBFFF0011 VI_ERROR_RSRC_NFOUND 1 us)";
    QTest::newRow("the end of a find list is no failure")
        << "viFindNext"
        << "findList=2, instrDesc=null" << int(VI_ERROR_RSRC_NFOUND) << 3.0 << 4.0 << 1 << false
        << "3.000 [worker 1] viFindNext(findList=2, instrDesc=null) -> 0xBFFF0011 "
           "VI_ERROR_RSRC_NFOUND (the end of the list) 4 us";
    QTest::newRow("an error of the common library")
        << "tn6800_openCarrier"
        << "instrument=2" << int(TN6800_ERROR_NOT_CARRIER) << 7.0 << 2.0 << 0 << true
        << "7.000 [GUI] tn6800_openCarrier(instrument=2) -> 0xBFFC0901 TN6800_ERROR_NOT_CARRIER 2 "
           "us";
    QTest::newRow("a warning the resource manager gives")
        << "viOpenDefaultRM"
        << "*sesn=1" << int(0x3FFF0077) << 0.5 << 30.0 << 0 << false
        << "0.500 [GUI] viOpenDefaultRM(*sesn=1) -> 0x3FFF0077 VI_WARN_CONFIG_NLOADED 30 us";
    QTest::newRow("a status without a name")
        << "viFindNext"
        << "findList=2" << 0x3FFF1234 << 1.5 << 10.0 << 0 << false
        << "1.500 [GUI] viFindNext(findList=2) -> 0x3FFF1234 10 us";
    QTest::newRow("a note")
        << ""
        << "Demo mode: the panel opens no card and sends nothing to one." << 0 << 20.25 << 0.0 << 0
        << false << "20.250 [GUI] # Demo mode: the panel opens no card and sends nothing to one.";
}

void tst_calllog::lines()
{
    QFETCH(QString, function);
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(double, startMs);
    QFETCH(double, durationUs);
    QFETCH(int, thread);
    QFETCH(bool, failed);
    QFETCH(QString, line);
    const QByteArray name = function.toLatin1();
    tn6800fp_loggedCall c = call(name.constData(), arguments, status, startMs, durationUs);
    c.thread = thread;
    if (function.isEmpty())
        c.function = nullptr;
    QCOMPARE(tn6800fp_callLog::line(c), line);
    QCOMPARE(tn6800fp_callLog::failed(c), failed);
}

// However long the program runs, the log holds the last 100,000 calls, and so
// does its window.
void tst_calllog::ringKeepsTheLast()
{
    tn6800fp_callLogWindow window(QStringLiteral("Calls"));
    tn6800fp_callLog &log = tn6800fp_callLog::instance();
    const qint64 before = log.recorded();
    for (int i = 0; i < 100005; ++i)
        log.record(call("viClose", QStringLiteral("#%1").arg(i), VI_SUCCESS));
    const QVector<tn6800fp_loggedCall> kept = log.calls();
    QCOMPARE(kept.size(), 100000);
    QCOMPARE(kept.first().arguments, QStringLiteral("#5"));
    QCOMPARE(kept.last().arguments, QStringLiteral("#100004"));
    QCOMPARE(log.recorded() - before, qint64(100005));
    QTRY_COMPARE(window.rowsShown(), 100000);
    log.record(call("viClose", QStringLiteral("#100005"), VI_ERROR_INV_OBJECT));
    QTRY_COMPARE(window.view()->model()->index(99999, 3).data().toString(),
                 QStringLiteral("#100005"));
    QCOMPARE(window.rowsShown(), 100000);
    const QModelIndex last = window.view()->model()->index(99999, 3);
    QCOMPARE(last.data(Qt::ForegroundRole).value<QColor>(), QColor(0xc6, 0x28, 0x28));
    QCOMPARE(window.view()->model()->index(0, 3).data().toString(), QStringLiteral("#6"));
    // The filter finds its text in any column, whatever its case.
    auto *filter = window.findChild<QLineEdit *>(QStringLiteral("callFilter"));
    QVERIFY(filter);
    const struct
    {
        const char *text;
        int rows;
    } filters[] = {{"#100005", 1},          {"#10000", 7},   {"VICLOSE", 100000}, {"0xbfff000e", 1},
                   {"vi_error_inv_obj", 1}, {"GUI", 100000}, {"no such text", 0}, {"", 100000}};
    for (const auto &f : filters) {
        filter->setText(QLatin1String(f.text));
        QCOMPARE(window.rowsShown(), f.rows);
    }
}

// With a file, every call is there as its line as soon as it returns.
void tst_calllog::fileLines()
{
    QTemporaryDir dir;
    tn6800fp_callLog &log = tn6800fp_callLog::instance();
    QString why;
    QVERIFY(!log.writeTo(dir.filePath(QStringLiteral("missing/calls.txt")), &why));
    // The system's own words, in the language of the locale.
    QCOMPARE(why, QString::fromLocal8Bit(std::strerror(ENOENT)));
    // A file there already keeps its lines; this run's start is marked.
    sfptest::writeFile(dir.path(), QStringLiteral("calls.txt"), "an earlier run's line\n");
    QVERIFY(log.writeTo(dir.filePath(QStringLiteral("calls.txt")), &why));
    sfptest::SimBench bench;
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    QCOMPARE(dialog.findFunctionCards(), 2);
    // A call of known length: 30 ms, written in microseconds.
    QCOMPARE(tn6800fp_logged::tn6800_delay(30.0), VI_SUCCESS);
    QVERIFY(log.waitWritten(10000));
    QFile file(dir.filePath(QStringLiteral("calls.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList lines =
        QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.takeFirst(), QStringLiteral("an earlier run's line"));
    const QString start = lines.takeFirst();
    QVERIFY2(QRegularExpression(QStringLiteral(R"(^\d+\.\d{3} \[GUI\] # Driver calls of process )"
                                               R"(\d+, started \d{4}-\d\d-\d\dT[0-9:]+Z$)"))
                 .match(start)
                 .hasMatch(),
             qPrintable(start));
    const QRegularExpression format(
        QStringLiteral(R"(^\d+\.\d{3} \[(?:GUI|worker \d+)\] (\w+)\((.*)\) -> 0x[0-9A-F]{8})"
                       R"(( [A-Z][A-Z0-9_]*)?( \(the end of the list\))? \d+ us$)"));
    QStringList functions;
    for (const QString &line : lines) {
        const QRegularExpressionMatch m = format.match(line);
        QVERIFY2(m.hasMatch(), qPrintable(line));
        functions << m.captured(1);
    }
    const QRegularExpressionMatch waited =
        QRegularExpression(QStringLiteral(R"(tn6800_delay\(milliseconds=30\) -> 0x00000000 )"
                                          R"(VI_SUCCESS (\d+) us$)"))
            .match(lines.last());
    QVERIFY2(waited.hasMatch(), qPrintable(lines.last()));
    QVERIFY2(waited.captured(1).toLongLong() >= 30000 && waited.captured(1).toLongLong() < 3000000,
             qPrintable(lines.last()));
    QStringList traced;
    for (const QString &line : bench.trace())
        traced << line.section(QLatin1Char(' '), 0, 0);
    std::sort(functions.begin(), functions.end());
    std::sort(traced.begin(), traced.end());
    QCOMPARE(functions, traced);
    log.writeTo(QStringLiteral("/dev/null"), &why);
}

// The search's calls, from the GUI thread and the workers, as the stand-ins
// saw them: the same entry points with the same statuses. The workers run in
// parallel, so only what was called, not in which order, can be compared.
void tst_calllog::searchAsTraced()
{
    sfptest::SimBench bench; // a serial port that is no carrier among the carriers
    sfptest::TestCard card;
    tn6800fp_fcSelect dialog(&card, false);
    QCOMPARE(dialog.findFunctionCards(), 2);
    QStringList mine = logged();
    QStringList theirs = traced(bench.trace());
    QVERIFY(mine.contains(QStringLiteral("tn6800_openCarrier %1").arg(TN6800_ERROR_NOT_CARRIER)));
    std::sort(mine.begin(), mine.end());
    std::sort(theirs.begin(), theirs.end());
    QCOMPARE(mine, theirs);
    bool worker = false;
    QStringList attributes;
    for (const tn6800fp_loggedCall &c : tn6800fp_callLog::instance().calls()) {
        worker = worker || (c.thread != 0 && QLatin1String(c.function) == QLatin1String("viOpen"));
        if (QLatin1String(c.function) == QLatin1String("viGetAttribute"))
            attributes << c.arguments.section(QStringLiteral(", "), 1);
    }
    QVERIFY(worker);
    // Each query with the value it read: the VXI carrier's slot, the
    // interfaces' types (VXI 2, TCPIP 6) and the network carrier's address.
    std::sort(attributes.begin(), attributes.end());
    QCOMPARE(attributes, (QStringList{"attr=0x3FFF00E8, *value=3", "attr=0x3FFF0171, *value=2",
                                      "attr=0x3FFF0171, *value=6", "attr=0x3FFF0171, *value=6",
                                      "attr=0xBFFF0195, value=\"192.168.10.20\"",
                                      "attr=0xBFFF0195, value=\"192.168.10.20\""}));
}

// The log first asked for by a worker thread that then ends (as the search's
// is) still tells the Driver Calls window of every later call.
void tst_calllog::liveWhenAWorkerMadeIt()
{
    const sfptest::ChildResult r =
        sfptest::runInChild(QStringLiteral("liveWhenAWorkerMadeItChild"));
    QVERIFY2(!r.crashed && r.exitCode == 0, (r.out + r.err).constData());
}

void tst_calllog::liveWhenAWorkerMadeItChild()
{
    if (!sfptest::isChild())
        QSKIP("runs in the child of liveWhenAWorkerMadeIt");
    std::thread worker([] {
        tn6800fp_callLog::instance().record(
            call("viOpenDefaultRM", QStringLiteral("*sesn=1"), VI_SUCCESS));
    });
    worker.join();
    tn6800fp_callLogWindow window(QStringLiteral("Calls"));
    QTRY_COMPARE(window.rowsShown(), 1);
    tn6800fp_callLog::instance().record(call("viClose", QStringLiteral("vi=1"), VI_SUCCESS));
    QTRY_COMPARE(window.rowsShown(), 2);
    std::thread later([] {
        tn6800fp_callLog::instance().record(call("viClose", QStringLiteral("vi=2"), VI_SUCCESS));
    });
    later.join();
    QTRY_COMPARE(window.rowsShown(), 3);
}

// A file that cannot take the calls loses them, never the program: no call
// waits for it, and it says once why it stopped.
void tst_calllog::fileThatStops_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("why"); // as the note says it, after the file's name
    QTest::newRow("a full device")
        << "/dev/full"
        << " stopped: " + QString::fromLocal8Bit(std::strerror(ENOSPC)) + ";";
    QTest::newRow("a named pipe no program reads")
        << "pipe"
        << " is not written: it is a named pipe that no program reads.";
    QTest::newRow("a reader that goes away") << "quitting reader"
                                             << " stopped: its reader went away;";
    QTest::newRow("a reader that stops reading") << "idle reader"
                                                 << " stopped: its reader stopped reading;";
}

void tst_calllog::fileThatStops()
{
    QFETCH(QString, target);
    QFETCH(QString, why);
    QTemporaryDir dir;
    QString path = target;
    QProcess reader;
    int idle = -1;
    if (!target.startsWith(QLatin1Char('/'))) {
        path = dir.filePath(QStringLiteral("calls.fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    if (target == QLatin1String("quitting reader")) {
        reader.start(QStringLiteral("head"), {QStringLiteral("-c"), QStringLiteral("1"), path});
        QVERIFY(reader.waitForStarted());
    }
    if (target == QLatin1String("idle reader"))
        idle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    tn6800fp_callLog &log = tn6800fp_callLog::instance();
    QString refused;
    // The reader may not have opened its end yet: until it has, the pipe has none.
    QElapsedTimer opening;
    opening.start();
    for (;;) {
        QVERIFY2(log.writeTo(path, &refused), qPrintable(refused));
        const QVector<tn6800fp_loggedCall> said = log.calls();
        if (target != QLatin1String("quitting reader") || opening.elapsed() > 5000 ||
            said.isEmpty() || !said.last().arguments.contains(QLatin1String("no program reads")))
            break;
        log.clear();
        QThread::msleep(20);
    }
    // Calls keep coming, far more than the pipe holds; none waits.
    QElapsedTimer recording;
    recording.start();
    const QString long_(300, QLatin1Char('x'));
    for (int i = 0; i < 20000; ++i)
        log.record(call("viClose", long_, VI_SUCCESS));
    QVERIFY2(recording.elapsed() < 2000, qPrintable(QString::number(recording.elapsed())));
    if (target != QLatin1String("pipe"))
        QVERIFY(log.waitWritten(20000));
    QStringList notes;
    for (const tn6800fp_loggedCall &c : log.calls())
        if (!c.function)
            notes << c.arguments;
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes[0].startsWith(QStringLiteral("The driver-call log file ") + path + why),
             qPrintable(notes[0]));
    if (target != QLatin1String("pipe"))
        QVERIFY2(QRegularExpression(QStringLiteral(" \\d+ calls? (was|were) not written to it\\.$"))
                     .match(notes[0])
                     .hasMatch(),
                 qPrintable(notes[0]));
    log.writeTo(QStringLiteral("/dev/null"), &refused);
    if (idle >= 0)
        ::close(idle);
    reader.waitForFinished(5000);
}

QTEST_MAIN(tst_calllog)
#include "tst_calllog.moc"
