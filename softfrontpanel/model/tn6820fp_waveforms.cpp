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

// An expression: "f(x)".
const char *const kFormula[] = {
    "21 9 2 1",
    ". c None",
    "# c #000000",
    "....##...#.......#...",
    "...#....#.........#..",
    "...#....#.#...#...#..",
    ".#####.#...#.#.....#.",
    "...#...#....#......#.",
    "...#...#...#.#.....#.",
    "...#....#.#...#...#..",
    "...#....#.........#..",
    "..#......#.......#...",
};

} // namespace

const tn6820fp_waveformInfo tn6820fp_waveforms[tn6820fp_waveformCount] = {
    {WaveSine, "sine", "Sine", "sineButton", kSine, unitCycle<WaveSine>},
    {WaveSquare, "square", "Square", "squareButton", kSquare, unitCycle<WaveSquare>},
    {WaveSaw, "saw", "Saw", "sawButton", kSaw, unitCycle<WaveSaw>},
    {WaveTriangle, "triangle", "Triangle", "triangleButton", kTriangle, unitCycle<WaveTriangle>},
    {WaveArbitrary, "arbitrary", "Arbitrary", "arbitraryButton", kArbitrary, nullptr},
    {WaveFormula, "formula", "Formula", "formulaButton", kFormula, nullptr},
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

int tn6820fp_squareHigh(int segLen, int dutyTenths)
{
    return int((static_cast<long long>(dutyTenths) * segLen + 499) / 1000);
}

void tn6820fp_squareCycle(int segLen, int dutyTenths, double *cycle)
{
    const int high = tn6820fp_squareHigh(segLen, dutyTenths);
    for (int j = 0; j < segLen; ++j)
        cycle[j] = j < high ? 1.0 : -1.0;
}

int tn6820fp_trianglePeak2(int segLen, int symmetryTenths)
{
    return int((static_cast<long long>(symmetryTenths) * (segLen - 1) + 249) / 500);
}

// The slopes are written as the unit triangle's: at the start symmetry the
// peak is (segLen - 1) / 2, and 2 j / peak is 4 j / (segLen - 1) to the bit,
// numerator and denominator differing by a factor of two alone.
void tn6820fp_triangleCycle(int segLen, int symmetryTenths, double *cycle)
{
    const double peak = tn6820fp_trianglePeak2(segLen, symmetryTenths) / 2.0;
    const double fall = (segLen - 1) - peak;
    for (int j = 0; j < segLen; ++j) {
        if (j < peak)
            cycle[j] = 2.0 * j / peak - 1;
        else
            cycle[j] = fall > 0 ? 2.0 * (segLen - 1 - j) / fall - 1 : 1.0;
    }
}
