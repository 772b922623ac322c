#include "tn6800fp_loggedcalls.h"

#include "tn6800fp_calllog.h"

namespace tn6800fp_logged {

namespace {

using Arguments = tn6800fp_callArguments;

// Writes the text a library returned, or nothing when the call failed.
const char *returned(ViStatus status, const char *text)
{
    return status >= 0 ? text : nullptr;
}

} // namespace

ViStatus viOpenDefaultRM(ViSession *sesn)
{
    tn6800fp_timedCall call("viOpenDefaultRM");
    const ViStatus status = ::viOpenDefaultRM(sesn);
    if (call.recording())
        call.done(status, Arguments().num("*sesn", sesn ? *sesn : 0));
    return status;
}

ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViFindList *findList, ViUInt32 *retcnt,
                    ViChar instrDesc[])
{
    tn6800fp_timedCall call("viFindRsrc");
    const ViStatus status = ::viFindRsrc(sesn, expr, findList, retcnt, instrDesc);
    if (call.recording())
        call.done(status, Arguments()
                              .num("sesn", sesn)
                              .text("expr", expr)
                              .num("*findList", findList ? *findList : 0)
                              .num("*retcnt", retcnt ? *retcnt : 0)
                              .text("instrDesc", returned(status, instrDesc)));
    return status;
}

ViStatus viFindNext(ViFindList findList, ViChar instrDesc[])
{
    tn6800fp_timedCall call("viFindNext");
    const ViStatus status = ::viFindNext(findList, instrDesc);
    if (call.recording())
        call.done(
            status,
            Arguments().num("findList", findList).text("instrDesc", returned(status, instrDesc)));
    return status;
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViSession *vi)
{
    tn6800fp_timedCall call("viOpen");
    const ViStatus status = ::viOpen(sesn, name, mode, timeout, vi);
    if (call.recording())
        call.done(status, Arguments()
                              .num("sesn", sesn)
                              .text("name", name)
                              .num("mode", mode)
                              .num("timeout", timeout)
                              .num("*vi", vi ? *vi : 0));
    return status;
}

ViStatus viClose(ViObject vi)
{
    tn6800fp_timedCall call("viClose");
    const ViStatus status = ::viClose(vi);
    if (call.recording())
        call.done(status, Arguments().num("vi", vi));
    return status;
}

ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void *attrValue)
{
    tn6800fp_timedCall call("viGetAttribute");
    const ViStatus status = ::viGetAttribute(vi, attrName, attrValue);
    if (call.recording())
        call.done(status, Arguments().num("vi", vi).hex("attr", attrName, 8));
    return status;
}

ViStatus tn6800_revision(ViChar revision[])
{
    tn6800fp_timedCall call("tn6800_revision");
    const ViStatus status = ::tn6800_revision(revision);
    if (call.recording())
        call.done(status, Arguments().text("revision", returned(status, revision)));
    return status;
}

ViStatus tn6800_openCarrier(ViSession instrument, tn6800_carrierHandle *handle)
{
    tn6800fp_timedCall call("tn6800_openCarrier");
    const ViStatus status = ::tn6800_openCarrier(instrument, handle);
    if (call.recording())
        call.done(status, Arguments()
                              .num("instrument", instrument)
                              .num("resourceManager", handle ? handle->resourceManager : 0));
    return status;
}

ViStatus tn6800_closeCarrier(tn6800_carrierHandle *handle)
{
    tn6800fp_timedCall call("tn6800_closeCarrier");
    const ViStatus status = ::tn6800_closeCarrier(handle);
    if (call.recording())
        call.done(status, Arguments());
    return status;
}

ViStatus tn6800_error_message(ViStatus statusCode, ViChar message[])
{
    tn6800fp_timedCall call("tn6800_error_message");
    const ViStatus status = ::tn6800_error_message(statusCode, message);
    if (call.recording())
        call.done(status, Arguments()
                              .hex("status", quint32(statusCode), 8)
                              .text("message", returned(status, message)));
    return status;
}

ViStatus tn6800_delay(ViReal64 milliseconds)
{
    tn6800fp_timedCall call("tn6800_delay");
    const ViStatus status = ::tn6800_delay(milliseconds);
    if (call.recording())
        call.done(status, Arguments().real("milliseconds", milliseconds));
    return status;
}

ViStatus readRegister(const tn6800_accessTable *table, tn6800_carrier *carrier, ViInt16 position,
                      ViUInt16 offset, ViUInt16 *value)
{
    tn6800fp_timedCall call("readRegister");
    const ViStatus status = table->readRegister(carrier, position, offset, value);
    if (call.recording())
        call.done(status, Arguments()
                              .num("position", position)
                              .hex("offset", offset, 2)
                              .hex("*value", status >= 0 && value ? *value : 0, 4));
    return status;
}

} // namespace tn6800fp_logged
