#include "tn6800fp_search.h"
#include "tn6800fp_loggedcalls.h"

#include <QThreadPool>
#include <QtConcurrent>
#include <cstring>
#include <vector>

#include "tn6800.h"
#include "tn6800fp_descriptor.h"
#include "tn6800fp_genfc.h"

namespace {

struct CodeTranslation
{
    quint16 mask;
    quint16 reported;
    quint16 model;
};

// Older VXI carriers report their model number in binary-coded decimal.
const CodeTranslation kCarrierTranslation = {0xFFFF, 0x6800, 6800};

const CodeTranslation kCardTranslation[] = {
    {0xFFFF, 0x6905, 0x6904}, // 6904 of the second hardware generation
    {0xFFFF, 0x6913, 0x6912}, {0xFFFF, 0x6831, 0x6830}, {0xFFFF, 0x6841, 0x6840},
    {0xFCFF, 0x6050, 0x6050}, // relay cards carry their bank count in bits 8 and 9
};

QChar subtypeChar(unsigned byte)
{
    return byte >= 0x20 && byte < 0x7F ? QChar(byte) : QLatin1Char('?');
}

} // namespace

qint16 tn6800fp_translateCarrierModel(quint16 reported)
{
    const CodeTranslation &t = kCarrierTranslation;
    return qint16((reported & t.mask) == t.reported ? t.model : reported);
}

quint16 tn6800fp_translateCardCode(quint16 reported)
{
    for (const CodeTranslation &t : kCardTranslation) {
        if ((reported & t.mask) == t.reported)
            return t.model;
    }
    return reported;
}

void getResourceInfo(getResourceInfo_params_t *params)
{
    params->handedOver.load(std::memory_order_acquire);
    if (params->done) {
        params->examined.store(true, std::memory_order_release);
        return;
    }
    resourceInfo_t info = params->info;
    ViSession vi = 0;
    const QByteArray descriptor = info.descriptor.toLatin1();
    if (tn6800fp_logged::viOpen(params->resourceManager, descriptor.constData(), VI_NULL, 0, &vi) <
        0) {
        params->examined.store(true, std::memory_order_release);
        return;
    }
    tn6800_carrierHandle handle;
    std::memset(&handle, 0, sizeof handle);
    handle.resourceManager = params->resourceManager;
    if (tn6800fp_logged::tn6800_openCarrier(vi, &handle) < 0 || !handle.carrier) {
        tn6800fp_logged::viClose(vi);
        params->examined.store(true, std::memory_order_release);
        return;
    }
    tn6800_carrier *carrier = handle.carrier;
    const tn6800_carrierInfo *block = carrier->info;
    if (!block) { // a carrier object without its description is no carrier
        tn6800fp_logged::tn6800_closeCarrier(&handle);
        tn6800fp_logged::viClose(vi);
        params->examined.store(true, std::memory_order_release);
        return;
    }
    const tn6800_accessTable *registers = nullptr;
    if (carrier->accessTable) {
        carrier->accessTable(carrier, 0, 1);
        registers = carrier->accessTable(carrier, 1, 1);
    }
    info.carrierModel = tn6800fp_translateCarrierModel(block->carrierModel);

    ViUInt16 interfaceType = 0;
    tn6800fp_logged::viGetAttribute(vi, VI_ATTR_INTF_TYPE, &interfaceType);
    if (interfaceType == VI_INTF_TCPIP) {
        char address[256];
        std::memset(address, 0, sizeof address);
        tn6800fp_logged::viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, address);
        address[sizeof address - 1] = '\0';
        info.tcpipAddress = QString::fromLatin1(address);
        info.systemTexts << lxiCarrierText(info.tcpipAddress, info.carrierModel);
    } else {
        ViInt16 slot = 0;
        tn6800fp_logged::viGetAttribute(vi, VI_ATTR_SLOT, &slot);
        info.systemTexts << vxiCarrierText(slot, info.carrierModel);
        info.tcpipAddress.clear();
    }

    const int positions = qBound(0, int(block->positionCount), TN6800_MAX_POSITIONS);
    for (int p = 1; p <= positions; ++p) {
        const quint16 code = block->positionCode[p - 1];
        if (code == 0)
            continue;
        const quint16 shown = tn6800fp_translateCardCode(code);
        info.subtypeSuffix.clear();
        if (registers && registers->readRegister && (shown == 0x6904 || shown == 0x6912)) {
            ViUInt16 value = 0;
            if (tn6800fp_logged::readRegister(registers, carrier, ViInt16(p),
                                              TN6800_REGISTER_SUBTYPE, &value) >= 0)
                info.subtypeSuffix =
                    QLatin1Char('-') + QString(subtypeChar(value >> 8)) + subtypeChar(value & 0xFF);
        }
        info.cardTexts << QStringList{cardPositionText(p),
                                      cardModelText(shown, info.subtypeSuffix)};
        info.cardNumbers << (params->card->supportsModel(code) ? p : 0);
    }
    params->info = info;
    tn6800fp_logged::tn6800_closeCarrier(&handle);
    tn6800fp_logged::viClose(vi);
    params->examined.store(true, std::memory_order_release);
}

void tn6800fp_examineResources(const QVector<getResourceInfo_params_t *> &sequence,
                               QFutureInterface<void> &progress)
{
    std::atomic<int> examined{0};
    for (getResourceInfo_params_t *w : sequence)
        w->handedOver.load(std::memory_order_acquire); // filled by the caller's thread
    // Serial, GPIB, USB and VXI resources one after another, in VISA's order:
    // their interfaces do not all allow parallel opens.
    for (getResourceInfo_params_t *w : sequence) {
        if (w->info.descriptor.toUpper().contains(QLatin1String("TCPIP")))
            continue;
        getResourceInfo(w);
        w->done = true;
        progress.setProgressValue(++examined);
    }
    for (getResourceInfo_params_t *w : sequence)
        w->handedOver.store(true, std::memory_order_release);
    // Records already done pass through at once.
    QtConcurrent::blockingMap(sequence, [&](getResourceInfo_params_t *w) {
        getResourceInfo(w);
        if (!w->done)
            progress.setProgressValue(++examined);
    });
}

QList<resourceInfo_t> tn6800fp_searchResources(tn6800fp_genFC *card,
                                               QFutureInterface<void> &progress)
{
    QList<resourceInfo_t> records;
    struct Finish
    {
        QFutureInterface<void> &progress;
        ~Finish() { progress.reportFinished(); }
    } finish{progress};
    // A positive status is a warning: the manager is open all the same.
    ViSession rm = 0;
    if (tn6800fp_logged::viOpenDefaultRM(&rm) < 0) {
        tn6800fp_logged::viClose(rm);
        return records;
    }
    ViFindList list = 0;
    ViUInt32 count = 0;
    char found[VI_FIND_BUFLEN];
    std::memset(found, 0, sizeof found);
    if (tn6800fp_logged::viFindRsrc(rm, "?*INSTR", &list, &count, found) < 0) {
        tn6800fp_logged::viClose(rm);
        return records;
    }
    QStringList descriptors;
    ViStatus status = VI_SUCCESS;
    while (status == VI_SUCCESS && count > 0) {
        found[sizeof found - 1] = '\0';
        descriptors << QString::fromLatin1(found);
        --count;
        status = tn6800fp_logged::viFindNext(list, found);
    }

    const int n = descriptors.size();
    progress.setProgressRange(0, n);
    std::vector<getResourceInfo_params_t> work(static_cast<std::size_t>(n));
    QVector<getResourceInfo_params_t *> sequence;
    for (int i = 0; i < n; ++i) {
        getResourceInfo_params_t &w = work[std::size_t(i)];
        w.card = card;
        w.resourceManager = rm;
        w.info.descriptor = descriptors.at(i);
        sequence << &w;
    }
    if (n > 0) {
        QThreadPool::globalInstance()->setMaxThreadCount(qMin(n, 128));
        for (getResourceInfo_params_t &w : work)
            w.handedOver.store(true, std::memory_order_release);
        tn6800fp_examineResources(sequence, progress);
    }
    for (const getResourceInfo_params_t &w : work) {
        w.examined.load(std::memory_order_acquire);
        records << w.info;
    }
    tn6800fp_logged::viClose(list);
    tn6800fp_logged::viClose(rm);
    return records;
}

QList<resourceInfo_t> tn6800fp_mergeCarriers(const QList<resourceInfo_t> &records)
{
    QList<resourceInfo_t> kept;
    QStringList addresses;
    for (const resourceInfo_t &r : records) {
        if (!r.tcpipAddress.isEmpty() && addresses.contains(r.tcpipAddress))
            continue;
        if (!r.tcpipAddress.isEmpty())
            addresses << r.tcpipAddress;
        kept << r;
    }
    return kept;
}
