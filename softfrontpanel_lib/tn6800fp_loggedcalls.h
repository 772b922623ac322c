#ifndef TN6800FP_LOGGEDCALLS_H
#define TN6800FP_LOGGEDCALLS_H

#include "tn6800.h"
#include "visa.h"

// The entry points of VISA and of the common carrier library that the
// framework calls, each recorded in the call log (tn6800fp_calllog.h) with its
// arguments, status and duration. Same signatures and results as the
// libraries' own.
namespace tn6800fp_logged {

ViStatus viOpenDefaultRM(ViSession *sesn);
ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViFindList *findList, ViUInt32 *retcnt,
                    ViChar instrDesc[]);
ViStatus viFindNext(ViFindList findList, ViChar instrDesc[]);
ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViSession *vi);
ViStatus viClose(ViObject vi);
ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void *attrValue);

ViStatus tn6800_revision(ViChar revision[]);
ViStatus tn6800_openCarrier(ViSession instrument, tn6800_carrierHandle *handle);
ViStatus tn6800_closeCarrier(tn6800_carrierHandle *handle);
ViStatus tn6800_error_message(ViStatus statusCode, ViChar message[]);
ViStatus tn6800_delay(ViReal64 milliseconds);
// A register read through a carrier's access table.
ViStatus readRegister(const tn6800_accessTable *table, tn6800_carrier *carrier, ViInt16 position,
                      ViUInt16 offset, ViUInt16 *value);

} // namespace tn6800fp_logged

#endif
