#include "tn6820fp_loggedcalls.h"

#include <mutex>
#include <utility>

#include "tn6800fp_calllog.h"

namespace tn6820fp_logged {

namespace {

using Arguments = tn6800fp_callArguments;

const char *returned(ViStatus status, const char *text)
{
    return status >= 0 ? text : nullptr;
}

// The samples a waveform call reads from its buffer: perChannel for each
// channel in the mask, none for a negative count the driver refuses.
std::size_t samplesIn(ViInt32 perChannel, ViUInt16 mask)
{
    std::size_t channels = 0;
    for (int i = 0; i < 16; ++i)
        channels += (mask >> i) & 1u;
    return std::size_t(std::max(perChannel, 0)) * channels;
}

// A call on a session: records "vi=..." and what describe adds.
template <typename Call, typename Describe>
ViStatus logged(const char *function, ViSession vi, Call &&call, Describe &&describe)
{
    return tn6800fp_logCall(function, std::forward<Call>(call),
                            [&](Arguments &arguments, ViStatus status) {
                                arguments.num("vi", vi);
                                describe(arguments, status);
                            });
}

const auto nothing = [](Arguments &, ViStatus) {};

} // namespace

void nameDriverStatuses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const struct
        {
            ViStatus status;
            const char *name;
        } names[] = {
            {TN6820_ERROR_NOT_CARRIER, "TN6820_ERROR_NOT_CARRIER"},
            {TN6820_ERROR_NO_CARD, "TN6820_ERROR_NO_CARD"},
            {TN6820_ERROR_INV_FC_NUMBER, "TN6820_ERROR_INV_FC_NUMBER"},
            {TN6820_ERROR_INV_CHANNEL_MASK, "TN6820_ERROR_INV_CHANNEL_MASK"},
            {TN6820_ERROR_INV_SEGMENT, "TN6820_ERROR_INV_SEGMENT"},
            {TN6820_ERROR_INV_RATE, "TN6820_ERROR_INV_RATE"},
            {TN6820_ERROR_INV_FILTER, "TN6820_ERROR_INV_FILTER"},
            {TN6820_ERROR_MEMORY_OVERFLOW, "TN6820_ERROR_MEMORY_OVERFLOW"},
            {TN6820_ERROR_NULL_POINTER, "TN6820_ERROR_NULL_POINTER"},
            {TN6820_WARN_OUTPUT_CLIPPED, "TN6820_WARN_OUTPUT_CLIPPED"},
        };
        for (const auto &n : names)
            tn6800fp_callLog::addStatusName(n.status, n.name);
    });
}

ViStatus tn6820_init(ViRsrc resourceName, ViInt16 fcNumber, ViBoolean idQuery, ViBoolean reset,
                     ViSession *vi)
{
    return tn6800fp_logCall(
        "tn6820_init", [&] { return ::tn6820_init(resourceName, fcNumber, idQuery, reset, vi); },
        [&](Arguments &a, ViStatus) {
            a.text("resourceName", resourceName)
                .num("fcNumber", fcNumber)
                .num("idQuery", idQuery)
                .num("reset", reset)
                .num("*vi", vi ? *vi : 0);
        });
}

ViStatus tn6820_close(ViSession vi)
{
    return logged(
        "tn6820_close", vi, [&] { return ::tn6820_close(vi); }, nothing);
}

ViStatus tn6820_reset(ViSession vi)
{
    return logged(
        "tn6820_reset", vi, [&] { return ::tn6820_reset(vi); }, nothing);
}

ViStatus tn6820_error_message(ViSession vi, ViStatus statusCode, ViChar message[])
{
    return logged(
        "tn6820_error_message", vi, [&] { return ::tn6820_error_message(vi, statusCode, message); },
        [&](Arguments &a, ViStatus status) {
            a.hex("status", quint32(statusCode), 8).text("message", returned(status, message));
        });
}

ViStatus tn6820_revision_query(ViSession vi, ViChar driverRevision[],
                               ViChar instrumentFirmwareRevision[])
{
    return logged(
        "tn6820_revision_query", vi,
        [&] { return ::tn6820_revision_query(vi, driverRevision, instrumentFirmwareRevision); },
        [&](Arguments &a, ViStatus status) {
            a.text("driverRevision", returned(status, driverRevision))
                .text("instrumentFirmwareRevision", returned(status, instrumentFirmwareRevision));
        });
}

ViStatus tn6820_readSerialNo(ViSession vi, ViUInt32 *serialNumber, ViChar subtype[])
{
    return logged(
        "tn6820_readSerialNo", vi, [&] { return ::tn6820_readSerialNo(vi, serialNumber, subtype); },
        [&](Arguments &a, ViStatus status) {
            a.hex("*serialNumber", status >= 0 && serialNumber ? *serialNumber : 0, 8)
                .text("subtype", returned(status, subtype));
        });
}

ViStatus tn6820_getOutputLimits(ViSession vi, ViReal64 *lowLimit, ViReal64 *highLimit)
{
    return logged(
        "tn6820_getOutputLimits", vi,
        [&] { return ::tn6820_getOutputLimits(vi, lowLimit, highLimit); },
        [&](Arguments &a, ViStatus) {
            a.real("*lowLimit", lowLimit ? *lowLimit : 0)
                .real("*highLimit", highLimit ? *highLimit : 0);
        });
}

ViStatus tn6820_setOutputEnable(ViSession vi, ViUInt16 channelMask)
{
    return logged(
        "tn6820_setOutputEnable", vi, [&] { return ::tn6820_setOutputEnable(vi, channelMask); },
        [&](Arguments &a, ViStatus) { a.hex("channelMask", channelMask); });
}

ViStatus tn6820_writeChannels(ViSession vi, ViUInt16 channelMask, ViReal64 values[])
{
    return logged(
        "tn6820_writeChannels", vi, [&] { return ::tn6820_writeChannels(vi, channelMask, values); },
        [&](Arguments &a, ViStatus) {
            a.hex("channelMask", channelMask).samples("values", values, 8);
        });
}

ViStatus tn6820_setFilter(ViSession vi, ViInt16 filter)
{
    return logged(
        "tn6820_setFilter", vi, [&] { return ::tn6820_setFilter(vi, filter); },
        [&](Arguments &a, ViStatus) { a.num("filter", filter); });
}

ViStatus tn6820_generateWaveforms(ViSession vi, ViUInt16 channelMask, ViInt32 segmentLength,
                                  ViInt32 updateRate, ViInt16 filter, ViInt16 grouping,
                                  ViReal64 buffer[])
{
    return logged(
        "tn6820_generateWaveforms", vi,
        [&] {
            return ::tn6820_generateWaveforms(vi, channelMask, segmentLength, updateRate, filter,
                                              grouping, buffer);
        },
        [&](Arguments &a, ViStatus) {
            a.hex("chanMask", channelMask)
                .num("segLen", segmentLength)
                .num("updateRate", updateRate)
                .num("filter", filter)
                .num("grouping", grouping)
                .samples("buffer", buffer, samplesIn(segmentLength, channelMask));
        });
}

ViStatus tn6820_startContWaveformEx(ViSession vi, ViUInt16 channelMask, ViInt32 samplesPerChannel,
                                    ViInt32 updateRate, ViInt16 filter, ViInt16 grouping,
                                    ViInt32 reserved, ViReal64 buffer[], ViAddr reserved2,
                                    ViAddr reserved3)
{
    return logged(
        "tn6820_startContWaveformEx", vi,
        [&] {
            return ::tn6820_startContWaveformEx(vi, channelMask, samplesPerChannel, updateRate,
                                                filter, grouping, reserved, buffer, reserved2,
                                                reserved3);
        },
        [&](Arguments &a, ViStatus) {
            a.hex("chanMask", channelMask)
                .num("samplesPerChannel", samplesPerChannel)
                .num("updateRate", updateRate)
                .num("filter", filter)
                .num("grouping", grouping)
                .num("reserved", reserved)
                .samples("buffer", buffer, samplesIn(samplesPerChannel, channelMask));
        });
}

ViStatus tn6820_stopContWaveform(ViSession vi, ViBoolean stopNow)
{
    return logged(
        "tn6820_stopContWaveform", vi, [&] { return ::tn6820_stopContWaveform(vi, stopNow); },
        [&](Arguments &a, ViStatus) { a.num("stopNow", stopNow); });
}

ViStatus tn6820_resetFIFO(ViSession vi)
{
    return logged(
        "tn6820_resetFIFO", vi, [&] { return ::tn6820_resetFIFO(vi); }, nothing);
}

} // namespace tn6820fp_logged
