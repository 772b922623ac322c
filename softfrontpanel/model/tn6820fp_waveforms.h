#ifndef TN6820FP_WAVEFORMS_H
#define TN6820FP_WAVEFORMS_H

// The waveforms a channel can play, described once: the synthesis, the
// channel's buttons and their pictures, and the names setups use all go
// through this table, so that a new shape is one entry.

enum tn6820fp_waveform
{
    WaveNone = 0, // no shape chosen: the channel sends its offset
    WaveSine = 1,
    WaveSquare = 2,
    WaveSaw = 3,
    WaveTriangle = 4,
    WaveArbitrary = 5 // one cycle of a shape read from a file
};

struct tn6820fp_waveformInfo
{
    tn6820fp_waveform kind;
    const char *name;       // lower case, for files and command lines: "sine"
    const char *title;      // as the button's help names it: "Sine"
    const char *buttonName; // the button's object name: "sineButton"
    // The button's picture: XPM data, one-pixel black lines.
    const char *const *picture;
    // Fills one cycle of segLen (>= 2) samples of the unit shape (amplitude
    // 1, offset 0); null for a shape that comes from a file.
    void (*unitCycle)(int segLen, double *cycle);
};

// In the order of the channel's buttons.
constexpr int tn6820fp_waveformCount = 5;
extern const tn6820fp_waveformInfo tn6820fp_waveforms[tn6820fp_waveformCount];

// The entry of a kind; null for WaveNone and for what is no kind.
const tn6820fp_waveformInfo *tn6820fp_waveformOf(int kind);
// The entry of a name ("sine"); null when none has it.
const tn6820fp_waveformInfo *tn6820fp_waveformNamed(const char *name);

#endif
