#ifndef TN6820FP_SETTINGS_H
#define TN6820FP_SETTINGS_H

#include <QString>
#include <array>
#include <memory>
#include <vector>

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
    // of the card's highest output voltage.
    static tn6820fp_panelSettings initial(double highLimit);

    bool operator==(const tn6820fp_panelSettings &other) const;
    bool operator!=(const tn6820fp_panelSettings &other) const { return !(*this == other); }
};

#endif
