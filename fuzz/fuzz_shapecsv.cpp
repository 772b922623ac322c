// Reading a waveform's cycle from arbitrary CSV text: no crash, and what is
// accepted is 2 to 1000000 finite values within -1..1 that resample cleanly.
#include "shapecheck.h"
#include "tn6820fp_shapefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkShape(tn6820fp_readCsvShape(reinterpret_cast<const char *>(data), size));
    return 0;
}
