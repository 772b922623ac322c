// Descriptor reading and ordering on arbitrary text: no crash, and the order
// stays a strict weak ordering for the (up to three) descriptors of one input.
#include <cstdint>
#include <cstdlib>

#include <QString>
#include <QStringList>

#include "tn6800fp_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList parts = QString::fromLatin1(reinterpret_cast<const char *>(data), int(size))
                                  .split(QLatin1Char('\n'));
    QStringList d;
    for (int i = 0; i < parts.size() && i < 3; ++i)
        d << parts.at(i);
    while (d.size() < 3)
        d << d.value(0);
    for (const QString &s : d) {
        descriptorInterfaceName(s);
        descriptorBoardNumber(s);
        descriptorIpv4(s);
        descriptorGroupKey(s);
        if (descriptorLessThan(s, s))
            std::abort(); // irreflexive
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const bool ij = descriptorLessThan(d[i], d[j]);
            if (ij && descriptorLessThan(d[j], d[i]))
                std::abort(); // asymmetric
            for (int k = 0; k < 3; ++k) {
                if (ij && descriptorLessThan(d[j], d[k]) && !descriptorLessThan(d[i], d[k]))
                    std::abort(); // transitive
                const bool eqIJ = !ij && !descriptorLessThan(d[j], d[i]);
                const bool eqJK =
                    !descriptorLessThan(d[j], d[k]) && !descriptorLessThan(d[k], d[j]);
                const bool eqIK =
                    !descriptorLessThan(d[i], d[k]) && !descriptorLessThan(d[k], d[i]);
                if (eqIJ && eqJK && !eqIK)
                    std::abort(); // equivalence transitive
            }
        }
    }
    return 0;
}
