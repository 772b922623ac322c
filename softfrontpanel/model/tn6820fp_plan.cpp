#include "tn6820fp_plan.h"

#include <algorithm>
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

tn6820fp_channelWave waveOf(const tn6820fp_channelSettings &c, int phaseSteps)
{
    tn6820fp_channelWave w;
    w.waveform = c.waveform;
    w.amplitude = c.amplitude;
    w.offset = c.offset;
    w.phaseSteps = phaseSteps;
    w.shape = c.waveform == WaveArbitrary && c.shape ? &c.shape->values : nullptr;
    return w;
}

void computeChannel(tn6820fp_plan &plan, const tn6820fp_channelSettings &c, int n,
                    tn6820fp_unitTables *tables)
{
    const int segLen = plan.rate.segLen;
    std::vector<double> &cycle = plan.cycles[std::size_t(n)];
    cycle.resize(std::size_t(segLen));
    const tn6820fp_phasePlan &phase = plan.phases[std::size_t(n)] = phaseOf(c.phase, segLen);
    tn6820fp_synthesizeCycle(waveOf(c, phase.steps), segLen, cycle.data(),
                             tables ? tables->of(c.waveform, segLen) : nullptr);
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
    return plan;
}

void tn6820fp_replanChannel(tn6820fp_plan &plan, const tn6820fp_panelSettings &settings, int n,
                            tn6820fp_unitTables *tables)
{
    computeChannel(plan, settings.channels[std::size_t(n)], n, tables);
    if ((plan.channelMask >> n) & 1u)
        placeBlock(plan, n);
}
