/* Entry points of the Orbana 6820 instrument driver (library tn6820_64). */
#ifndef SFP_TN6820_H
#define SFP_TN6820_H

#include "visa.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Sample layout of the waveform buffers: one block per selected channel. */
#define tn6820_GROUP_BY_CHANNEL 0

#define TN6820_ERROR_NOT_CARRIER ((ViStatus)0xBFFC0801L)
#define TN6820_ERROR_NO_CARD ((ViStatus)0xBFFC0802L)
#define TN6820_ERROR_INV_FC_NUMBER ((ViStatus)0xBFFC0803L)
#define TN6820_ERROR_INV_CHANNEL_MASK ((ViStatus)0xBFFC0804L)
#define TN6820_ERROR_INV_SEGMENT ((ViStatus)0xBFFC0805L)
#define TN6820_ERROR_INV_RATE ((ViStatus)0xBFFC0806L)
#define TN6820_ERROR_INV_FILTER ((ViStatus)0xBFFC0807L)
#define TN6820_ERROR_MEMORY_OVERFLOW ((ViStatus)0xBFFC0808L)
#define TN6820_ERROR_NULL_POINTER ((ViStatus)0xBFFC0809L)
#define TN6820_WARN_OUTPUT_CLIPPED ((ViStatus)0x3FFC0801L)

ViStatus VI_FUNC tn6820_init(ViRsrc resourceName, ViInt16 fcNumber, ViBoolean idQuery,
                             ViBoolean reset, ViSession *vi);
ViStatus VI_FUNC tn6820_close(ViSession vi);
ViStatus VI_FUNC tn6820_reset(ViSession vi);
/* Writes the text of a status into a buffer of 1024 characters; returns
 * non-zero when the status is unknown. */
ViStatus VI_FUNC tn6820_error_message(ViSession vi, ViStatus statusCode, ViChar message[]);
/* Either buffer may be null; revisions are at most 63 characters. */
ViStatus VI_FUNC tn6820_revision_query(ViSession vi, ViChar driverRevision[],
                                       ViChar instrumentFirmwareRevision[]);
/* The subtype is at most 15 characters. */
ViStatus VI_FUNC tn6820_readSerialNo(ViSession vi, ViUInt32 *serialNumber, ViChar subtype[]);
ViStatus VI_FUNC tn6820_getOutputLimits(ViSession vi, ViReal64 *lowLimit, ViReal64 *highLimit);
ViStatus VI_FUNC tn6820_setOutputEnable(ViSession vi, ViUInt16 channelMask);
/* values holds eight volts, channel 1 first; only masked channels change. */
ViStatus VI_FUNC tn6820_writeChannels(ViSession vi, ViUInt16 channelMask, ViReal64 values[]);
ViStatus VI_FUNC tn6820_setFilter(ViSession vi, ViInt16 filter);
/* One cycle of segmentLength samples on each masked channel; the buffer holds
 * segmentLength samples per masked channel, channels in ascending order. */
ViStatus VI_FUNC tn6820_generateWaveforms(ViSession vi, ViUInt16 channelMask, ViInt32 segmentLength,
                                          ViInt32 updateRate, ViInt16 filter, ViInt16 grouping,
                                          ViReal64 buffer[]);
/* Continuous output of samplesPerChannel samples per masked channel, repeated
 * until stopped; returns while the output goes on. */
ViStatus VI_FUNC tn6820_startContWaveformEx(ViSession vi, ViUInt16 channelMask,
                                            ViInt32 samplesPerChannel, ViInt32 updateRate,
                                            ViInt16 filter, ViInt16 grouping, ViInt32 reserved,
                                            ViReal64 buffer[], ViAddr reserved2, ViAddr reserved3);
ViStatus VI_FUNC tn6820_stopContWaveform(ViSession vi, ViBoolean stopNow);
ViStatus VI_FUNC tn6820_resetFIFO(ViSession vi);

#ifdef __cplusplus
}
#endif

#endif
