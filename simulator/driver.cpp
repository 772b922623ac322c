// Stand-in for the Orbana 6820 instrument driver: opens its sessions through
// VISA and keeps the state of each simulated card in the bench.
#include <cmath>
#include <cstdio>
#include <cstring>

#include <iterator>

#include "bench.h"
#include "tn6820.h"

using namespace orbsim;

namespace {

const ViUInt16 kModel = 0x6820;
const int kMemory = 8192;

const StatusText kTexts[] = {
    {VI_SUCCESS, "Operation completed successfully."},
    {VI_WARN_NSUP_ID_QUERY, "Identification query not supported."},
    {VI_WARN_NSUP_RESET, "Reset not supported."},
    {VI_ERROR_SYSTEM_ERROR, "Unknown system error."},
    {VI_ERROR_INV_OBJECT, "The given session or object reference is invalid."},
    {VI_ERROR_RSRC_LOCKED, "The resource is locked by another session."},
    {VI_ERROR_INV_EXPR, "Invalid expression specified for search."},
    {VI_ERROR_RSRC_NFOUND, "Insufficient location information or resource not present in the "
                           "system."},
    {VI_ERROR_INV_RSRC_NAME, "Invalid resource reference specified. Parsing error."},
    {VI_ERROR_INV_ACC_MODE, "Invalid access mode."},
    {VI_ERROR_TMO, "Timeout expired before operation completed."},
    {VI_ERROR_NSUP_ATTR, "The specified attribute is not defined by the referenced resource."},
    {VI_ERROR_NSUP_OPER, "The given session does not support this operation."},
    {VI_ERROR_RSRC_BUSY, "The resource is valid, but VISA cannot currently access it."},
    {VI_ERROR_LIBRARY_NFOUND, "A code library required by VISA could not be located or loaded."},
    {VI_ERROR_PARAMETER1, "Parameter 1 out of range."},
    {VI_ERROR_PARAMETER2, "Parameter 2 out of range."},
    {VI_ERROR_PARAMETER3, "Parameter 3 out of range."},
    {VI_ERROR_PARAMETER4, "Parameter 4 out of range."},
    {VI_ERROR_FAIL_ID_QUERY, "Instrument identification query failed."},
    {VI_ERROR_INV_RESPONSE, "Error interpreting instrument response."},
    {TN6820_ERROR_NOT_CARRIER, "The resource is not an Orbana carrier."},
    {TN6820_ERROR_NO_CARD, "No 6820 function card in the given carrier position."},
    {TN6820_ERROR_INV_FC_NUMBER, "The function card number is outside the carrier's positions."},
    {TN6820_ERROR_INV_CHANNEL_MASK, "The channel mask selects no channel or a channel above 8."},
    {TN6820_ERROR_INV_SEGMENT, "The segment length is out of range."},
    {TN6820_ERROR_INV_RATE, "The update rate code is out of range."},
    {TN6820_ERROR_INV_FILTER, "The filter code is out of range."},
    {TN6820_ERROR_MEMORY_OVERFLOW, "The waveform does not fit into the sample memory."},
    {TN6820_ERROR_NULL_POINTER, "A required pointer argument is null."},
    {TN6820_WARN_OUTPUT_CLIPPED, "Output values beyond the output limits were clipped."},
};

int channelCount(unsigned mask)
{
    int n = 0;
    for (int i = 0; i < 8; ++i)
        n += (mask >> i) & 1u;
    return n;
}

// The card of a driver session, or null; call with the bench locked.
CardState *cardOf(ViSession vi)
{
    Bench &b = Bench::instance();
    auto it = b.driverSessions().find(vi);
    if (it == b.driverSessions().end() || !b.session(vi))
        return nullptr;
    Carrier &c = b.data().carriers[static_cast<std::size_t>(it->second.carrier)];
    return &c.cards[static_cast<std::size_t>(it->second.position - 1)];
}

ViStatus storeWaveform(CardState &card, unsigned mask, ViInt32 perChannel, ViInt32 rate,
                       ViInt16 filter, ViInt16 grouping, const ViReal64 *buffer)
{
    if (mask == 0 || mask > 0xFF)
        return TN6820_ERROR_INV_CHANNEL_MASK;
    if (perChannel < 1 || static_cast<long long>(perChannel) * channelCount(mask) > kMemory)
        return perChannel < 1 ? TN6820_ERROR_INV_SEGMENT : TN6820_ERROR_MEMORY_OVERFLOW;
    if (rate < 0 || rate > 10)
        return TN6820_ERROR_INV_RATE;
    if (filter < 0 || filter > 3)
        return TN6820_ERROR_INV_FILTER;
    if (grouping != tn6820_GROUP_BY_CHANNEL)
        return VI_ERROR_PARAMETER4;
    if (!buffer)
        return TN6820_ERROR_NULL_POINTER;
    std::size_t n = static_cast<std::size_t>(perChannel) * channelCount(mask);
    card.memory.assign(buffer, buffer + n);
    card.memoryMask = mask;
    card.filter = filter;
    const CardData &d = Bench::instance().data().card;
    for (double v : card.memory) {
        if (!(v >= d.lowLimit && v <= d.highLimit))
            return TN6820_WARN_OUTPUT_CLIPPED;
    }
    return VI_SUCCESS;
}

// Runs an entry point's work on the card of a driver session, with the bench
// locked; an injected error or a session that is not open stops it first.
template <typename Work>
ViStatus onCard(Call &call, const char *function, ViSession vi, Work &&work)
{
    const int resource = Bench::instance().resourceOfSession(vi);
    if (call.injectedError(resource))
        return call.finish(VI_SUCCESS);
    Bench::instance().delay(function, resource);
    std::lock_guard<std::mutex> lock(Bench::instance().mutex());
    CardState *card = cardOf(vi);
    if (!card)
        return call.finish(VI_ERROR_INV_OBJECT);
    return call.finish(work(*card));
}

} // namespace

extern "C" {

ViStatus VI_FUNC tn6820_init(ViRsrc resourceName, ViInt16 fcNumber, ViBoolean idQuery,
                             ViBoolean reset, ViSession *vi)
{
    Call call("tn6820_init");
    call.arg("resourceName", resourceName)
        .arg("fcNumber", static_cast<long long>(fcNumber))
        .arg("idQuery", static_cast<long long>(idQuery))
        .arg("reset", static_cast<long long>(reset));
    if (vi)
        *vi = 0;
    Bench &b = Bench::instance();
    int resource = -1;
    if (resourceName) {
        std::lock_guard<std::mutex> lock(b.mutex());
        resource = b.findResource(resourceName);
    }
    if (call.injectedError(resource))
        return call.finish(VI_SUCCESS);
    if (!resourceName)
        return call.finish(VI_ERROR_PARAMETER1);
    if (!vi)
        return call.finish(TN6820_ERROR_NULL_POINTER);
    b.delay("tn6820_init", resource);
    ViSession rm = 0;
    ViStatus st = viOpenDefaultRM(&rm);
    if (st < 0)
        return call.finish(st);
    ViSession instr = 0;
    st = viOpen(rm, resourceName, VI_NULL, VI_NULL, &instr);
    if (st < 0) {
        viClose(rm);
        return call.finish(st);
    }
    {
        std::lock_guard<std::mutex> lock(b.mutex());
        const Resource &r =
            b.data().resources[static_cast<std::size_t>(b.session(instr)->resource)];
        if (r.carrier < 0) {
            st = TN6820_ERROR_NOT_CARRIER;
        } else {
            Carrier &c = b.data().carriers[static_cast<std::size_t>(r.carrier)];
            if (fcNumber < 1 || fcNumber > static_cast<int>(c.positions.size())) {
                st = TN6820_ERROR_INV_FC_NUMBER;
            } else {
                ViUInt16 code = c.positions[static_cast<std::size_t>(fcNumber - 1)].code;
                if (code == 0)
                    st = TN6820_ERROR_NO_CARD;
                else if (idQuery && code != kModel)
                    st = VI_ERROR_FAIL_ID_QUERY;
                else {
                    b.driverSessions()[instr] = DriverSession{rm, r.carrier, fcNumber};
                    if (reset)
                        c.cards[static_cast<std::size_t>(fcNumber - 1)] = CardState();
                }
            }
        }
    }
    if (st < 0) {
        viClose(rm); // closes the instrument session with it
        return call.finish(st);
    }
    *vi = instr;
    call.arg("*vi", static_cast<long long>(instr));
    return call.finish(VI_SUCCESS);
}

ViStatus VI_FUNC tn6820_close(ViSession vi)
{
    Call call("tn6820_close");
    call.arg("vi", static_cast<long long>(vi));
    Bench &b = Bench::instance();
    const int resource = b.resourceOfSession(vi);
    if (call.injectedError(resource))
        return call.finish(VI_SUCCESS);
    b.delay("tn6820_close", resource);
    ViSession rm = 0;
    {
        std::lock_guard<std::mutex> lock(b.mutex());
        auto it = b.driverSessions().find(vi);
        if (it == b.driverSessions().end())
            return call.finish(VI_ERROR_INV_OBJECT);
        rm = it->second.resourceManager;
        b.driverSessions().erase(it);
    }
    viClose(rm);
    return call.finish(VI_SUCCESS);
}

ViStatus VI_FUNC tn6820_reset(ViSession vi)
{
    Call call("tn6820_reset");
    call.arg("vi", static_cast<long long>(vi));
    return onCard(call, "tn6820_reset", vi, [&](CardState &card) -> ViStatus {
        card = CardState();
        return VI_SUCCESS;
    });
}

ViStatus VI_FUNC tn6820_error_message(ViSession vi, ViStatus statusCode, ViChar message[])
{
    Call call("tn6820_error_message");
    call.arg("vi", static_cast<long long>(vi)).arg("status", static_cast<long long>(statusCode));
    const int resource = Bench::instance().resourceOfSession(vi);
    if (call.injectedError(resource))
        return call.finish(VI_SUCCESS);
    Bench::instance().delay("tn6820_error_message", resource);
    if (!message)
        return call.finish(VI_ERROR_PARAMETER3);
    if (writeStatusText(statusCode, kTexts, std::size(kTexts), message, call))
        return call.finish(VI_SUCCESS);
    return call.finish(VI_ERROR_PARAMETER2);
}

ViStatus VI_FUNC tn6820_revision_query(ViSession vi, ViChar driverRevision[],
                                       ViChar instrumentFirmwareRevision[])
{
    Call call("tn6820_revision_query");
    call.arg("vi", static_cast<long long>(vi));
    Bench &b = Bench::instance();
    const int resource = b.resourceOfSession(vi);
    if (call.injectedError(resource))
        return call.finish(VI_SUCCESS);
    b.delay("tn6820_revision_query", resource);
    std::lock_guard<std::mutex> lock(b.mutex());
    // The driver's own revision needs no session (unless the bench says this
    // driver wants one); the firmware's does.
    if ((vi != VI_NULL || instrumentFirmwareRevision || b.data().card.revisionNeedsSession) &&
        !cardOf(vi))
        return call.finish(VI_ERROR_INV_OBJECT);
    if (driverRevision) {
        copyText(b.data().card.driverRevision, driverRevision);
        call.arg("driverRevision", driverRevision);
    }
    if (instrumentFirmwareRevision) {
        copyText(b.data().card.firmwareRevision, instrumentFirmwareRevision);
        call.arg("instrumentFirmwareRevision", instrumentFirmwareRevision);
    }
    return call.finish(VI_SUCCESS);
}

ViStatus VI_FUNC tn6820_readSerialNo(ViSession vi, ViUInt32 *serialNumber, ViChar subtype[])
{
    Call call("tn6820_readSerialNo");
    call.arg("vi", static_cast<long long>(vi));
    return onCard(call, "tn6820_readSerialNo", vi, [&](CardState &) -> ViStatus {
        if (!serialNumber || !subtype)
            return TN6820_ERROR_NULL_POINTER;
        const CardData &d = Bench::instance().data().card;
        *serialNumber = d.serial;
        copyText(d.subtype, subtype);
        call.arg("*serialNumber", static_cast<long long>(*serialNumber)).arg("subtype", subtype);
        return VI_SUCCESS;
    });
}

ViStatus VI_FUNC tn6820_getOutputLimits(ViSession vi, ViReal64 *lowLimit, ViReal64 *highLimit)
{
    Call call("tn6820_getOutputLimits");
    call.arg("vi", static_cast<long long>(vi));
    return onCard(call, "tn6820_getOutputLimits", vi, [&](CardState &) -> ViStatus {
        if (!lowLimit || !highLimit)
            return TN6820_ERROR_NULL_POINTER;
        const CardData &d = Bench::instance().data().card;
        *lowLimit = d.lowLimit;
        *highLimit = d.highLimit;
        call.arg("*lowLimit", *lowLimit).arg("*highLimit", *highLimit);
        return VI_SUCCESS;
    });
}

ViStatus VI_FUNC tn6820_setOutputEnable(ViSession vi, ViUInt16 channelMask)
{
    Call call("tn6820_setOutputEnable");
    call.arg("vi", static_cast<long long>(vi)).argHex("channelMask", channelMask);
    return onCard(call, "tn6820_setOutputEnable", vi, [&](CardState &card) -> ViStatus {
        if (channelMask > 0xFF)
            return TN6820_ERROR_INV_CHANNEL_MASK;
        card.enabledMask |= channelMask;
        return VI_SUCCESS;
    });
}

ViStatus VI_FUNC tn6820_writeChannels(ViSession vi, ViUInt16 channelMask, ViReal64 values[])
{
    Call call("tn6820_writeChannels");
    call.arg("vi", static_cast<long long>(vi))
        .argHex("channelMask", channelMask)
        .samples("values", values, 8);
    return onCard(call, "tn6820_writeChannels", vi, [&](CardState &card) -> ViStatus {
        if (channelMask > 0xFF)
            return TN6820_ERROR_INV_CHANNEL_MASK;
        if (!values)
            return TN6820_ERROR_NULL_POINTER;
        const CardData &d = Bench::instance().data().card;
        ViStatus st = VI_SUCCESS;
        for (int i = 0; i < 8; ++i) {
            if (!((channelMask >> i) & 1u))
                continue;
            double v = values[i];
            if (!(v >= d.lowLimit && v <= d.highLimit)) {
                v = v > d.highLimit ? d.highLimit : d.lowLimit;
                st = TN6820_WARN_OUTPUT_CLIPPED;
            }
            card.values[i] = v;
        }
        return st;
    });
}

ViStatus VI_FUNC tn6820_setFilter(ViSession vi, ViInt16 filter)
{
    Call call("tn6820_setFilter");
    call.arg("vi", static_cast<long long>(vi)).arg("filter", static_cast<long long>(filter));
    return onCard(call, "tn6820_setFilter", vi, [&](CardState &card) -> ViStatus {
        if (filter < 0 || filter > 3)
            return TN6820_ERROR_INV_FILTER;
        card.filter = filter;
        return VI_SUCCESS;
    });
}

ViStatus VI_FUNC tn6820_generateWaveforms(ViSession vi, ViUInt16 channelMask, ViInt32 segmentLength,
                                          ViInt32 updateRate, ViInt16 filter, ViInt16 grouping,
                                          ViReal64 buffer[])
{
    Call call("tn6820_generateWaveforms");
    call.arg("vi", static_cast<long long>(vi))
        .argHex("channelMask", channelMask)
        .arg("segmentLength", static_cast<long long>(segmentLength))
        .arg("updateRate", static_cast<long long>(updateRate))
        .arg("filter", static_cast<long long>(filter))
        .arg("grouping", static_cast<long long>(grouping));
    bool sane = segmentLength > 0 && channelMask <= 0xFF &&
                static_cast<long long>(segmentLength) * channelCount(channelMask) <= kMemory;
    call.samples("buffer", buffer,
                 sane ? static_cast<std::size_t>(segmentLength) * channelCount(channelMask) : 0);
    return onCard(call, "tn6820_generateWaveforms", vi, [&](CardState &card) -> ViStatus {
        if (card.running)
            return VI_ERROR_RSRC_BUSY;
        return storeWaveform(card, channelMask, segmentLength, updateRate, filter, grouping,
                             buffer);
    });
}

ViStatus VI_FUNC tn6820_startContWaveformEx(ViSession vi, ViUInt16 channelMask,
                                            ViInt32 samplesPerChannel, ViInt32 updateRate,
                                            ViInt16 filter, ViInt16 grouping, ViInt32 reserved,
                                            ViReal64 buffer[], ViAddr reserved2, ViAddr reserved3)
{
    Call call("tn6820_startContWaveformEx");
    call.arg("vi", static_cast<long long>(vi))
        .argHex("channelMask", channelMask)
        .arg("samplesPerChannel", static_cast<long long>(samplesPerChannel))
        .arg("updateRate", static_cast<long long>(updateRate))
        .arg("filter", static_cast<long long>(filter))
        .arg("grouping", static_cast<long long>(grouping))
        .arg("reserved", static_cast<long long>(reserved));
    bool sane = samplesPerChannel > 0 && channelMask <= 0xFF &&
                static_cast<long long>(samplesPerChannel) * channelCount(channelMask) <= kMemory;
    call.samples("buffer", buffer,
                 sane ? static_cast<std::size_t>(samplesPerChannel) * channelCount(channelMask)
                      : 0);
    call.arg("reserved2", reserved2).arg("reserved3", reserved3);
    return onCard(call, "tn6820_startContWaveformEx", vi, [&](CardState &card) -> ViStatus {
        if (card.running)
            return VI_ERROR_RSRC_BUSY;
        if (reserved != 0)
            return VI_ERROR_PARAMETER4;
        ViStatus st = storeWaveform(card, channelMask, samplesPerChannel, updateRate, filter,
                                    grouping, buffer);
        if (st >= 0)
            card.running = true;
        return st;
    });
}

ViStatus VI_FUNC tn6820_stopContWaveform(ViSession vi, ViBoolean stopNow)
{
    Call call("tn6820_stopContWaveform");
    call.arg("vi", static_cast<long long>(vi)).arg("stopNow", static_cast<long long>(stopNow));
    return onCard(call, "tn6820_stopContWaveform", vi, [&](CardState &card) -> ViStatus {
        card.running = false;
        return VI_SUCCESS;
    });
}

ViStatus VI_FUNC tn6820_resetFIFO(ViSession vi)
{
    Call call("tn6820_resetFIFO");
    call.arg("vi", static_cast<long long>(vi));
    return onCard(call, "tn6820_resetFIFO", vi, [&](CardState &card) -> ViStatus {
        if (card.running)
            return VI_ERROR_RSRC_BUSY;
        card.memory.clear();
        card.memoryMask = 0;
        return VI_SUCCESS;
    });
}

} // extern "C"
