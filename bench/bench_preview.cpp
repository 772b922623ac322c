// The channel previews: the time to recompute and repaint them after one
// change, for cycles of 4 to 8000 samples.
// - The plan and the previews as the panel uses them: every change is a new
//   frequency (the dearest kind: all eight cycles and the shape tables are made
//   again), the plan made, handed to the eight previews, all eight painted.
// - The panel itself in demo mode: the frequency box changed, then all eight
//   previews painted; and one channel's amplitude changed, which makes only
//   that channel's part of the plan again and repaints its preview.
// Painting thins each cycle to the plot's pixel columns, so its cost should
// stop growing once a cycle has more samples than the plot has columns.
// With --profile only the case of 8000 samples is run, for a profiler.
#include <QApplication>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QImage>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "benchsupport.h"
#include "tn6820_fc.h"
#include "tn6820fp_app.h"
#include "tn6820fp_chset.h"
#include "tn6820fp_formula.h"
#include "tn6820fp_plan.h"
#include "tn6820fp_preview.h"
#include "tn6820fp_resources.h"

namespace {

constexpr int kChanges = 201;

struct Figures
{
    double recompute; // median microseconds
    double repaint;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void paintAll(tn6820fp_preview *const previews[8], QImage &image)
{
    for (int n = 0; n < 8; ++n)
        previews[n]->render(&image);
}

QImage canvasFor(const QWidget *w)
{
    const double ratio = w->devicePixelRatioF();
    QImage image(w->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    return image;
}

// Frequencies changed back and forth, and the samples per cycle of one channel
// at each: 4 to 8000.
const int kPairs[][2] = {{50000, 49000}, {1562, 1561}, {390, 389}, {48, 47}, {25, 26}};

// Eight channels of all four shapes, one of them past the range, the first
// selected; the second a square of 25% duty, the fourth a triangle of 90%
// symmetry and the last a sine at three times the frequency.
Figures pieces(const int pair[2], tn6820fp_preview *const previews[8])
{
    tn6820fp_panelSettings settings = tn6820fp_panelSettings::initial(10);
    const tn6820fp_waveform shapes[8] = {WaveSine,     WaveSquare, WaveSaw,  WaveTriangle,
                                         WaveTriangle, WaveSquare, WaveNone, WaveSine};
    for (int n = 0; n < 8; ++n) {
        settings.channels[std::size_t(n)].waveform = shapes[n];
        settings.channels[std::size_t(n)].amplitude = 2 + n;
        settings.channels[std::size_t(n)].offset = n == 4 ? 6 : 0;
    }
    settings.channels[1].duty = 25;
    settings.channels[3].symmetry = 90;
    settings.channels[7].multiple = 3;
    tn6820fp_unitTables tables;
    tn6820fp_plan plan;
    QImage image = canvasFor(previews[0]);
    std::vector<double> recompute, repaint;
    for (int i = 0; i < kChanges; ++i) {
        settings.frequency = pair[i % 2];
        QElapsedTimer t;
        t.start();
        // As the page makes it: in the plan it holds.
        tn6820fp_replan(plan, settings, &tables);
        for (int n = 0; n < 8; ++n) {
            previews[n]->setDimmed(!settings.channels[std::size_t(n)].selected);
            previews[n]->setPhase(plan.phases[std::size_t(n)]);
            previews[n]->setShape(plan.shapes[std::size_t(n)], false);
            previews[n]->setTrace(plan.cycles[std::size_t(n)].data(), plan.rate.segLen,
                                  plan.period);
        }
        const qint64 computed = t.nsecsElapsed();
        paintAll(previews, image);
        recompute.push_back(computed / 1e3);
        repaint.push_back((t.nsecsElapsed() - computed) / 1e3);
    }
    return {median(recompute), median(repaint)};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tn6820fp_initResources();

    answer(QStringLiteral("Run In Demo Mode"));
    tn6820_fc card;
    tn6820fp_App panel(&card);
    panel.show();
    // A tab's page takes its size when first shown.
    auto *channelTabs = panel.findChild<QTabWidget *>(QStringLiteral("channelTabs"));
    for (int n = 7; n >= 0; --n) {
        channelTabs->setCurrentIndex(n);
        QApplication::processEvents();
    }
    tn6820fp_preview *inPanel[8];
    for (int n = 1; n <= 8; ++n)
        inPanel[n - 1] = panel.findChild<tn6820fp_preview *>(QStringLiteral("preview%1").arg(n));
    const QSize size = inPanel[0]->size();

    tn6820fp_preview own[8];
    tn6820fp_preview *previews[8];
    for (int n = 0; n < 8; ++n) {
        own[n].setRange(-10, 10);
        own[n].resize(size);
        previews[n] = &own[n];
    }
    // --profile: only the dearest case, for a profiler (callgrind counts
    // instructions, whatever else the machine does).
    if (app.arguments().contains(QStringLiteral("--profile"))) {
        const Figures f = pieces(kPairs[4], previews);
        std::printf("8000/7692 samples: recompute %.1f us, repaint %.1f us\n", f.recompute,
                    f.repaint);
        return 0;
    }
    std::printf("recompute and repaint all eight previews after one change, %dx%d each, median "
                "of %d changes\n",
                size.width(), size.height(), kChanges);
    // This machine's speed at the moment, for reading the figures: shared
    // machines vary by a factor of two from one minute to the next.
    double reference = 0;
    {
        std::vector<double> sines(8192);
        std::vector<double> us;
        for (int i = 0; i < kChanges; ++i) {
            QElapsedTimer t;
            t.start();
            for (int j = 0; j < 8192; ++j)
                sines[std::size_t(j)] = std::sin((j * 6.2831853) / (8192 - i % 2));
            us.push_back(t.nsecsElapsed() / 1e3);
        }
        reference = median(us);
        std::printf("reference: 8192 std::sin take %.1f us here now\n", reference);
    }
    {
        const QString text = QStringLiteral("sin(2*pi*x) + 0.3*sin(6*pi*x + pi/4)");
        const auto formula = tn6820fp_formula::parse(text, nullptr);
        std::vector<double> values(8192);
        std::vector<double> us;
        for (int i = 0; i < kChanges; ++i) {
            QElapsedTimer t;
            t.start();
            formula->evaluate(8192 - i % 2, 1, 1000.0, values.data());
            us.push_back(t.nsecsElapsed() / 1e3);
        }
        std::printf("the formula %s at 8192 samples: %.1f us, %.1f references (target < 2000 "
                    "us)\n",
                    qPrintable(text), median(us), median(us) / reference);
    }
    std::printf("the plan and the eight previews, the frequency changed back and forth:\n");
    std::printf("  %13s %14s %12s %12s %12s\n", "frequencies", "segLen", "recompute us",
                "repaint us", "total us");
    double at512 = 0;
    double atMost = 0;
    for (const auto &pair : kPairs) {
        const Figures f = pieces(pair, previews);
        const double total = f.recompute + f.repaint;
        const int a = tn6820fp_chooseRate(pair[0], 1).segLen;
        const int b = tn6820fp_chooseRate(pair[1], 1).segLen;
        std::printf("  %6d/%-6d %6d/%-7d %12.1f %12.1f %12.1f\n", pair[0], pair[1], a, b,
                    f.recompute, f.repaint, total);
        if (a == 512)
            at512 = total;
        atMost = total;
    }
    std::printf("  8000 samples: %.1f us = %.1f references (target < 13; sines, squares of "
                "50%% and 25%%, saws, triangles of 50%% and 90%%, a sine at x3); %.2f times the "
                "time at 512 (target: the same order)\n",
                atMost, atMost / reference, atMost / at512);

    // Through the panel: one channel selected, all eight recomputed at each change.
    auto *frequency = panel.findChild<QSpinBox *>(QStringLiteral("freqBox"));
    QImage image = canvasFor(inPanel[0]);
    std::printf("the panel in demo mode, the frequency changed back and forth (all eight "
                "channels and the real-output line):\n");
    std::printf("  %13s %14s %12s %12s %12s\n", "frequencies", "segLen", "change us", "repaint us",
                "total us");
    for (const auto &pair : kPairs) {
        std::vector<double> change, repaint;
        for (int i = 0; i < kChanges; ++i) {
            QElapsedTimer t;
            t.start();
            frequency->setValue(pair[i % 2]);
            const qint64 changed = t.nsecsElapsed();
            paintAll(inPanel, image);
            change.push_back(changed / 1e3);
            repaint.push_back((t.nsecsElapsed() - changed) / 1e3);
        }
        const int a = tn6820fp_chooseRate(pair[0], 1).segLen;
        const int b = tn6820fp_chooseRate(pair[1], 1).segLen;
        std::printf("  %6d/%-6d %6d/%-7d %12.1f %12.1f %12.1f\n", pair[0], pair[1], a, b,
                    median(change), median(repaint), median(change) + median(repaint));
    }

    // One channel's amplitude: only its part of the plan is made again.
    auto *amplitude =
        panel.findChild<tn6820fp_chSet *>(QStringLiteral("channelSettings3"))->amplitude;
    std::printf("the panel in demo mode, channel 3's amplitude changed back and forth (its cycle, "
                "its preview and the real-output line; target < 250 us to recompute):\n");
    std::printf("  %6s %12s %12s %12s\n", "segLen", "change us", "repaint us", "total us");
    for (const auto &pair : kPairs) {
        frequency->setValue(pair[0]);
        std::vector<double> change, repaint;
        for (int i = 0; i < kChanges; ++i) {
            QElapsedTimer t;
            t.start();
            amplitude->setValue(i % 2 ? 7.5 : 2.5);
            const qint64 changed = t.nsecsElapsed();
            inPanel[2]->render(&image);
            change.push_back(changed / 1e3);
            repaint.push_back((t.nsecsElapsed() - changed) / 1e3);
        }
        const double total = median(change) + median(repaint);
        std::printf("  %6d %12.1f %12.1f %12.1f = %.1f references (target < 3)\n",
                    tn6820fp_chooseRate(pair[0], 1).segLen, median(change), median(repaint), total,
                    total / reference);
    }
    return 0;
}
