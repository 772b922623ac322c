#ifndef TN6820FP_SYNTHESIS_H
#define TN6820FP_SYNTHESIS_H

#include <vector>

#include "tn6820fp_waveforms.h"

class tn6820fp_formula;

// Waveform synthesis and the choice of update rate for the 6820: plain
// functions of their inputs, from which the generation plan is made.

constexpr int tn6820fp_channelCount = 8;
constexpr int tn6820fp_memorySamples = 8192;
// The frequencies a user may ask for, in whole hertz.
constexpr int tn6820fp_minFrequency = 1;
constexpr int tn6820fp_maxFrequency = 50000;
constexpr int tn6820fp_rateCount = 11;
// Update rates in samples per second, fastest first, and the driver's code of each.
extern const double tn6820fp_updateRates[tn6820fp_rateCount];
extern const int tn6820fp_updateCodes[tn6820fp_rateCount];

struct tn6820fp_rateChoice
{
    int maxLen;    // samples per channel that fit into the memory
    int rateIndex; // index into tn6820fp_updateRates and tn6820fp_updateCodes
    int segLen;    // samples in one cycle
    int nIter;     // whole cycles per channel that fit into its share
};

// The fastest update rate whose cycle of the given frequency fits into each
// selected channel's share (1..8 channels) of the memory. Inputs outside
// those ranges are clamped into them.
tn6820fp_rateChoice tn6820fp_chooseRate(int frequency, int selectedCount);

// Whole cycles per channel that go to the card: one in single-cycle mode
// (mode 0), as many as fit into the memory share when continuous (mode 1).
int tn6820fp_cyclesPerChannel(const tn6820fp_rateChoice &rate, int mode);

// The frequency the card really outputs: update rate / samples per cycle.
double tn6820fp_realFrequency(const tn6820fp_rateChoice &rate);
// The time one cycle really takes, in seconds: samples per cycle / update rate.
double tn6820fp_realPeriod(const tn6820fp_rateChoice &rate);

struct tn6820fp_channelWave
{
    int waveform = WaveNone;
    double amplitude = 0;
    double offset = 0;
    // The whole samples the cycle starts into the shape: tn6820fp_phaseSteps
    // of the channel's phase, computed once by the plan.
    int phaseSteps = 0;
    // The arbitrary shape, normalised to -1..1, of any length; null otherwise.
    const std::vector<double> *shape = nullptr;
    // A square's duty cycle and a triangle's symmetry, in tenths of a percent.
    int dutyTenths = tn6820fp_defaultShare;
    int symmetryTenths = tn6820fp_defaultShare;
    // The cycles of the shape that the segment holds: the channel plays at
    // that multiple of the segment's frequency.
    int multiple = 1;
    // The formula of a formula channel; null otherwise.
    const tn6820fp_formula *formula = nullptr;
    // The channel's real frequency in hertz, for a formula's f.
    double frequency = 0;
};

// The whole samples by which a phase in degrees moves a cycle of segLen
// samples: the nearest to phase / 360 x segLen, in 0 .. segLen - 1.
int tn6820fp_phaseSteps(double degrees, int segLen);

// The phase, in degrees, that a move by whole samples really gives.
double tn6820fp_appliedPhase(int steps, int segLen);

// One cycle of a shape of count (>= 2) values stretched or shrunk to segLen
// samples by linear interpolation, the cycle wrapping from the last value to
// the first; at count == segLen the values pass through unchanged.
void tn6820fp_resampleCycle(const double *shape, int count, int segLen, double *cycle);

// One segment of a channel as it goes to the card: its shape over segLen
// samples, scaled, then played multiple times over, started its phase steps
// into its own cycle. Sample j is the shape's sample (j x multiple + phase
// steps) mod segLen: at multiple 1 the segment turned by the phase steps,
// and at phase 0 and the start duty and symmetry tn6820fp_synthesizeSegment,
// to the bit. An arbitrary shape without at least two values, and a formula
// channel without a formula, hold the offset; so does every sample at which
// a formula gives no number. Returns the first shape sample (0 to segLen - 1)
// at which the formula gives no finite number, or -1.
int tn6820fp_synthesizeCycle(const tn6820fp_channelWave &channel, int segLen, double *cycle,
                             const double *unitTable = nullptr);

// One cycle of segLen (>= 2) samples of a built-in waveform: its unit shape
// times the amplitude plus the offset (a square is thus the offset plus or
// minus the amplitude). A channel without a built-in waveform holds its
// offset, so no undefined value reaches the card. A table of the unit shape
// for this waveform and segLen, when given, spares computing it; the samples
// are the same to the bit.
void tn6820fp_synthesizeSegment(int waveform, double amplitude, double offset, int segLen,
                                double *segment, const double *unitTable = nullptr);

// The unit shape of every built-in waveform, each kept for the last few
// segLen asked: channels that are drawn again and again at one frequency
// share them, and a frequency stepped back and forth finds them made.
class tn6820fp_unitTables
{
public:
    // Null for a waveform without a unit shape (none, arbitrary, formula).
    // Valid until the next call.
    const double *of(int waveform, int segLen);

private:
    static constexpr int kKept = 4;
    struct Table
    {
        int segLen = 0;
        unsigned used = 0; // when last asked for
        std::vector<double> values;
    };
    Table m_tables[tn6820fp_waveformCount][kKept];
    unsigned m_asked = 0;
};

#endif
