#ifndef TN6820FP_PLAN_H
#define TN6820FP_PLAN_H

#include <QString>
#include <array>
#include <vector>

#include "tn6820fp_settings.h"

// A channel's phase as the card applies it, in whole samples.
struct tn6820fp_phasePlan
{
    double asked = 0;     // degrees
    int steps = 0;        // whole samples the cycle is turned by
    double degrees = 0;   // the phase those samples give
    int tenths = 0;       // degrees as shown, in tenths of a degree
    bool differs = false; // what is shown differs from the phase asked for
    // "120.1°": one decimal, as the line and the preview show it.
    QString text() const;
    // Worth showing: the cycle starts anywhere but at its beginning (as
    // shown), or could not start where it was asked to.
    bool shown() const { return tenths != 0 || differs; }
};

// A square's duty cycle or a triangle's symmetry as the card plays it: the
// card plays whole samples, so the edge (the peak) falls on a sample.
struct tn6820fp_sharePlan
{
    double asked = 50;    // percent
    double applied = 50;  // percent, over the channel's whole segment
    bool differs = false; // what is shown differs from what was asked
    bool asks = false;    // the channel's shape has it, at other than its start value
    // "24.2%": one decimal, as the line and the preview show it.
    QString text() const;
};

// What a channel plays beyond its samples: its multiple and real frequency,
// its duty or symmetry, and where its formula gives no number.
struct tn6820fp_shapePlan
{
    int multiple = 1;
    double frequency = 0;       // the channel's real frequency, hertz
    double samplesPerCycle = 0; // the segment's samples over the multiple
    // Fewer than tn6820fp_fewSamples samples a cycle: the shape is hardly
    // played as it is written.
    bool fewSamples = false;
    tn6820fp_sharePlan duty;
    tn6820fp_sharePlan symmetry;
    // "gives NaN at x = 0.5 (sample 4 of 8)", or empty; faultX the x.
    QString fault;
    double faultX = -1;
};

constexpr int tn6820fp_fewSamples = 8;

// Everything a start sends, and everything the panel shows of it beforehand,
// made from the settings alone: the previews, the line under the common
// settings and the card are fed by this one computation.
struct tn6820fp_plan
{
    int frequency = 0; // asked for, after clamping into the card's range
    int mode = ModeSingleCycle;
    int filter = 2;
    int selectedCount = 0; // without one, the rate is that of one channel
    unsigned channelMask = 0;
    tn6820fp_rateChoice rate{};
    int rateCode = 0;         // the driver's code of the update rate
    int cyclesPerChannel = 1; // 1 in single-cycle mode, rate.nIter when continuous
    double realFrequency = 0; // hertz
    double period = 0;        // seconds
    std::array<tn6820fp_phasePlan, tn6820fp_channelCount> phases;
    std::array<tn6820fp_shapePlan, tn6820fp_channelCount> shapes;
    // One cycle of every channel, selected or not: rate.segLen samples.
    std::array<std::vector<double>, tn6820fp_channelCount> cycles;
    // The buffer start() sends: the selected channels in ascending order,
    // each its cycle cyclesPerChannel times.
    std::vector<double> samples;

    // The real frequency differs, at two decimals, from the one asked for.
    bool frequencyDiffers() const;
};

// The plan of the settings. Unit tables, when given, spare computing a unit
// shape that an earlier plan computed already; the plan is the same to the bit.
tn6820fp_plan tn6820fp_planOf(const tn6820fp_panelSettings &settings,
                              tn6820fp_unitTables *tables = nullptr);
// The same, made again in a plan there is: its buffers are used again, so
// that a change of the frequency allocates and clears nothing.
void tn6820fp_replan(tn6820fp_plan &plan, const tn6820fp_panelSettings &settings,
                     tn6820fp_unitTables *tables = nullptr);

// The plan after only channel n's (0-based) waveform, amplitude, offset, phase,
// shape, duty, symmetry, multiple or formula changed: its cycle, its phase and its part of the
// samples are computed again, nothing else. The same as tn6820fp_planOf(settings).
void tn6820fp_replanChannel(tn6820fp_plan &plan, const tn6820fp_panelSettings &settings, int n,
                            tn6820fp_unitTables *tables = nullptr);

#endif
