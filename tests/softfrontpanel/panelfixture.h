#ifndef PANELFIXTURE_H
#define PANELFIXTURE_H

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "testsupport.h"
#include "tn6800fp_led.h"
#include "tn6820_fc.h"
#include "tn6820fp_app.h"
#include "tn6820fp_chset.h"
#include "tn6820fp_preview.h"
#include "tn6820fp_resources.h"

// Builds the real panel through the real connection dialogs against a
// simulated bench, and reaches its widgets by name.
struct PanelFixture
{
    enum Path
    {
        Demo,
        Vxi,
        Lxi
    };

    explicit PanelFixture(const QString &benchText = QString()) : bench(benchText)
    {
        tn6820fp_initResources();
    }

    // Opens the panel; extra answers are for boxes shown while it is built.
    tn6820fp_App &open(Path path, sfptest::ModalAnswers *answers = nullptr,
                       const QStringList &thenClick = {})
    {
        sfptest::ModalAnswers own;
        sfptest::ModalAnswers &a = answers ? *answers : own;
        if (path == Demo) {
            a.click(QStringLiteral("Run In Demo Mode"));
        } else {
            a.click(QStringLiteral("Enter Address"));
            a.act(sfptest::enterAddress(path == Vxi
                                            ? QStringLiteral("VXI0::8::INSTR")
                                            : QStringLiteral("TCPIP0::192.168.10.20::inst0::INSTR"),
                                        path == Vxi ? 2 : 1));
        }
        for (const QString &button : thenClick)
            a.click(button);
        panel.reset(new tn6820fp_App(&card));
        return *panel;
    }

    template <typename T> T *get(const QString &name) const
    {
        return sfptest::child<T>(panel.get(), name);
    }
    QCheckBox *select(int n) const
    {
        return get<QCheckBox>(QStringLiteral("channelSelect%1").arg(n));
    }
    tn6820fp_chSet *channel(int n) const
    {
        return get<tn6820fp_chSet>(QStringLiteral("channelSettings%1").arg(n));
    }
    tn6820fp_preview *preview(int n) const
    {
        return get<tn6820fp_preview>(QStringLiteral("preview%1").arg(n));
    }
    QDoubleSpinBox *dac(int n) const
    {
        return get<QDoubleSpinBox>(QStringLiteral("dacValue%1").arg(n));
    }
    QPushButton *startButton() const
    {
        return get<QPushButton>(QStringLiteral("panelStartButton"));
    }
    QPushButton *stopButton() const { return get<QPushButton>(QStringLiteral("panelStopButton")); }
    QComboBox *mode() const { return get<QComboBox>(QStringLiteral("generateMode")); }
    QSpinBox *frequency() const { return get<QSpinBox>(QStringLiteral("freqBox")); }
    QComboBox *filter() const { return get<QComboBox>(QStringLiteral("filterBox")); }
    QTabWidget *tabs() const { return get<QTabWidget>(QStringLiteral("mainTabs")); }

    // Lines of the trace that call the 6820 driver.
    QStringList driverCalls() const
    {
        QStringList out;
        for (const QString &line : bench.trace())
            if (line.startsWith(QLatin1String("tn6820_")))
                out << line.section(QLatin1Char(' '), 0, 0);
        return out;
    }

    // Clicks Start on an empty trace and gives the line of the generation
    // call that mode (0: single cycle) makes, or "" when Start made none.
    QString startAndTraceGeneration(int mode)
    {
        bench.clearTrace();
        startButton()->click();
        return bench
            .calls(mode == 0 ? QStringLiteral("tn6820_generateWaveforms")
                             : QStringLiteral("tn6820_startContWaveformEx"))
            .value(0);
    }

    sfptest::ProfileDir profile;
    sfptest::SimBench bench;
    tn6820_fc card;
    std::unique_ptr<tn6820fp_App> panel;
};

#endif
