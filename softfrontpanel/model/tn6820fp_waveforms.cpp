#include "tn6820fp_waveforms.h"

#include <cmath>
#include <cstring>

namespace {

// The unit shapes, one function each so that every loop over them is
// specialised (and vectorised in optimised builds).
template <int Waveform> double unitShape(int j, int segLen);

template <> double unitShape<WaveSine>(int j, int segLen)
{
    // One cycle spans a phase of 6.2831853, a little less than 2 pi, as the
    // card has always been fed.
    return std::sin((double(j) * 6.2831853) / segLen);
}

// High for the first half (the shorter one when segLen is odd), low after.
template <> double unitShape<WaveSquare>(int j, int segLen)
{
    return j < segLen / 2 ? 1.0 : -1.0;
}

template <> double unitShape<WaveSaw>(int j, int segLen)
{
    const double x = j;
    return (x + x) / (segLen - 1) - 1;
}

template <> double unitShape<WaveTriangle>(int j, int segLen)
{
    const double rise = j < segLen / 2 ? double(j) : double(segLen - 1 - j);
    return rise * 4 / (segLen - 1) - 1;
}

template <int Waveform> void unitCycle(int segLen, double *cycle)
{
    for (int j = 0; j < segLen; ++j)
        cycle[j] = unitShape<Waveform>(j, segLen);
}

const char *const kSine[] = {
    "20 6 2 1",
    ". c None",
    "# c #000000",
    "...####.............",
    ".##....##...........",
    "#........#..........",
    "..........#........#",
    "...........##....##.",
    ".............####...",
};

const char *const kSquare[] = {
    "21 9 2 1",
    ". c None",
    "# c #000000",
    "###########..........",
    "#.........#..........",
    "#.........#..........",
    "#.........#..........",
    "#.........#..........",
    "#.........#..........",
    "#.........#..........",
    "#.........#..........",
    "#.........###########",
};

const char *const kSaw[] = {
    "21 9 2 1",
    ". c None",
    "# c #000000",
    "#..................##",
    "#................##.#",
    "#.............###...#",
    "#...........##......#",
    "#........###........#",
    "#......##...........#",
    "#...###.............#",
    "#.##................#",
    "##..................#",
};

const char *const kTriangle[] = {
    "21 9 2 1",
    ". c None",
    "# c #000000",
    "#...................#",
    ".#.................#.",
    "..##.............##..",
    "....#...........#....",
    ".....#.........#.....",
    "......#.......#......",
    ".......##...##.......",
    ".........#.#.........",
    "..........#..........",
};

// A free shape: a rise, a dip, a sharp spike and a slow fall.
const char *const kArbitrary[] = {
    "21 9 2 1",
    ". c None",
    "# c #000000",
    "..............#......",
    "..............#......",
    "...##........#.#.....",
    "..#..#.......#.#.....",
    ".#....#.....#...#....",
    "#......#....#....##..",
    ".......#...#.......##",
    "........#..#.........",
    ".........##..........",
};

} // namespace

const tn6820fp_waveformInfo tn6820fp_waveforms[tn6820fp_waveformCount] = {
    {WaveSine, "sine", "Sine", "sineButton", kSine, unitCycle<WaveSine>},
    {WaveSquare, "square", "Square", "squareButton", kSquare, unitCycle<WaveSquare>},
    {WaveSaw, "saw", "Saw", "sawButton", kSaw, unitCycle<WaveSaw>},
    {WaveTriangle, "triangle", "Triangle", "triangleButton", kTriangle, unitCycle<WaveTriangle>},
    {WaveArbitrary, "arbitrary", "Arbitrary", "arbitraryButton", kArbitrary, nullptr},
};

const tn6820fp_waveformInfo *tn6820fp_waveformOf(int kind)
{
    for (const tn6820fp_waveformInfo &w : tn6820fp_waveforms) {
        if (w.kind == kind)
            return &w;
    }
    return nullptr;
}

const tn6820fp_waveformInfo *tn6820fp_waveformNamed(const char *name)
{
    for (const tn6820fp_waveformInfo &w : tn6820fp_waveforms) {
        if (name && std::strcmp(w.name, name) == 0)
            return &w;
    }
    return nullptr;
}
