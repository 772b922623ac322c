// A formula from arbitrary text: no crash; a formula refused says why, with a
// place within the text where it names one; a formula accepted is kept as
// typed, evaluates at any length and multiple, and reports the first sample
// that is no finite number exactly.
#include <QRegularExpression>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tn6820fp_formula.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // The first byte picks the length and multiple of the evaluation.
    const int segLen = 4 + data[0] % 61;
    const int multiple = 1 + data[1] % 7;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 2, int(size) - 2);
    QString why;
    const auto formula = tn6820fp_formula::parse(text, &why);
    if (!formula) {
        if (why.isEmpty())
            std::abort();
        const QRegularExpressionMatch place =
            QRegularExpression(QStringLiteral("^character (\\d+): ")).match(why);
        if (place.hasMatch() && place.captured(1).toInt() > text.size() + 1)
            std::abort();
        return 0;
    }
    if (!why.isEmpty() || formula->text() != text || text.size() > tn6820fp_maxFormulaLength)
        std::abort();
    std::vector<double> values(static_cast<std::size_t>(segLen));
    const int first = formula->evaluate(segLen, multiple, 1000.0 * multiple, values.data());
    int expected = -1;
    for (int k = 0; k < segLen && expected < 0; ++k)
        if (!std::isfinite(values[std::size_t(k)]))
            expected = k;
    if (first != expected)
        std::abort();
    return 0;
}
