/* The three platform libraries as Windows loads them: every entry point
 * resolved by its ordinal and by its name must be the same function, and one
 * short session on the default bench runs through the pointers resolved by
 * ordinal, as the program binds them. Prints what it does; exits 1 on any
 * mismatch or failure. Built with the drivers' headers, whose static
 * assertions pin the structures under the Windows ABI. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "dllcheck_exports.h"
#include "tn6800.h"
#include "tn6820.h"
#include "visa.h"

static int failures = 0;

static void check(int ok, const char *what, long long value)
{
    printf("%s  %s (%lld)\n", ok ? "ok  " : "FAIL", what, value);
    if (!ok)
        ++failures;
}

static HMODULE moduleOf(const char *library)
{
    HMODULE m = GetModuleHandleA(library);
    return m ? m : LoadLibraryA(library);
}

static FARPROC byOrdinal(const char *library, const char *name)
{
    for (size_t i = 0; i < sizeof sfp_exports / sizeof sfp_exports[0]; ++i) {
        if (strcmp(sfp_exports[i].library, library) == 0 && strcmp(sfp_exports[i].name, name) == 0)
            return GetProcAddress(moduleOf(library), MAKEINTRESOURCEA(sfp_exports[i].ordinal));
    }
    return NULL;
}

/* A pointer of the header's own type, resolved by ordinal; void (*)(void)
 * is the type every function pointer may pass through. */
#define BIND(library, fn)                                                                          \
    __typeof__(fn) *p_##fn = (__typeof__(fn) *)(void (*)(void))byOrdinal(library, #fn)

int main(void)
{
    const char *libraries[] = {"visa64.dll", "tn6800_64.dll", "tn6820_64.dll"};
    for (size_t i = 0; i < 3; ++i) {
        HMODULE m = LoadLibraryA(libraries[i]);
        printf("%s  LoadLibrary %s\n", m ? "ok  " : "FAIL", libraries[i]);
        if (!m) {
            printf("      error %lu\n", (unsigned long)GetLastError());
            return 1;
        }
    }
    for (size_t i = 0; i < sizeof sfp_exports / sizeof sfp_exports[0]; ++i) {
        const struct sfp_export *e = &sfp_exports[i];
        HMODULE m = moduleOf(e->library);
        FARPROC ordinal = GetProcAddress(m, MAKEINTRESOURCEA(e->ordinal));
        FARPROC name = GetProcAddress(m, e->name);
        char what[160];
        snprintf(what, sizeof what, "%s @%u %s: by ordinal and by name the same", e->library,
                 e->ordinal, e->name);
        check(ordinal != NULL && ordinal == name, what, (long long)(ordinal == name));
    }

    BIND("visa64.dll", viOpenDefaultRM);
    BIND("visa64.dll", viFindRsrc);
    BIND("visa64.dll", viFindNext);
    BIND("visa64.dll", viOpen);
    BIND("visa64.dll", viClose);
    BIND("tn6800_64.dll", tn6800_openCarrier);
    BIND("tn6800_64.dll", tn6800_closeCarrier);
    BIND("tn6820_64.dll", tn6820_init);
    BIND("tn6820_64.dll", tn6820_generateWaveforms);
    BIND("tn6820_64.dll", tn6820_close);

    ViSession rm = 0;
    ViStatus status = p_viOpenDefaultRM(&rm);
    check(status == VI_SUCCESS, "viOpenDefaultRM: session", rm);
    ViFindList list = 0;
    ViUInt32 count = 0;
    ViChar descriptor[VI_FIND_BUFLEN];
    status = p_viFindRsrc(rm, "?*INSTR", &list, &count, descriptor);
    check(status == VI_SUCCESS && count > 0, "viFindRsrc ?*INSTR: resources found", count);
    printf("      %s\n", descriptor);
    for (ViUInt32 i = 1; i < count; ++i) {
        check(p_viFindNext(list, descriptor) == VI_SUCCESS, "viFindNext", i);
        printf("      %s\n", descriptor);
    }
    check(p_viClose(list) == VI_SUCCESS, "viClose of the find list", list);

    ViSession carrier = 0;
    status = p_viOpen(rm, "VXI0::8::INSTR", 0, 0, &carrier);
    check(status == VI_SUCCESS, "viOpen VXI0::8::INSTR: session", carrier);
    tn6800_carrierHandle handle;
    memset(&handle, 0, sizeof handle);
    handle.resourceManager = rm;
    const ViStatus opened = p_tn6800_openCarrier(carrier, &handle);
    check(opened >= 0 && handle.carrier != NULL, "tn6800_openCarrier: status", opened);
    if (opened >= 0 && handle.carrier) {
        const tn6800_carrierInfo *info = handle.carrier->info;
        check(info->positionCount == 4, "carrier positions", info->positionCount);
        check(info->carrierModel == 0x6800, "carrier model", info->carrierModel);
        check(info->positionCode[1] == 0x6820, "position 2 holds a 6820", info->positionCode[1]);
        tn6800_accessTable *table = handle.carrier->accessTable(handle.carrier, 1, 1);
        ViUInt16 value = 0;
        const ViStatus read =
            table ? table->readRegister(handle.carrier, 2, TN6800_REGISTER_SUBTYPE, &value)
                  : VI_ERROR_NSUP_OPER;
        check(read == VI_SUCCESS, "register 0xFC of position 2 read: value", value);
        check(p_tn6800_closeCarrier(&handle) >= 0, "tn6800_closeCarrier", 0);
    }
    check(p_viClose(carrier) == VI_SUCCESS, "viClose of the carrier", carrier);

    ViSession vi = 0;
    status = p_tn6820_init("VXI0::8::INSTR", 2, VI_TRUE, VI_TRUE, &vi);
    check(status == VI_SUCCESS, "tn6820_init VXI0::8::INSTR, card 2: session", vi);
    ViReal64 cycle[4] = {0.0, 5.0, 0.0, -5.0};
    check(p_tn6820_generateWaveforms(vi, 0x01, 4, 0, 2, tn6820_GROUP_BY_CHANNEL, cycle) ==
              VI_SUCCESS,
          "tn6820_generateWaveforms: one cycle of 4 samples at 200 kS/s on channel 1", 4);
    check(p_tn6820_close(vi) == VI_SUCCESS, "tn6820_close", vi);
    check(p_viClose(rm) == VI_SUCCESS, "viClose of the resource manager", rm);

    printf("%s\n", failures ? "FAILED" : "all passed");
    return failures ? 1 : 0;
}
