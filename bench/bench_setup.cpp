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

// In a child: "save FILE" or "open FILE" through the model alone, printing
// the time in ms and the peak resident memory the operation added, in kB.
int child(const QString &what, const QString &path)
{
    tn6820fp_page page;
    if (what == QLatin1String("save"))
        page.setSettings(largeSettings());
    const long before = statusKb("VmRSS");
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
    answer(QStringLiteral("Run In Demo Mode"));
    tn6820fp_App panel(&card);
    panel.show();
    double stall = 0;
    bool opened = false;
    ms = timeStalls([&] { opened = panel.openSetupFile(saved); }, stall);
    std::printf("  the panel opens it:  %8.1f ms, longest stall of the event loop %6.1f ms "
                "(target < 100 ms)%s\n",
                ms, stall, opened ? "" : " NOT OPENED");
    bool written = false;
    ms = timeStalls([&] { written = panel.saveSetupFile(again); }, stall);
    std::printf("  the panel saves it:  %8.1f ms, longest stall of the event loop %6.1f ms "
                "(target < 100 ms)%s\n",
                ms, stall, written ? "" : " NOT SAVED");
    return 0;
}
