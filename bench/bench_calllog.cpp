// Times the Driver Calls window's filter over a full log of 100,000 calls:
// each keystroke of a search text typed and then erased again, from the
// text's change to the rows shown (target: under 50 ms each).
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "tn6800fp_calllog.h"
#include "tn6800fp_calllogwindow.h"

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tn6800fp_callLog &log = tn6800fp_callLog::instance();
    const char *functions[] = {"viOpen",
                               "viGetAttribute",
                               "readRegister",
                               "tn6820_writeChannels",
                               "tn6820_generateWaveforms",
                               "viClose"};
    for (int i = 0; i < tn6800fp_callLog::capacity; ++i) {
        tn6800fp_loggedCall c;
        c.startMs = i * 0.25;
        c.durationUs = 10 + i % 300;
        c.function = functions[i % 6];
        c.arguments = QStringLiteral("vi=%1, position=%2, offset=0xFC, buffer=[400: 0, "
                                     "0.31410759078128292, 0.62790519529313374, ...]")
                          .arg(i % 97)
                          .arg(i % 13);
        c.status = i % 50 == 0 ? ViStatus(0xBFFF0011) : VI_SUCCESS;
        log.record(c);
    }
    tn6800fp_callLogWindow window(QStringLiteral("Driver Calls"));
    window.show();
    QElapsedTimer wait;
    wait.start();
    while (window.rowsShown() < tn6800fp_callLog::capacity && wait.elapsed() < 30000)
        QApplication::processEvents();
    auto *filter = window.findChild<QLineEdit *>(QStringLiteral("callFilter"));
    const QString typed = QStringLiteral("tn6820_generate");
    std::vector<double> ms;
    int shown = 0;
    for (int round = 0; round < 3; ++round) {
        QString text;
        auto key = [&](const QString &now) {
            QElapsedTimer t;
            t.start();
            filter->setText(now);
            QApplication::processEvents();
            ms.push_back(t.nsecsElapsed() / 1e6);
            if (qEnvironmentVariableIsSet("SFP_BENCH_VERBOSE"))
                std::printf("  \"%s\" %.1f ms\n", qPrintable(now), ms.back());
            shown = window.rowsShown();
        };
        for (const QChar c : typed)
            key(text += c);
        const int matching = shown;
        while (!text.isEmpty()) {
            text.chop(1);
            key(text);
        }
        if (round == 0)
            std::printf("%d rows; \"%s\" shows %d\n", shown, qPrintable(typed), matching);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("filter, a keystroke over %d rows: median %.1f ms, slowest %.1f ms of %zu "
                "(target < 50 ms)\n",
                tn6800fp_callLog::capacity, ms[ms.size() / 2], ms.back(), ms.size());
    return 0;
}
