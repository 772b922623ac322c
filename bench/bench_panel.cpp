// Figures of the whole program, each next to what it is measured against:
// - start-up: process start to main window shown (demo mode, offscreen, the
//   connection question answered at once), next to the minimal Qt Widgets
//   program, a window showing one line of text, shown the same way;
// - memory: peak resident memory once the window is shown, same comparison;
// - start latency: Start clicked to the driver call returned, 8 channels at 1 Hz,
//   with the driver-call log recording and with it turned off.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "tn6800fp_calllog.h"
#include <ctime>
#include <vector>

#include "benchsupport.h"
#include "tn6800fp_app.h"
#include "tn6820_fc.h"
#include "tn6820fp_app.h"
#include "tn6820fp_main.h"
#include "tn6820fp_resources.h"

extern "C" void orbsim_reload(void);

namespace {

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Reports the first Show event of a window of the given kind and ends the process.
class ShownReporter : public QObject
{
public:
    explicit ShownReporter(const char *className) : m_className(className) {}
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show && o->inherits(m_className) && !m_done) {
            m_done = true;
            const qint64 started = qEnvironmentVariable("BENCH_STARTED_NS").toLongLong();
            const double ms = (monotonicNs() - started) / 1e6;
            QTimer::singleShot(0, [ms] {
                std::printf("%.3f %ld\n", ms, peakResidentKb());
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    const char *m_className;
    bool m_done = false;
};

int childPanel(QApplication &app)
{
    ShownReporter reporter("tn6820fp_App");
    app.installEventFilter(&reporter);
    answer(QStringLiteral("Run In Demo Mode"));
    return tn6820fp_run(app, {QStringLiteral("tn6820fp")});
}

// The classic minimal Qt Widgets program: one window showing one line of text.
int childMinimal(QApplication &app)
{
    ShownReporter reporter("QLabel");
    app.installEventFilter(&reporter);
    QLabel window(QStringLiteral("Hello, world"));
    window.show();
    return app.exec();
}

struct Run
{
    double ms;
    long kb;
};

std::vector<Run> runChildren(const QString &kind, int count)
{
    std::vector<Run> runs;
    for (int i = 0; i < count; ++i) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("BENCH_STARTED_NS"), QString::number(monotonicNs()));
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), kind});
        p.waitForFinished(60000);
        const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
        if (f.size() == 2)
            runs.push_back({f[0].toDouble(), f[1].toLong()});
    }
    return runs;
}

double medianMs(std::vector<Run> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.ms < b.ms; });
    return runs.empty() ? 0 : runs[runs.size() / 2].ms;
}

long medianKb(std::vector<Run> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.kb < b.kb; });
    return runs.empty() ? 0 : runs[runs.size() / 2].kb;
}

void startLatency()
{
    QTemporaryDir dir;
    QFile bench(dir.filePath(QStringLiteral("bench.ini")));
    if (bench.open(QIODevice::WriteOnly)) {
        bench.write("[carrier]\nresource = VXI0::8::INSTR\ninterface = vxi\nslot = 3\n"
                    "model = 0x6800\npositions = 4\nposition = 2 0x6820\n");
        bench.close();
    }
    qputenv("ORBANA_SIM_BENCH", bench.fileName().toLocal8Bit());
    qputenv("ORBANA_SIM_TRACE", QByteArray());
    orbsim_reload();
    answer(QStringLiteral("Auto Find"));
    tn6820fp_initResources();
    tn6820_fc card;
    tn6820fp_App panel(&card);
    for (int n = 1; n <= 8; ++n)
        panel.findChild<QCheckBox *>(QStringLiteral("channelSelect%1").arg(n))->setChecked(true);
    panel.findChild<QSpinBox *>(QStringLiteral("freqBox"))->setValue(1);
    panel.findChild<QComboBox *>(QStringLiteral("generateMode"))->setCurrentIndex(1);
    auto *start = panel.findChild<QPushButton *>(QStringLiteral("panelStartButton"));
    auto *stop = panel.findChild<QPushButton *>(QStringLiteral("panelStopButton"));
    // Rounds on and off take turns, so that a machine that slows down for a
    // while slows both alike.
    std::vector<double> us[2];
    for (int i = 0; i < 202; ++i) {
        const bool on = i % 2 == 0;
        tn6800fp_callLog::setRecording(on);
        QElapsedTimer t;
        t.start();
        start->click();
        us[on].push_back(t.nsecsElapsed() / 1e3);
        stop->click();
    }
    tn6800fp_callLog::setRecording(true);
    for (int on : {0, 1}) {
        std::sort(us[on].begin(), us[on].end());
        std::printf("start latency, 8 channels at 1 Hz (8000 samples, continuous), call log %s: "
                    "median %.1f us, max %.1f us (target < 2000 us)\n",
                    on ? "on " : "off", us[on][us[on].size() / 2], us[on].back());
    }
    std::printf("  the log costs %.1f%% (target < 5%%)\n",
                100.0 * (us[1][us[1].size() / 2] / us[0][us[0].size() / 2] - 1));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--child") {
        QApplication app(argc, argv);
        return QByteArray(argv[2]) == "panel" ? childPanel(app) : childMinimal(app);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = 9;
    const auto minimal = runChildren(QStringLiteral("minimal"), runs);
    const auto panel = runChildren(QStringLiteral("panel"), runs);
    const double minimalMs = medianMs(minimal);
    const double panelMs = medianMs(panel);
    std::printf("start-up to window shown (median of %d, offscreen):\n", runs);
    std::printf("  minimal Qt Widgets program %8.1f ms\n", minimalMs);
    std::printf("  tn6820fp in demo mode      %8.1f ms   ratio %.2f (target <= 1.5)\n", panelMs,
                minimalMs > 0 ? panelMs / minimalMs : 0.0);
    const long minimalKb = medianKb(minimal);
    const long panelKb = medianKb(panel);
    std::printf("peak resident memory once shown:\n");
    std::printf("  minimal Qt Widgets program %8ld kB\n", minimalKb);
    std::printf("  tn6820fp in demo mode      %8ld kB   ratio %.2f (target <= 1.5)\n", panelKb,
                minimalKb > 0 ? double(panelKb) / minimalKb : 0.0);
    startLatency();
    return 0;
}
