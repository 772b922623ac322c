#include "tn6820fp_synthesis.h"

#include <algorithm>
#include <cmath>

#include "tn6820fp_formula.h"

const double tn6820fp_updateRates[tn6820fp_rateCount] = {200000, 100000, 50000, 20000, 10000, 5000,
                                                         2000,   1000,   500,   200,   100};
const int tn6820fp_updateCodes[tn6820fp_rateCount] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

tn6820fp_rateChoice tn6820fp_chooseRate(int frequency, int selectedCount)
{
    const int f = std::clamp(frequency, tn6820fp_minFrequency, tn6820fp_maxFrequency);
    tn6820fp_rateChoice c{};
    c.maxLen = tn6820fp_memorySamples / std::clamp(selectedCount, 1, tn6820fp_channelCount);
    for (c.rateIndex = 0; c.rateIndex < tn6820fp_rateCount; ++c.rateIndex) {
        c.segLen = static_cast<int>(tn6820fp_updateRates[c.rateIndex] / f);
        if (c.segLen <= c.maxLen)
            break;
    }
    // In range the slowest rate always fits (at most 100 samples a cycle).
    c.rateIndex = std::min(c.rateIndex, tn6820fp_rateCount - 1);
    c.nIter = c.maxLen / c.segLen;
    return c;
}

int tn6820fp_cyclesPerChannel(const tn6820fp_rateChoice &rate, int mode)
{
    return mode == 0 ? 1 : rate.nIter;
}

double tn6820fp_realFrequency(const tn6820fp_rateChoice &rate)
{
    return tn6820fp_updateRates[rate.rateIndex] / rate.segLen;
}

double tn6820fp_realPeriod(const tn6820fp_rateChoice &rate)
{
    return rate.segLen / tn6820fp_updateRates[rate.rateIndex];
}

void tn6820fp_synthesizeSegment(int waveform, double amplitude, double offset, int segLen,
                                double *s, const double *unitTable)
{
    const tn6820fp_waveformInfo *w = tn6820fp_waveformOf(waveform);
    if (!w || !w->unitCycle) {
        std::fill(s, s + segLen, offset);
        return;
    }
    if (!unitTable) {
        w->unitCycle(segLen, s);
        unitTable = s;
    }
    const double A = amplitude;
    const double O = offset;
    for (int j = 0; j < segLen; ++j)
        s[j] = unitTable[j] * A + O;
}

int tn6820fp_phaseSteps(double degrees, int segLen)
{
    if (segLen < 1 || !std::isfinite(degrees))
        return 0;
    const long long steps = std::llround(degrees / 360.0 * segLen);
    return int(((steps % segLen) + segLen) % segLen);
}

double tn6820fp_appliedPhase(int steps, int segLen)
{
    return segLen > 0 ? steps * 360.0 / segLen : 0.0;
}

void tn6820fp_resampleCycle(const double *shape, int count, int segLen, double *cycle)
{
    for (int j = 0; j < segLen; ++j) {
        // Position j x count / segLen in whole values and a remainder, exactly.
        const long long scaled = (long long)(j)*count;
        const int i = int(scaled / segLen);
        const long long rest = scaled % segLen;
        if (rest == 0) {
            cycle[j] = shape[i];
        } else {
            const double a = shape[i];
            const double b = shape[(i + 1) % count];
            cycle[j] = a + (b - a) * (double(rest) / segLen);
        }
    }
}

int tn6820fp_synthesizeCycle(const tn6820fp_channelWave &ch, int segLen, double *cycle,
                             const double *unitTable)
{
    const double A = ch.amplitude;
    const double O = ch.offset;
    int fault = -1;
    // The shapes made here are unit shapes, scaled below as the built-in
    // ones are; the built-in ones come scaled.
    bool scale = true;
    if (ch.waveform == WaveArbitrary && ch.shape && ch.shape->size() >= 2) {
        tn6820fp_resampleCycle(ch.shape->data(), int(ch.shape->size()), segLen, cycle);
    } else if (ch.waveform == WaveFormula && ch.formula) {
        fault = ch.formula->evaluate(segLen, ch.multiple, ch.frequency, cycle);
        // What is no number holds the offset: nothing undefined reaches the card.
        for (int j = 0; j < segLen; ++j)
            cycle[j] = std::isfinite(cycle[j]) ? cycle[j] : 0.0;
    } else if (ch.waveform == WaveSquare && ch.dutyTenths != tn6820fp_defaultShare) {
        tn6820fp_squareCycle(segLen, ch.dutyTenths, cycle);
    } else if (ch.waveform == WaveTriangle && ch.symmetryTenths != tn6820fp_defaultShare) {
        tn6820fp_triangleCycle(segLen, ch.symmetryTenths, cycle);
    } else {
        // Without a shape to play, an arbitrary or formula channel holds its offset.
        tn6820fp_synthesizeSegment(ch.waveform, A, O, segLen, cycle, unitTable);
        scale = false;
    }
    if (scale) {
        for (int j = 0; j < segLen; ++j)
            cycle[j] = cycle[j] * A + O;
    }
    const long long steps = ch.phaseSteps;
    const long long multiple = std::max(1, ch.multiple);
    if (multiple == 1) {
        if (steps > 0 && steps < segLen)
            std::rotate(cycle, cycle + steps, cycle + segLen);
        return fault;
    }
    const std::vector<double> shape(cycle, cycle + segLen);
    long long at = steps % segLen;
    const long long step = multiple % segLen;
    for (int j = 0; j < segLen; ++j) {
        cycle[j] = shape[std::size_t(at)];
        at += step;
        if (at >= segLen)
            at -= segLen;
    }
    return fault;
}

const double *tn6820fp_unitTables::of(int waveform, int segLen)
{
    const tn6820fp_waveformInfo *w = tn6820fp_waveformOf(waveform);
    if (!w || !w->unitCycle || segLen < 1)
        return nullptr;
    Table *kept = m_tables[w - tn6820fp_waveforms];
    Table *t = kept;
    for (int i = 0; i < kKept; ++i) {
        if (kept[i].segLen == segLen) {
            t = &kept[i];
            break;
        }
        if (kept[i].used < t->used)
            t = &kept[i];
    }
    if (t->segLen != segLen) {
        t->values.resize(std::size_t(segLen));
        w->unitCycle(segLen, t->values.data());
        t->segLen = segLen;
    }
    t->used = ++m_asked;
    return t->values.data();
}
