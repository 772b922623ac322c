#ifndef SHAPECHECK_H
#define SHAPECHECK_H

// What every shape a reader accepts must satisfy; aborts otherwise.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tn6820fp_shapefile.h"
#include "tn6820fp_synthesis.h"

inline void checkShape(const tn6820fp_shape &shape)
{
    if (!shape.error.isEmpty()) {
        if (!shape.values.empty())
            std::abort();
        return;
    }
    const std::vector<double> &v = shape.values;
    if (v.size() < 2 || v.size() > tn6820fp_maxShapeValues)
        std::abort();
    double largest = 0;
    for (const double x : v) {
        if (!std::isfinite(x) || std::fabs(x) > 1)
            std::abort();
        largest = std::max(largest, std::fabs(x));
    }
    if (largest != 0 && largest != 1)
        std::abort();
    // Resampled to a few cycle lengths, and passed through at its own.
    for (const int segLen : {4, 333, int(v.size())}) {
        std::vector<double> cycle(static_cast<std::size_t>(segLen));
        tn6820fp_resampleCycle(v.data(), int(v.size()), segLen, cycle.data());
        for (int j = 0; j < segLen; ++j) {
            if (!(std::fabs(cycle[std::size_t(j)]) <= 1))
                std::abort();
            if (segLen == int(v.size()) && cycle[std::size_t(j)] != v[std::size_t(j)])
                std::abort();
        }
    }
}

#endif
