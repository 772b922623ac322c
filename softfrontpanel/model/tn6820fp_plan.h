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

// The plan after only channel n's (0-based) waveform, amplitude, offset, phase
// or shape changed: its cycle, its phase and its part of the samples are
// computed again, nothing else. The same as tn6820fp_planOf(settings).
void tn6820fp_replanChannel(tn6820fp_plan &plan, const tn6820fp_panelSettings &settings, int n,
                            tn6820fp_unitTables *tables = nullptr);

#endif
