#include "tn6820fp_plan.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Degrees at one decimal, as the panel writes them.
QString tenthsText(double degrees)
{
    return QString::number(degrees, 'f', 1);
}

tn6820fp_phasePlan phaseOf(double asked, int segLen)
{
    tn6820fp_phasePlan p;
    p.asked = asked;
    p.steps = tn6820fp_phaseSteps(asked, segLen);
    p.degrees = tn6820fp_appliedPhase(p.steps, segLen);
    const QString shown = tenthsText(p.degrees);
    p.tenths = QString(shown).remove(QLatin1Char('.')).toInt();
    p.differs = shown != tenthsText(asked);
    return p;
}

int tenthsOf(double percent)
{
    return int(std::lround(std::clamp(percent, 0.0, 100.0) * 10));
}

tn6820fp_channelWave waveOf(const tn6820fp_channelSettings &c, int phaseSteps, double frequency)
{
    tn6820fp_channelWave w;
    w.waveform = c.waveform;
    w.amplitude = c.amplitude;
    w.offset = c.offset;
    w.phaseSteps = phaseSteps;
    w.shape = c.waveform == WaveArbitrary && c.shape ? &c.shape->values : nullptr;
    w.dutyTenths = tenthsOf(c.duty);
    w.symmetryTenths = tenthsOf(c.symmetry);
    w.multiple = std::clamp(c.multiple, 1, tn6820fp_maxMultiple);
    w.formula = c.waveform == WaveFormula ? c.formula.get() : nullptr;
    w.frequency = frequency;
    return w;
}

tn6820fp_sharePlan shareOf(double asked, double applied, bool asks)
{
    tn6820fp_sharePlan p;
    p.asked = asked;
    p.applied = applied;
    p.asks = asks;
    p.differs = QString::number(applied, 'f', 1) != QString::number(asked, 'f', 1);
    return p;
}

// The share of the segment's samples that are high: each cycle's edge falls
// on a whole sample, and cycles of a multiple that does not divide the
// segment differ by a sample.
double dutyApplied(int segLen, int dutyTenths, int multiple, int steps)
{
    const int high = tn6820fp_squareHigh(segLen, dutyTenths);
    if (multiple == 1)
        return 100.0 * high / segLen;
    int count = 0;
    long long at = steps;
    for (int j = 0; j < segLen; ++j, at = (at + multiple) % segLen)
        count += at < high;
    return 100.0 * count / segLen;
}

tn6820fp_shapePlan shapeOf(const tn6820fp_channelSettings &c, const tn6820fp_plan &plan, int steps)
{
    const int segLen = plan.rate.segLen;
    tn6820fp_shapePlan p;
    p.multiple = std::clamp(c.multiple, 1, tn6820fp_maxMultiple);
    p.frequency = plan.realFrequency * p.multiple;
    p.samplesPerCycle = double(segLen) / p.multiple;
    p.fewSamples = p.samplesPerCycle < tn6820fp_fewSamples;
    const int duty = tenthsOf(c.duty);
    const int symmetry = tenthsOf(c.symmetry);
    const bool square = c.waveform == WaveSquare;
    const bool triangle = c.waveform == WaveTriangle;
    p.duty = shareOf(c.duty, square ? dutyApplied(segLen, duty, p.multiple, steps) : c.duty,
                     square && duty != tn6820fp_defaultShare);
    p.symmetry = shareOf(c.symmetry,
                         triangle ? 50.0 * tn6820fp_trianglePeak2(segLen, symmetry) / (segLen - 1)
                                  : c.symmetry,
                         triangle && symmetry != tn6820fp_defaultShare);
    return p;
}

void computeChannel(tn6820fp_plan &plan, const tn6820fp_channelSettings &c, int n,
                    tn6820fp_unitTables *tables)
{
    const int segLen = plan.rate.segLen;
    std::vector<double> &cycle = plan.cycles[std::size_t(n)];
    cycle.resize(std::size_t(segLen));
    const tn6820fp_phasePlan &phase = plan.phases[std::size_t(n)] = phaseOf(c.phase, segLen);
    tn6820fp_shapePlan &shape = plan.shapes[std::size_t(n)] = shapeOf(c, plan, phase.steps);
    const int fault =
        tn6820fp_synthesizeCycle(waveOf(c, phase.steps, shape.frequency), segLen, cycle.data(),
                                 tables ? tables->of(c.waveform, segLen) : nullptr);
    if (fault >= 0 && c.formula) {
        // The value itself, for the message: evaluated once more at that sample.
        std::vector<double> values(static_cast<std::size_t>(segLen));
        c.formula->evaluate(segLen, shape.multiple, shape.frequency, values.data());
        shape.fault = tn6820fp_notFiniteText(fault, segLen, values[std::size_t(fault)]);
        shape.faultX = double(fault) / segLen;
    }
}

// Writes channel n's block of the samples from its cycle.
void placeBlock(tn6820fp_plan &plan, int n)
{
    int before = 0;
    for (int k = 0; k < n; ++k)
        before += (plan.channelMask >> k) & 1u;
    const std::size_t segLen = std::size_t(plan.rate.segLen);
    const std::size_t block = std::size_t(plan.cyclesPerChannel) * segLen;
    double *to = plan.samples.data() + std::size_t(before) * block;
    const double *cycle = plan.cycles[std::size_t(n)].data();
    for (int r = 0; r < plan.cyclesPerChannel; ++r)
        std::memcpy(to + std::size_t(r) * segLen, cycle, sizeof(double) * segLen);
}

} // namespace

QString tn6820fp_sharePlan::text() const
{
    return QString::number(applied, 'f', 1) + QLatin1Char('%');
}

QString tn6820fp_phasePlan::text() const
{
    return tenthsText(degrees) + QStringLiteral("\u00b0");
}

bool tn6820fp_plan::frequencyDiffers() const
{
    return QString::number(realFrequency, 'f', 2) != QString::number(double(frequency), 'f', 2);
}

tn6820fp_plan tn6820fp_planOf(const tn6820fp_panelSettings &settings, tn6820fp_unitTables *tables)
{
    tn6820fp_plan plan;
    tn6820fp_replan(plan, settings, tables);
    return plan;
}

void tn6820fp_replan(tn6820fp_plan &plan, const tn6820fp_panelSettings &settings,
                     tn6820fp_unitTables *tables)
{
    plan.selectedCount = 0;
    plan.channelMask = 0;
    plan.frequency = std::clamp(settings.frequency, tn6820fp_minFrequency, tn6820fp_maxFrequency);
    plan.mode = settings.mode;
    plan.filter = settings.filter;
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        if (settings.channels[std::size_t(n)].selected) {
            ++plan.selectedCount;
            plan.channelMask |= 1u << n;
        }
    }
    plan.rate = tn6820fp_chooseRate(plan.frequency, plan.selectedCount);
    plan.rateCode = tn6820fp_updateCodes[plan.rate.rateIndex];
    plan.cyclesPerChannel = tn6820fp_cyclesPerChannel(plan.rate, plan.mode);
    plan.realFrequency = tn6820fp_realFrequency(plan.rate);
    plan.period = tn6820fp_realPeriod(plan.rate);
    plan.samples.resize(std::size_t(plan.selectedCount) * std::size_t(plan.cyclesPerChannel) *
                        std::size_t(plan.rate.segLen));
    for (int n = 0; n < tn6820fp_channelCount; ++n) {
        computeChannel(plan, settings.channels[std::size_t(n)], n, tables);
        if ((plan.channelMask >> n) & 1u)
            placeBlock(plan, n);
    }
}

void tn6820fp_replanChannel(tn6820fp_plan &plan, const tn6820fp_panelSettings &settings, int n,
                            tn6820fp_unitTables *tables)
{
    computeChannel(plan, settings.channels[std::size_t(n)], n, tables);
    if ((plan.channelMask >> n) & 1u)
        placeBlock(plan, n);
}
