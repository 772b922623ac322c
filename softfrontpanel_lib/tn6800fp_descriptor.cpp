#include "tn6800fp_descriptor.h"

#include <algorithm>
#include <limits>

namespace {

bool isAsciiLetter(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

int letterRun(const QString &d)
{
    int n = 0;
    while (n < d.size() && isAsciiLetter(d.at(n)))
        ++n;
    return n;
}

// A decimal field as sscanf's %d reads it: blanks, an optional sign, at least
// one digit. Advances pos and returns true when a number was read; values
// beyond 32 bits saturate.
bool readInt(const QString &d, int &pos, int &value)
{
    int p = pos;
    while (p < d.size() &&
           (d.at(p) == QLatin1Char(' ') || (d.at(p).unicode() >= 9 && d.at(p).unicode() <= 13)))
        ++p;
    bool negative = false;
    if (p < d.size() && (d.at(p) == QLatin1Char('+') || d.at(p) == QLatin1Char('-'))) {
        negative = d.at(p) == QLatin1Char('-');
        ++p;
    }
    const int digits = p;
    qint64 v = 0;
    while (p < d.size() && d.at(p).unicode() >= '0' && d.at(p).unicode() <= '9') {
        v = qMin<qint64>(v * 10 + (d.at(p).unicode() - '0'),
                         qint64(std::numeric_limits<int>::max()) + 1);
        ++p;
    }
    if (p == digits)
        return false;
    v = negative ? -v : v;
    value = int(
        std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    pos = p;
    return true;
}

bool readLiteral(const QString &d, int &pos, const char *literal)
{
    int p = pos;
    for (const char *l = literal; *l; ++l, ++p) {
        if (p >= d.size() || d.at(p) != QLatin1Char(*l))
            return false;
    }
    pos = p;
    return true;
}

// Board and octets of a TCPIP descriptor, as one tuple.
std::array<int, 5> tcpipKey(const QString &d)
{
    std::array<int, 5> key{0, 0, 0, 0, 0};
    int pos = letterRun(d);
    if (!readInt(d, pos, key[0]) || !readLiteral(d, pos, "::"))
        return key;
    for (int i = 1; i <= 4; ++i) {
        if (i > 1 && !readLiteral(d, pos, "."))
            break;
        if (!readInt(d, pos, key[std::size_t(i)]))
            break;
    }
    return key;
}

bool comparedByBoard(const QString &name)
{
    static const char *const names[] = {"VXI",       "GPIB", "GPIB-VXI", "SOCKET",
                                        "BACKPLANE", "PXI",  "ASRL"};
    for (const char *n : names) {
        if (name == QLatin1String(n))
            return true;
    }
    return false;
}

} // namespace

QString descriptorInterfaceName(const QString &descriptor)
{
    return descriptor.left(letterRun(descriptor)).toUpper();
}

int descriptorBoardNumber(const QString &descriptor)
{
    // The reading starts with the letters; without any it stops at once.
    int pos = letterRun(descriptor);
    int board = 0;
    if (pos > 0)
        readInt(descriptor, pos, board);
    return board;
}

std::array<int, 4> descriptorIpv4(const QString &descriptor)
{
    const std::array<int, 5> key = tcpipKey(descriptor);
    return {key[1], key[2], key[3], key[4]};
}

QString descriptorGroupKey(const QString &descriptor)
{
    const int colon = descriptor.indexOf(QLatin1Char(':'));
    return colon < 0 ? descriptor : descriptor.left(colon);
}

bool descriptorLessThan(const QString &a, const QString &b)
{
    const QString nameA = descriptorInterfaceName(a);
    const QString nameB = descriptorInterfaceName(b);
    // Different interfaces are ordered by their names, not by the whole texts:
    // comparing whole texts would not be a strict weak ordering when names differ
    // only in case or one is a prefix of the other.
    if (nameA != nameB)
        return nameA < nameB;
    if (nameA == QLatin1String("TCPIP"))
        return tcpipKey(a) < tcpipKey(b);
    if (comparedByBoard(nameA))
        return descriptorBoardNumber(a) < descriptorBoardNumber(b);
    return a < b;
}

QString lxiCarrierText(const QString &address, qint16 carrierModel)
{
    return QStringLiteral("%1 - %2 LXI").arg(address, QString::number(carrierModel));
}

QString vxiCarrierText(qint16 slot, qint16 carrierModel)
{
    return QStringLiteral("Slot %1 - %2 MB").arg(slot).arg(carrierModel);
}

QString cardPositionText(int position)
{
    return QStringLiteral("FC %1").arg(position);
}

QString cardModelText(quint16 modelCode, const QString &subtypeSuffix)
{
    return QStringLiteral("%1").arg(modelCode, 4, 16, QLatin1Char(' ')) + subtypeSuffix;
}
