#include "tn6800fp_loggedcalls.h"

#include "tn6800fp_calllog.h"

namespace tn6800fp_logged {

namespace {

using Arguments = tn6800fp_callArguments;

// The text a library wrote back, or none when the call failed.
const char *returned(ViStatus status, const char *text)
{
    return status >= 0 ? text : nullptr;
}

} // namespace

ViStatus viOpenDefaultRM(ViSession *sesn)
{
    return tn6800fp_logCall(
        "viOpenDefaultRM", [&] { return ::viOpenDefaultRM(sesn); },
        [&](Arguments &a, ViStatus) { a.num("*sesn", sesn ? *sesn : 0); });
}

ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViFindList *findList, ViUInt32 *retcnt,
                    ViChar instrDesc[])
{
    return tn6800fp_logCall(
        "viFindRsrc", [&] { return ::viFindRsrc(sesn, expr, findList, retcnt, instrDesc); },
        [&](Arguments &a, ViStatus status) {
            a.num("sesn", sesn)
                .text("expr", expr)
                .num("*findList", findList ? *findList : 0)
                .num("*retcnt", retcnt ? *retcnt : 0)
                .text("instrDesc", returned(status, instrDesc));
        });
}

ViStatus viFindNext(ViFindList findList, ViChar instrDesc[])
{
    return tn6800fp_logCall(
        "viFindNext", [&] { return ::viFindNext(findList, instrDesc); },
        [&](Arguments &a, ViStatus status) {
            a.num("findList", findList).text("instrDesc", returned(status, instrDesc));
        });
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViSession *vi)
{
    return tn6800fp_logCall(
        "viOpen", [&] { return ::viOpen(sesn, name, mode, timeout, vi); },
        [&](Arguments &a, ViStatus) {
            a.num("sesn", sesn)
                .text("name", name)
                .num("mode", mode)
                .num("timeout", timeout)
                .num("*vi", vi ? *vi : 0);
        });
}

ViStatus viClose(ViObject vi)
{
    return tn6800fp_logCall(
        "viClose", [&] { return ::viClose(vi); }, [&](Arguments &a, ViStatus) { a.num("vi", vi); });
}

ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void *attrValue)
{
    return tn6800fp_logCall(
        "viGetAttribute", [&] { return ::viGetAttribute(vi, attrName, attrValue); },
        [&](Arguments &a, ViStatus status) {
            a.num("vi", vi).hex("attr", attrName, 8);
            if (status < 0 || !attrValue)
                return;
            // The value read, as the attribute's type holds it.
            switch (attrName) {
            case VI_ATTR_SLOT:
                a.num("*value", *static_cast<const ViInt16 *>(attrValue));
                break;
            case VI_ATTR_INTF_TYPE:
                a.num("*value", *static_cast<const ViUInt16 *>(attrValue));
                break;
            case VI_ATTR_TCPIP_ADDR:
            case VI_ATTR_TCPIP_HOSTNAME:
            case VI_ATTR_TCPIP_DEVICE_NAME:
                a.text("value", static_cast<const char *>(attrValue));
                break;
            default:
                break;
            }
        });
}

ViStatus tn6800_revision(ViChar revision[])
{
    return tn6800fp_logCall(
        "tn6800_revision", [&] { return ::tn6800_revision(revision); },
        [&](Arguments &a, ViStatus status) { a.text("revision", returned(status, revision)); });
}

ViStatus tn6800_openCarrier(ViSession instrument, tn6800_carrierHandle *handle)
{
    return tn6800fp_logCall(
        "tn6800_openCarrier", [&] { return ::tn6800_openCarrier(instrument, handle); },
        [&](Arguments &a, ViStatus) {
            a.num("instrument", instrument)
                .num("resourceManager", handle ? handle->resourceManager : 0);
        });
}

ViStatus tn6800_closeCarrier(tn6800_carrierHandle *handle)
{
    return tn6800fp_logCall(
        "tn6800_closeCarrier", [&] { return ::tn6800_closeCarrier(handle); },
        [](Arguments &, ViStatus) {});
}

ViStatus tn6800_error_message(ViStatus statusCode, ViChar message[])
{
    return tn6800fp_logCall(
        "tn6800_error_message", [&] { return ::tn6800_error_message(statusCode, message); },
        [&](Arguments &a, ViStatus status) {
            a.hex("status", quint32(statusCode), 8).text("message", returned(status, message));
        });
}

ViStatus tn6800_delay(ViReal64 milliseconds)
{
    return tn6800fp_logCall(
        "tn6800_delay", [&] { return ::tn6800_delay(milliseconds); },
        [&](Arguments &a, ViStatus) { a.real("milliseconds", milliseconds); });
}

ViStatus readRegister(const tn6800_accessTable *table, tn6800_carrier *carrier, ViInt16 position,
                      ViUInt16 offset, ViUInt16 *value)
{
    return tn6800fp_logCall(
        "readRegister", [&] { return table->readRegister(carrier, position, offset, value); },
        [&](Arguments &a, ViStatus status) {
            a.num("position", position)
                .hex("offset", offset, 2)
                .hex("*value", status >= 0 && value ? *value : 0, 4);
        });
}

} // namespace tn6800fp_logged
