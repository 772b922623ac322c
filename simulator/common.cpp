// Stand-in for the Orbana common carrier library: carrier descriptions,
// register access, status texts and the delay.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <set>
#include <thread>

#include <iterator>

#include "bench.h"
#include "tn6800.h"

using namespace orbsim;

namespace {

struct CarrierObject
{
    tn6800_carrier carrier; // first, so a tn6800_carrier* is a CarrierObject*
    int index;
    ViSession instrument; // the VISA session the carrier was opened through
    tn6800_accessTable tables[2];
};

std::mutex g_objectsMutex;
std::set<const tn6800_carrier *> g_objects;

bool knownCarrier(const tn6800_carrier *carrier)
{
    std::lock_guard<std::mutex> lock(g_objectsMutex);
    return g_objects.count(carrier) != 0;
}

// A real library reaches the carrier through its VISA session: once that is
// closed, the carrier object is good for nothing but being freed.
bool sessionOpen(const tn6800_carrier *carrier)
{
    Bench &b = Bench::instance();
    std::lock_guard<std::mutex> lock(b.mutex());
    return b.session(reinterpret_cast<const CarrierObject *>(carrier)->instrument) != nullptr;
}

// The latency the bench gives an entry point for a known carrier object's resource.
void delayFor(const char *function, const tn6800_carrier *carrier)
{
    Bench &b = Bench::instance();
    b.delay(function,
            b.firstResourceOfCarrier(reinterpret_cast<const CarrierObject *>(carrier)->index));
}

ViStatus registerOf(tn6800_carrier *carrier, ViInt16 position, ViUInt16 offset, ViUInt16 *value)
{
    if (!carrier || !value || !knownCarrier(carrier))
        return TN6800_ERROR_NULL_POINTER;
    delayFor("readRegister", carrier);
    if (!sessionOpen(carrier))
        return VI_ERROR_INV_OBJECT;
    const tn6800_carrierInfo *info = carrier->info;
    if (!info)
        return TN6800_ERROR_NULL_POINTER;
    if (position < 1 || position > info->positionCount)
        return TN6800_ERROR_INV_POSITION;
    const CarrierObject *obj = reinterpret_cast<const CarrierObject *>(carrier);
    // The bench's carriers are not changed while sessions are open, so the read needs no lock.
    const Position &p = Bench::instance()
                            .data()
                            .carriers[static_cast<std::size_t>(obj->index)]
                            .positions[static_cast<std::size_t>(position - 1)];
    if (offset == 0) {
        *value = p.code;
    } else if (offset == TN6800_REGISTER_SUBTYPE) {
        *value = p.subtypeChars.size() == 2
                     ? static_cast<ViUInt16>((static_cast<unsigned char>(p.subtypeChars[0]) << 8) |
                                             static_cast<unsigned char>(p.subtypeChars[1]))
                     : 0;
    } else {
        return TN6800_ERROR_INV_REGISTER;
    }
    return VI_SUCCESS;
}

// Reached through the carrier's access table, and traced like every entry point.
ViStatus VI_FUNC readRegister(tn6800_carrier *carrier, ViInt16 position, ViUInt16 offset,
                              ViUInt16 *value)
{
    Call call("readRegister");
    call.arg("position", static_cast<long long>(position)).argHex("offset", offset);
    const ViStatus status = registerOf(carrier, position, offset, value);
    call.argHex("*value", status >= 0 && value ? *value : 0);
    return call.finish(status);
}

tn6800_accessTable *VI_FUNC accessTable(tn6800_carrier *carrier, ViInt32 index, ViInt32 one)
{
    if (!carrier || one != 1 || index < 0 || index > 1 || !knownCarrier(carrier) ||
        !sessionOpen(carrier))
        return nullptr;
    return &reinterpret_cast<CarrierObject *>(carrier)->tables[index];
}

const StatusText kTexts[] = {
    {VI_SUCCESS, "Operation completed successfully."},
    {VI_ERROR_SYSTEM_ERROR, "Unknown system error (miscellaneous error)."},
    {VI_ERROR_INV_OBJECT, "The given session or object reference is invalid."},
    {VI_ERROR_RSRC_LOCKED, "Specified type of lock cannot be obtained, or specified operation "
                           "cannot be performed, because the resource is locked."},
    {VI_ERROR_INV_EXPR, "Invalid expression specified for search."},
    {VI_ERROR_RSRC_NFOUND, "Insufficient location information or the requested device or "
                           "resource is not present in the system."},
    {VI_ERROR_INV_RSRC_NAME, "Invalid resource reference specified. Parsing error."},
    {VI_ERROR_INV_ACC_MODE, "Invalid access mode."},
    {VI_ERROR_TMO, "Timeout expired before operation completed."},
    {VI_ERROR_NSUP_ATTR, "The specified attribute is not defined or supported by the referenced "
                         "session, event, or find list."},
    {VI_ERROR_NSUP_OPER, "The given session or object reference does not support this "
                         "operation."},
    {VI_ERROR_RSRC_BUSY, "The resource is valid, but VISA cannot currently access it."},
    {VI_ERROR_LIBRARY_NFOUND, "A code library required by VISA could not be located or loaded."},
    {VI_ERROR_FAIL_ID_QUERY, "Instrument identification query failed."},
    {TN6800_ERROR_NOT_CARRIER, "The resource is not an Orbana carrier."},
    {TN6800_ERROR_NULL_POINTER, "A required pointer argument is null or unknown."},
    {TN6800_ERROR_INV_POSITION, "The carrier has no such position."},
    {TN6800_ERROR_INV_REGISTER, "The register offset is not readable."},
    {TN6800_ERROR_INV_HANDLE, "The carrier handle is not prepared as the library requires."},
};

} // namespace

extern "C" {

ViStatus VI_FUNC tn6800_revision(ViChar revision[])
{
    Call call("tn6800_revision");
    if (call.injectedError())
        return call.finish(VI_SUCCESS);
    if (!revision)
        return call.finish(TN6800_ERROR_NULL_POINTER);
    Bench &b = Bench::instance();
    b.delay("tn6800_revision");
    std::lock_guard<std::mutex> lock(b.mutex());
    copyText(b.data().card.commonRevision, revision);
    call.arg("revision", revision);
    return call.finish(VI_SUCCESS);
}

ViStatus VI_FUNC tn6800_openCarrier(ViSession instrument, tn6800_carrierHandle *handle)
{
    Call call("tn6800_openCarrier");
    call.arg("instrument", static_cast<long long>(instrument));
    if (handle)
        call.arg("resourceManager", static_cast<long long>(handle->resourceManager));
    Bench &b = Bench::instance();
    const int resource = b.resourceOfSession(instrument);
    if (call.injectedError(resource))
        return call.finish(VI_SUCCESS);
    if (!handle)
        return call.finish(TN6800_ERROR_NULL_POINTER);
    handle->carrier = nullptr;
    b.delay("tn6800_openCarrier", resource);
    int index = -1;
    {
        std::lock_guard<std::mutex> lock(b.mutex());
        Session *s = b.session(instrument);
        if (!s || s->kind != SessionKind::Instrument)
            return call.finish(VI_ERROR_INV_OBJECT);
        // The library opens further sessions through the caller's resource
        // manager, so it must be the one the instrument was opened from.
        const Session *rm = b.session(handle->resourceManager);
        if (!rm || rm->kind != SessionKind::ResourceManager ||
            s->parent != handle->resourceManager || handle->reserved1 != 0 ||
            handle->reserved2 != 0 || handle->reserved3 != 0)
            return call.finish(TN6800_ERROR_INV_HANDLE);
        index = b.data().resources[static_cast<std::size_t>(s->resource)].carrier;
        if (index < 0)
            return call.finish(TN6800_ERROR_NOT_CARRIER);
    }
    auto *obj = new CarrierObject();
    const Carrier &c = b.data().carriers[static_cast<std::size_t>(index)];
    obj->carrier.info = c.hasDescription ? &c.info : nullptr;
    obj->carrier.accessTable = c.hasAccessTables ? accessTable : nullptr;
    obj->index = index;
    obj->instrument = instrument;
    obj->tables[1].readRegister = readRegister;
    {
        std::lock_guard<std::mutex> lock(g_objectsMutex);
        g_objects.insert(&obj->carrier);
    }
    handle->carrier = &obj->carrier;
    return call.finish(VI_SUCCESS);
}

ViStatus VI_FUNC tn6800_closeCarrier(tn6800_carrierHandle *handle)
{
    Call call("tn6800_closeCarrier");
    const bool known = handle && handle->carrier && knownCarrier(handle->carrier);
    const int resource = known
                             ? Bench::instance().firstResourceOfCarrier(
                                   reinterpret_cast<const CarrierObject *>(handle->carrier)->index)
                             : -1;
    if (call.injectedError(resource))
        return call.finish(VI_SUCCESS);
    if (!known)
        return call.finish(TN6800_ERROR_NULL_POINTER);
    delayFor("tn6800_closeCarrier", handle->carrier);
    const bool open = sessionOpen(handle->carrier);
    {
        std::lock_guard<std::mutex> lock(g_objectsMutex);
        if (!g_objects.erase(handle->carrier))
            return call.finish(TN6800_ERROR_NULL_POINTER);
    }
    delete reinterpret_cast<CarrierObject *>(handle->carrier);
    handle->carrier = nullptr;
    // Freed all the same, but the close it should have made failed.
    return call.finish(open ? VI_SUCCESS : VI_ERROR_INV_OBJECT);
}

ViStatus VI_FUNC tn6800_error_message(ViStatus statusCode, ViChar message[])
{
    Call call("tn6800_error_message");
    call.arg("status", static_cast<long long>(statusCode));
    if (call.injectedError())
        return call.finish(VI_SUCCESS);
    if (!message)
        return call.finish(TN6800_ERROR_NULL_POINTER);
    Bench::instance().delay("tn6800_error_message");
    if (writeStatusText(statusCode, kTexts, std::size(kTexts), message, call))
        return call.finish(VI_SUCCESS);
    char text[64];
    std::snprintf(text, sizeof text, "Unknown status code 0x%08X.",
                  static_cast<unsigned>(statusCode));
    copyText(text, message);
    call.arg("message", message);
    return call.finish(VI_ERROR_PARAMETER1);
}

ViStatus VI_FUNC tn6800_delay(ViReal64 milliseconds)
{
    Call call("tn6800_delay");
    call.arg("milliseconds", milliseconds);
    if (call.injectedError())
        return call.finish(VI_SUCCESS);
    if (!(milliseconds >= 0) || milliseconds > 3600e3)
        return call.finish(VI_ERROR_PARAMETER1);
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(milliseconds));
    return call.finish(VI_SUCCESS);
}

} // extern "C"
