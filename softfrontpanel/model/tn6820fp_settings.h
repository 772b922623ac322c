#ifndef TN6820FP_SETTINGS_H
#define TN6820FP_SETTINGS_H

#include <QString>
#include <array>
#include <memory>
#include <vector>

#include "tn6820fp_formula.h"
#include "tn6820fp_synthesis.h"

// What the Waveform Generation page is set to, as a plain value: the panel's
// widgets write it, and the generation plan is made from it alone.

enum tn6820fp_mode
{
    ModeSingleCycle = 0, // the generateMode box's index
    ModeContinuous = 1
};

// The driver's filter codes, in the filter box's order.
constexpr int tn6820fp_filterCount = 4;
extern const char *const tn6820fp_filterNames[tn6820fp_filterCount]; // "200Hz" ...

// One cycle of an arbitrary waveform as read from its file and normalised,
// before any resampling. Shared and never changed once made: settings that
// are copied share it.
struct tn6820fp_arbitraryShape
{
    std::vector<double> values;
    QString file; // the file's name, without its folder
};

constexpr int tn6820fp_maxMultiple = 1000;

struct tn6820fp_channelSettings
{
    bool selected = false;
    tn6820fp_waveform waveform = WaveSine;
    double amplitude = 10.0; // volts
    double offset = 0.0;     // volts
    double phase = 0.0;      // degrees, 0 to 359.9
    // The shape the Arbitrary button plays; kept while another waveform is
    // chosen. Null until a file has been read.
    std::shared_ptr<const tn6820fp_arbitraryShape> shape;
    double duty = 50.0;     // percent of a square's cycle spent high, 0 to 100
    double symmetry = 50.0; // percent of a triangle's cycle spent rising, 0 to 100
    // The whole cycles of its shape the channel plays in the segment, 1 to
    // tn6820fp_maxMultiple: it runs at that multiple of the real frequency.
    int multiple = 1;
    // The formula the Formula button plays (the last valid one typed); kept
    // while another waveform is chosen. Null only in settings not made by
    // initial(), where a formula channel holds its offset.
    std::shared_ptr<const tn6820fp_formula> formula;

    bool operator==(const tn6820fp_channelSettings &other) const;
    bool operator!=(const tn6820fp_channelSettings &other) const { return !(*this == other); }
};

struct tn6820fp_panelSettings
{
    int frequency = 1000; // hertz, tn6820fp_minFrequency to tn6820fp_maxFrequency
    int filter = 2;       // "20kHz"
    int mode = ModeSingleCycle;
    std::array<tn6820fp_channelSettings, tn6820fp_channelCount> channels;

    // What a new panel starts with: channel 1 selected, every channel a sine
    // of the card's highest output voltage, a square of 50% duty, a triangle
    // of 50% symmetry, at multiple 1, and the formula sin(2*pi*x).
    static tn6820fp_panelSettings initial(double highLimit);

    bool operator==(const tn6820fp_panelSettings &other) const;
    bool operator!=(const tn6820fp_panelSettings &other) const { return !(*this == other); }
};

#endif
