#ifndef TN6820FP_LOGGEDCALLS_H
#define TN6820FP_LOGGEDCALLS_H

#include "tn6820.h"

// The entry points of the 6820's driver that the program calls, each recorded
// in the call log with its arguments, status and duration. Same signatures
// and results as the driver's own.
namespace tn6820fp_logged {

// Adds the names of the driver's own statuses to the log's.
void nameDriverStatuses();

ViStatus tn6820_init(ViRsrc resourceName, ViInt16 fcNumber, ViBoolean idQuery, ViBoolean reset,
                     ViSession *vi);
ViStatus tn6820_close(ViSession vi);
ViStatus tn6820_reset(ViSession vi);
ViStatus tn6820_error_message(ViSession vi, ViStatus statusCode, ViChar message[]);
ViStatus tn6820_revision_query(ViSession vi, ViChar driverRevision[],
                               ViChar instrumentFirmwareRevision[]);
ViStatus tn6820_readSerialNo(ViSession vi, ViUInt32 *serialNumber, ViChar subtype[]);
ViStatus tn6820_getOutputLimits(ViSession vi, ViReal64 *lowLimit, ViReal64 *highLimit);
ViStatus tn6820_setOutputEnable(ViSession vi, ViUInt16 channelMask);
ViStatus tn6820_writeChannels(ViSession vi, ViUInt16 channelMask, ViReal64 values[]);
ViStatus tn6820_setFilter(ViSession vi, ViInt16 filter);
ViStatus tn6820_generateWaveforms(ViSession vi, ViUInt16 channelMask, ViInt32 segmentLength,
                                  ViInt32 updateRate, ViInt16 filter, ViInt16 grouping,
                                  ViReal64 buffer[]);
ViStatus tn6820_startContWaveformEx(ViSession vi, ViUInt16 channelMask, ViInt32 samplesPerChannel,
                                    ViInt32 updateRate, ViInt16 filter, ViInt16 grouping,
                                    ViInt32 reserved, ViReal64 buffer[], ViAddr reserved2,
                                    ViAddr reserved3);
ViStatus tn6820_stopContWaveform(ViSession vi, ViBoolean stopNow);
ViStatus tn6820_resetFIFO(ViSession vi);

} // namespace tn6820fp_logged

#endif
