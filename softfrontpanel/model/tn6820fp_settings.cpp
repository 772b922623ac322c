#include "tn6820fp_settings.h"

const char *const tn6820fp_filterNames[tn6820fp_filterCount] = {"200Hz", "2kHz", "20kHz", "Bypass"};

bool tn6820fp_channelSettings::operator==(const tn6820fp_channelSettings &other) const
{
    const bool sameShape =
        shape == other.shape || (shape && other.shape && shape->values == other.shape->values &&
                                 shape->file == other.shape->file);
    const bool sameFormula = formula == other.formula ||
                             (formula && other.formula && formula->text() == other.formula->text());
    return selected == other.selected && waveform == other.waveform &&
           amplitude == other.amplitude && offset == other.offset && phase == other.phase &&
           sameShape && duty == other.duty && symmetry == other.symmetry &&
           multiple == other.multiple && sameFormula;
}

bool tn6820fp_panelSettings::operator==(const tn6820fp_panelSettings &other) const
{
    return frequency == other.frequency && filter == other.filter && mode == other.mode &&
           channels == other.channels;
}

tn6820fp_panelSettings tn6820fp_panelSettings::initial(double highLimit)
{
    tn6820fp_panelSettings s;
    // One formula for all: it is never changed, only replaced.
    static const std::shared_ptr<const tn6820fp_formula> sine =
        tn6820fp_formula::parse(QLatin1String(tn6820fp_initialFormula), nullptr);
    for (tn6820fp_channelSettings &c : s.channels) {
        c.amplitude = highLimit;
        c.formula = sine;
    }
    s.channels[0].selected = true;
    return s;
}
