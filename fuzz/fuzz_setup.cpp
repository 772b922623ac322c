// Reading a setup from arbitrary bytes: no crash; a refused setup leaves the
// settings as they were; an accepted one keeps every value within the
// panel's ranges, and reads back the same when written out again.
#include <cstdint>
#include <cstdlib>

#include "tn6820fp_setup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const tn6820fp_panelSettings initial = tn6820fp_panelSettings::initial(10);
    const tn6820fp_setupRead read = tn6820fp_readSetup(
        QByteArray(reinterpret_cast<const char *>(data), int(size)), initial, -10, 10);
    if (!read.error.isEmpty()) {
        if (!(read.settings == initial))
            std::abort();
        return 0;
    }
    const tn6820fp_panelSettings &s = read.settings;
    if (s.frequency < tn6820fp_minFrequency || s.frequency > tn6820fp_maxFrequency ||
        s.filter < 0 || s.filter >= tn6820fp_filterCount || (s.mode != 0 && s.mode != 1))
        std::abort();
    for (const tn6820fp_channelSettings &c : s.channels) {
        if (!(c.amplitude >= 0 && c.amplitude <= 10) || !(c.offset >= -10 && c.offset <= 10) ||
            !(c.phase >= 0 && c.phase <= 359.9) || (c.waveform == WaveArbitrary && !c.shape) ||
            (c.shape && c.shape->values.size() < 2) || !(c.duty >= 0 && c.duty <= 100) ||
            !(c.symmetry >= 0 && c.symmetry <= 100) || c.multiple < 1 ||
            c.multiple > tn6820fp_maxMultiple || !c.formula)
            std::abort();
    }
    const tn6820fp_setupRead again = tn6820fp_readSetup(tn6820fp_setupJson(s), initial, -10, 10);
    if (!again.error.isEmpty() || !(again.settings == s))
        std::abort();
    return 0;
}
