// Setups at their largest: eight arbitrary channels of 1,000,000 values each.
// - saving and opening through the panel (demo mode, offscreen): the time and
//   the longest stall of the GUI event loop while it runs (target < 100 ms);
// - the peak resident memory that saving and opening add, each in a process
//   of its own, next to the file's size (target < 3 times).
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "benchsupport.h"
#include "tn6820_fc.h"
#include "tn6820fp_app.h"
#include "tn6820fp_page.h"
#include "tn6820fp_resources.h"
#include "tn6820fp_setup.h"

namespace {

constexpr int kValues = 1000000;

// The process's resident memory now, in kB.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Eight arbitrary channels, each a different cycle of full-precision values.
tn6820fp_panelSettings largeSettings()
{
    tn6820fp_panelSettings s = tn6820fp_panelSettings::initial(10.0);
    std::uint64_t x = 88172645463325252ull;
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        auto shape = std::make_shared<tn6820fp_arbitraryShape>();
        shape->values.resize(kValues);
        for (double &v : shape->values) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            v = double(x >> 11) / double(1ull << 52) - 1.0;
        }
        shape->values[0] = 1.0;
        shape->file = QStringLiteral("shape%1.csv").arg(n + 1);
        tn6820fp_channelSettings &c = s.channels[std::size_t(n)];
        c.selected = true;
        c.waveform = WaveArbitrary;
        c.shape = shape;
    }
    return s;
}

// Runs a GUI-thread operation with a 10 ms timer beside it; the time in ms,
// stallMs the largest gap between its ticks.
template <typename Op> double timeStall(Op op, double &stallMs)
{
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    tick.start(10);
    QElapsedTimer t;
    t.start();
    sinceTick.start();
    op();
    stallMs = std::max(longest, sinceTick.nsecsElapsed() / 1e6);
    return t.nsecsElapsed() / 1e6;
}

// In a child: "save FILE" or "open FILE" through the model alone, printing
// the time in ms and the peak resident memory the operation added, in kB.
int child(const QString &what, const QString &path)
{
    tn6820fp_page page;
    if (what == QLatin1String("save"))
        page.setSettings(largeSettings());
    const long before = residentKb();
    QElapsedTimer t;
    t.start();
    const QString why = what == QLatin1String("save") ? page.saveSetup(path) : page.openSetup(path);
    const double ms = t.nsecsElapsed() / 1e6;
    if (!why.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    std::printf("%.1f %ld\n", ms, peakResidentKb() - before);
    return 0;
}

bool runChild(const QString &what, const QString &path, double &ms, long &kb)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), what, path});
    p.waitForFinished(300000);
    const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
    if (p.exitCode() != 0 || f.size() != 2)
        return false;
    ms = f[0].toDouble();
    kb = f[1].toLong();
    return true;
}

// Answers the connection question with demo mode.
void answerDemo()
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w)
            return;
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>()) {
            if (b->text().remove(QLatin1Char('&')) == QLatin1String("Run In Demo Mode")) {
                timer->deleteLater();
                b->click();
                return;
            }
        }
    });
    timer->start(0);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && QByteArray(argv[1]) == "--child") {
        QCoreApplication app(argc, argv);
        return child(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QApplication app(argc, argv);
    tn6820fp_initResources();
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("large.json"));
    const QString again = dir.filePath(QStringLiteral("again.json"));
    std::printf("8 arbitrary channels of %d values each\n", kValues);

    double ms = 0;
    long kb = 0;
    if (!runChild(QStringLiteral("save"), saved, ms, kb)) {
        std::printf("  saving failed\n");
        return 1;
    }
    const double fileKb = QFileInfo(saved).size() / 1024.0;
    std::printf("  file: %.1f MB\n", fileKb / 1024);
    std::printf("  save (model alone):  %8.1f ms, peak memory added %7.1f MB = %.2f x the file "
                "(target < 3)\n",
                ms, kb / 1024.0, kb / fileKb);
    if (!runChild(QStringLiteral("open"), saved, ms, kb)) {
        std::printf("  opening failed\n");
        return 1;
    }
    std::printf("  open (model alone):  %8.1f ms, peak memory added %7.1f MB = %.2f x the file "
                "(target < 3)\n",
                ms, kb / 1024.0, kb / fileKb);

    tn6820_fc card;
    answerDemo();
    tn6820fp_App panel(&card);
    panel.show();
    double stall = 0;
    bool opened = false;
    ms = timeStall([&] { opened = panel.openSetupFile(saved); }, stall);
    std::printf("  the panel opens it:  %8.1f ms, longest stall of the event loop %6.1f ms "
                "(target < 100 ms)%s\n",
                ms, stall, opened ? "" : " NOT OPENED");
    bool written = false;
    ms = timeStall([&] { written = panel.saveSetupFile(again); }, stall);
    std::printf("  the panel saves it:  %8.1f ms, longest stall of the event loop %6.1f ms "
                "(target < 100 ms)%s\n",
                ms, stall, written ? "" : " NOT SAVED");
    return 0;
}
