// Times the synthesis of the largest buffer (8 channels sharing 8192 samples)
// for each waveform type, next to a plain loop of std::sin over the same count.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tn6820fp_synthesis.h"

namespace {

using Clock = std::chrono::steady_clock;
volatile double g_sink;

template <typename F> double bestNsPerSample(F &&f, int samples)
{
    double best = 1e300;
    for (int round = 0; round < 200; ++round) {
        auto t0 = Clock::now();
        f();
        auto t1 = Clock::now();
        best = std::min(best, std::chrono::duration<double, std::nano>(t1 - t0).count());
    }
    return best / samples;
}

} // namespace

int main()
{
    const int channels = 8;
    const int segLen = 1024; // one cycle fills each channel's share: no copying helps
    const int total = channels * segLen;
    std::vector<double> buffer(static_cast<std::size_t>(total));

    const double plain = bestNsPerSample(
        [&] {
            for (int j = 0; j < total; ++j)
                buffer[static_cast<std::size_t>(j)] = std::sin(j * 6.2831853 / segLen);
            g_sink = buffer[static_cast<std::size_t>(total - 1)];
        },
        total);
    std::printf("buffer: %d channels x %d samples = %d samples\n", channels, segLen, total);
    std::printf("%-10s %10.2f ns/sample\n", "std::sin", plain);
    const char *names[] = {"none", "sine", "square", "saw", "triangle"};
    for (int type = WaveSine; type <= WaveTriangle; ++type) {
        tn6820fp_channelWave wave;
        wave.waveform = type;
        wave.amplitude = 7.5;
        wave.offset = 0.25;
        const double ns = bestNsPerSample(
            [&] {
                for (int n = 0; n < channels; ++n)
                    tn6820fp_synthesizeCycle(wave, segLen, buffer.data() + n * segLen);
                g_sink = buffer[static_cast<std::size_t>(total - 1)];
            },
            total);
        std::printf("%-10s %10.2f ns/sample   ratio to std::sin loop %.2f (target %s)\n",
                    names[type], ns, ns / plain, type == WaveSine ? "<= 1.5" : "< 1");
    }
    return 0;
}
