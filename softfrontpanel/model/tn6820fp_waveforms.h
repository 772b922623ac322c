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
    WaveArbitrary = 5, // one cycle of a shape read from a file
    WaveFormula = 6    // one cycle of a shape written as a formula of x
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
    // 1, offset 0); null for a shape that comes from a file or a formula.
    void (*unitCycle)(int segLen, double *cycle);
};

// In the order of the channel's buttons.
constexpr int tn6820fp_waveformCount = 6;
extern const tn6820fp_waveformInfo tn6820fp_waveforms[tn6820fp_waveformCount];

// The entry of a kind; null for WaveNone and for what is no kind.
const tn6820fp_waveformInfo *tn6820fp_waveformOf(int kind);
// The entry of a name ("sine"); null when none has it.
const tn6820fp_waveformInfo *tn6820fp_waveformNamed(const char *name);

// A square's duty cycle and a triangle's symmetry, in tenths of a percent:
// the share of the cycle spent high, and spent rising. At their start value
// the shapes are the unit shapes above, to the bit.
constexpr int tn6820fp_defaultShare = 500;
constexpr int tn6820fp_maxShare = 1000;

// The samples a square of segLen spends high: the nearest whole number to the
// duty's share, a tie going to the shorter high part (as the unit square's
// shorter first half when segLen is odd).
int tn6820fp_squareHigh(int segLen, int dutyTenths);
void tn6820fp_squareCycle(int segLen, int dutyTenths, double *cycle);

// Twice the position of a triangle's peak, in samples: it rises from -1 at
// sample 0 to +1 at the peak and falls to -1 at sample segLen - 1, the peak
// on a whole or a half sample (between two samples, as the unit triangle's
// of even length), the nearest to the symmetry's share, a tie going lower.
int tn6820fp_trianglePeak2(int segLen, int symmetryTenths);
void tn6820fp_triangleCycle(int segLen, int symmetryTenths, double *cycle);

#endif
