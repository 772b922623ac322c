// Stand-in for the VISA library: the resource manager, resource search,
// sessions and attributes of the simulated bench.
#include <cstring>

#include "bench.h"

using namespace orbsim;

namespace {

std::string deviceNameOf(const Carrier &carrier, const std::string &descriptor)
{
    if (!carrier.deviceName.empty())
        return carrier.deviceName;
    // TCPIP[board]::host[::device]::INSTR; the device defaults to inst0.
    std::vector<std::string> tokens;
    std::size_t start = 0;
    for (std::size_t sep; (sep = descriptor.find("::", start)) != std::string::npos;
         start = sep + 2)
        tokens.push_back(descriptor.substr(start, sep - start));
    tokens.push_back(descriptor.substr(start));
    return tokens.size() == 4 ? tokens[2] : std::string("inst0");
}

} // namespace

extern "C" {

ViStatus VI_FUNC viOpenDefaultRM(ViSession *sesn)
{
    Call call("viOpenDefaultRM");
    if (call.injectedError()) {
        if (sesn)
            *sesn = 0;
        return call.finish(VI_SUCCESS);
    }
    if (!sesn)
        return call.finish(VI_ERROR_INV_ACC_MODE);
    Bench &b = Bench::instance();
    b.delay("viOpenDefaultRM");
    {
        std::lock_guard<std::mutex> lock(b.mutex());
        Session s;
        s.kind = SessionKind::ResourceManager;
        *sesn = b.addSession(s);
    }
    call.arg("*sesn", static_cast<long long>(*sesn));
    return call.finish(VI_SUCCESS);
}

ViStatus VI_FUNC viFindRsrc(ViSession sesn, ViConstString expr, ViFindList *findList,
                            ViUInt32 *retcnt, ViChar instrDesc[])
{
    Call call("viFindRsrc");
    call.arg("sesn", static_cast<long long>(sesn)).arg("expr", expr);
    if (call.injectedError()) {
        if (retcnt)
            *retcnt = 0;
        return call.finish(VI_SUCCESS);
    }
    if (!expr)
        return call.finish(VI_ERROR_INV_EXPR);
    Bench &b = Bench::instance();
    b.delay("viFindRsrc");
    std::lock_guard<std::mutex> lock(b.mutex());
    Session *rm = b.session(sesn);
    if (!rm || rm->kind != SessionKind::ResourceManager)
        return call.finish(VI_ERROR_INV_OBJECT);
    Session list;
    list.kind = SessionKind::FindList;
    list.parent = sesn;
    for (const Resource &r : b.data().resources) {
        if (globMatch(expr, r.descriptor.c_str()))
            list.found.push_back(r.descriptor);
    }
    if (retcnt)
        *retcnt = static_cast<ViUInt32>(list.found.size());
    if (list.found.empty()) {
        if (findList)
            *findList = 0;
        call.arg("*retcnt", 0LL);
        return call.finish(VI_ERROR_RSRC_NFOUND);
    }
    copyText(list.found[0], instrDesc);
    list.next = 1;
    ViSession id = b.addSession(list);
    if (findList)
        *findList = id;
    call.arg("*findList", static_cast<long long>(id))
        .arg("*retcnt", static_cast<long long>(list.found.size()))
        .arg("instrDesc", instrDesc);
    return call.finish(VI_SUCCESS);
}

ViStatus VI_FUNC viFindNext(ViFindList findList, ViChar instrDesc[])
{
    Call call("viFindNext");
    call.arg("findList", static_cast<long long>(findList));
    if (call.injectedError())
        return call.finish(VI_SUCCESS);
    Bench &b = Bench::instance();
    b.delay("viFindNext");
    std::lock_guard<std::mutex> lock(b.mutex());
    Session *list = b.session(findList);
    if (!list || list->kind != SessionKind::FindList)
        return call.finish(VI_ERROR_INV_OBJECT);
    if (list->next >= list->found.size())
        return call.finish(VI_ERROR_RSRC_NFOUND);
    copyText(list->found[list->next++], instrDesc);
    call.arg("instrDesc", instrDesc);
    return call.finish(VI_SUCCESS);
}

ViStatus VI_FUNC viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                        ViSession *vi)
{
    Call call("viOpen");
    call.arg("sesn", static_cast<long long>(sesn))
        .arg("name", name)
        .arg("mode", static_cast<long long>(mode))
        .arg("timeout", static_cast<long long>(timeout));
    if (vi)
        *vi = 0;
    Bench &b = Bench::instance();
    int named = -1;
    if (name) {
        std::lock_guard<std::mutex> lock(b.mutex());
        named = b.findResource(name);
    }
    if (call.injectedError(named))
        return call.finish(VI_SUCCESS);
    if (!name)
        return call.finish(VI_ERROR_INV_RSRC_NAME);
    int index = -1;
    ViStatus openStatus = VI_SUCCESS;
    {
        std::lock_guard<std::mutex> lock(b.mutex());
        Session *rm = b.session(sesn);
        if (!rm || rm->kind != SessionKind::ResourceManager)
            return call.finish(VI_ERROR_INV_OBJECT);
        index = b.findResource(name);
        if (index < 0)
            return call.finish(VI_ERROR_RSRC_NFOUND);
        openStatus = b.data().resources[static_cast<std::size_t>(index)].openStatus;
    }
    // The latency of a slow network instrument; the bench stays unlocked meanwhile.
    b.delay("viOpen", index);
    if (openStatus < 0)
        return call.finish(openStatus);
    if (!vi)
        return call.finish(VI_ERROR_INV_ACC_MODE);
    std::lock_guard<std::mutex> lock(b.mutex());
    if (!b.session(sesn))
        return call.finish(VI_ERROR_INV_OBJECT); // closed while we waited
    Session s;
    s.kind = SessionKind::Instrument;
    s.parent = sesn;
    s.resource = index;
    *vi = b.addSession(s);
    call.arg("*vi", static_cast<long long>(*vi));
    return call.finish(VI_SUCCESS);
}

ViStatus VI_FUNC viClose(ViObject vi)
{
    Call call("viClose");
    call.arg("vi", static_cast<long long>(vi));
    Bench &b = Bench::instance();
    const int resource = b.resourceOfSession(vi);
    if (call.injectedError(resource))
        return call.finish(VI_SUCCESS);
    b.delay("viClose", resource);
    std::lock_guard<std::mutex> lock(b.mutex());
    if (!b.session(vi))
        return call.finish(VI_ERROR_INV_OBJECT);
    b.removeSession(vi);
    return call.finish(VI_SUCCESS);
}

ViStatus VI_FUNC viGetAttribute(ViObject vi, ViAttr attrName, void *attrValue)
{
    Call call("viGetAttribute");
    call.arg("vi", static_cast<long long>(vi)).argHex("attr", attrName);
    Bench &b = Bench::instance();
    const int resource = b.resourceOfSession(vi);
    if (call.injectedError(resource))
        return call.finish(VI_SUCCESS);
    b.delay("viGetAttribute", resource);
    std::lock_guard<std::mutex> lock(b.mutex());
    Session *s = b.session(vi);
    if (!s)
        return call.finish(VI_ERROR_INV_OBJECT);
    if (!attrValue)
        return call.finish(VI_ERROR_INV_ACC_MODE);
    if (s->kind != SessionKind::Instrument)
        return call.finish(VI_ERROR_NSUP_ATTR);
    const Resource &r = b.data().resources[static_cast<std::size_t>(s->resource)];
    const Carrier *c =
        r.carrier >= 0 ? &b.data().carriers[static_cast<std::size_t>(r.carrier)] : nullptr;
    const bool tcpip = r.interfaceType == VI_INTF_TCPIP;
    auto text = [&](const std::string &value) {
        copyText(value, static_cast<char *>(attrValue));
        call.arg("value", value.c_str());
        return call.finish(VI_SUCCESS);
    };
    switch (attrName) {
    case VI_ATTR_INTF_TYPE: {
        ViUInt16 v = r.interfaceType;
        std::memcpy(attrValue, &v, sizeof v);
        call.arg("value", static_cast<long long>(v));
        return call.finish(VI_SUCCESS);
    }
    case VI_ATTR_SLOT: {
        if (!c || r.interfaceType != VI_INTF_VXI)
            return call.finish(VI_ERROR_NSUP_ATTR);
        ViInt16 v = c->slot;
        std::memcpy(attrValue, &v, sizeof v);
        call.arg("value", static_cast<long long>(v));
        return call.finish(VI_SUCCESS);
    }
    case VI_ATTR_TCPIP_ADDR:
        if (!tcpip || !c)
            return call.finish(VI_ERROR_NSUP_ATTR);
        return text(c->address);
    case VI_ATTR_TCPIP_HOSTNAME:
        if (!tcpip || !c || c->hostname.empty())
            return call.finish(VI_ERROR_NSUP_ATTR);
        return text(c->hostname);
    case VI_ATTR_TCPIP_DEVICE_NAME:
        if (!tcpip || !c)
            return call.finish(VI_ERROR_NSUP_ATTR);
        return text(deviceNameOf(*c, r.descriptor));
    default:
        return call.finish(VI_ERROR_NSUP_ATTR);
    }
}

// Test hook: reads the bench again (see Bench::reload).
void orbsim_reload(void)
{
    Bench::instance().reload();
}

} // extern "C"
