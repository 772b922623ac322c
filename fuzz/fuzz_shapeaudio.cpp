// Reading a waveform's cycle from arbitrary bytes through libsndfile's
// in-memory reading: no crash, and what is accepted holds as for CSV.
#include "shapecheck.h"
#include "tn6820fp_shapefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkShape(tn6820fp_readAudioShape(reinterpret_cast<const char *>(data), size));
    return 0;
}
