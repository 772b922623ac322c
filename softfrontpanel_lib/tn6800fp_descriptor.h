#ifndef TN6800FP_DESCRIPTOR_H
#define TN6800FP_DESCRIPTOR_H

#include <QString>
#include <array>

// Reading, ordering and showing VISA resource descriptors. Descriptors are
// only read, never validated: a field that cannot be read counts as 0.

// The leading run of ASCII letters, upper-cased ("tcpip0::..." gives "TCPIP").
QString descriptorInterfaceName(const QString &descriptor);
// The decimal integer after the letters (VXI0 gives 0, ASRL12 gives 12); 0 when none.
int descriptorBoardNumber(const QString &descriptor);
// The four octets of a TCPIP descriptor's dotted address; zeros from the first
// field that cannot be read (a host name gives four zeros).
std::array<int, 4> descriptorIpv4(const QString &descriptor);
// The text before the first colon, or the whole descriptor.
QString descriptorGroupKey(const QString &descriptor);

// The order of the selection tree: by interface name, then TCPIP descriptors
// by (board, address), VXI, GPIB, SOCKET, BACKPLANE, PXI and ASRL ones by
// board, and others by their text. A strict weak ordering for any texts.
bool descriptorLessThan(const QString &a, const QString &b);

// "%1 - %2 LXI": a carrier reached over the network.
QString lxiCarrierText(const QString &address, qint16 carrierModel);
// "Slot %1 - %2 MB": a carrier in a VXI slot.
QString vxiCarrierText(qint16 slot, qint16 carrierModel);
// "FC %1": a card position counted from 1.
QString cardPositionText(int position);
// The model code in lower-case hexadecimal, right-aligned in four characters,
// followed by the subtype suffix ("6820", "6904-AB").
QString cardModelText(quint16 modelCode, const QString &subtypeSuffix);

#endif
