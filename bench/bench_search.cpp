// Times findFunctionCards on a bench of 300 LXI carriers that each take 200 ms
// to open, next to the ideal (ceil(300/128) rounds of 200 ms) and the
// sequential time; then on the same bench without latency (the program's own
// overhead). Runs offscreen unless a display is asked for.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

#include "tn6800fp_fcselect.h"
#include "tn6820_fc.h"

extern "C" void orbsim_reload(void);

namespace {

double timeSearch(const QString &benchPath, int &found)
{
    qputenv("ORBANA_SIM_BENCH", benchPath.toLocal8Bit());
    orbsim_reload();
    tn6820_fc card;
    tn6800fp_fcSelect dialog(&card, false);
    QElapsedTimer t;
    t.start();
    found = dialog.findFunctionCards();
    return t.nsecsElapsed() / 1e6;
}

QString writeBench(const QString &dir, const char *name, int resources, int latencyMs)
{
    QString text;
    for (int i = 0; i < resources; ++i) {
        const QString address = QStringLiteral("10.60.%1.%2").arg(i / 250).arg(i % 250 + 1);
        text += QStringLiteral("[carrier]\nresource = TCPIP0::%1::INSTR\ninterface = tcpip\n"
                               "address = %1\nmodel = 6813\npositions = 13\n%2"
                               "open_latency_ms = %3\n")
                    .arg(address)
                    // Half of them hold a 6820: fewer than the 256 one panel offers.
                    .arg(i % 2 ? QStringLiteral("position = 1 0x6820\n") : QString())
                    .arg(latencyMs);
    }
    const QString path = dir + QLatin1Char('/') + QLatin1String(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text.toUtf8());
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const int n = 300;
    const int latency = 200;
    int found = 0;
    const double slow = timeSearch(writeBench(dir.path(), "slow.ini", n, latency), found);
    const double ideal = std::ceil(n / 128.0) * latency;
    std::printf("300 LXI resources, 200 ms to open each (%d cards found)\n", found);
    std::printf("  measured     %8.1f ms\n", slow);
    std::printf("  ideal        %8.1f ms  (ceil(300/128) x 200 ms)\n", ideal);
    std::printf("  sequential   %8.1f ms  (300 x 200 ms)\n", double(n * latency));
    std::printf("  ratio measured/ideal %.2f (target <= 1.3)\n", slow / ideal);
    double fastest = 1e300;
    for (int round = 0; round < 5; ++round)
        fastest = std::min(fastest, timeSearch(writeBench(dir.path(), "fast.ini", n, 0), found));
    std::printf("300 LXI resources without latency: %.1f ms, best of 5 (target < 100 ms)\n",
                fastest);
    return 0;
}
