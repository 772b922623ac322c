// The stand-ins' bench-file parser on arbitrary text: no crash, and a bench
// it accepts is consistent.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bench.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    orbsim::BenchData bench;
    std::string error;
    const std::string text(reinterpret_cast<const char *>(data), size);
    if (!orbsim::parseBench(text, "fuzz.ini", bench, error)) {
        if (error.rfind("fuzz.ini:", 0) != 0)
            std::abort(); // every error names the file and the line
        return 0;
    }
    for (const orbsim::Resource &r : bench.resources) {
        if (r.carrier >= int(bench.carriers.size()) || r.descriptor.empty() ||
            r.descriptor.size() > 255)
            std::abort();
    }
    for (const orbsim::Carrier &c : bench.carriers) {
        if (c.positions.size() > TN6800_MAX_POSITIONS ||
            c.info.positionCount != int(c.positions.size()) || c.cards.size() != c.positions.size())
            std::abort();
    }
    if (!(bench.card.lowLimit < bench.card.highLimit))
        std::abort();
    return 0;
}
