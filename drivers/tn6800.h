/* Entry points and data structures of the Orbana common carrier library
 * (library tn6800_64). The structures are exchanged with the library at fixed
 * byte offsets; the static assertions below pin them. */
#ifndef SFP_TN6800_H
#define SFP_TN6800_H

#include <stddef.h>

#include "visa.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TN6800_MAX_POSITIONS 64
#define TN6800_REGISTER_SUBTYPE 0xFC

#define TN6800_ERROR_NOT_CARRIER ((ViStatus)0xBFFC0901L)
#define TN6800_ERROR_NULL_POINTER ((ViStatus)0xBFFC0902L)
#define TN6800_ERROR_INV_POSITION ((ViStatus)0xBFFC0903L)
#define TN6800_ERROR_INV_REGISTER ((ViStatus)0xBFFC0904L)
#define TN6800_ERROR_INV_HANDLE ((ViStatus)0xBFFC0905L)

/* Description of a carrier and of what sits in its positions. */
typedef struct tn6800_carrierInfo
{
    ViChar reserved[256];
    ViInt32 positionCount;                       /* byte 256 */
    ViUInt16 carrierModel;                       /* byte 260 */
    ViUInt16 positionCode[TN6800_MAX_POSITIONS]; /* byte 262; position 1 first, 0 = empty */
} tn6800_carrierInfo;

struct tn6800_carrier;

/* Reads a 16-bit register of the card in a position counted from 1. */
typedef ViStatus(VI_FUNC *tn6800_registerRead)(struct tn6800_carrier *carrier, ViInt16 position,
                                               ViUInt16 offset, ViUInt16 *value);

typedef struct tn6800_accessTable
{
    void *reserved[4];
    tn6800_registerRead readRegister; /* byte 32 */
} tn6800_accessTable;

/* Returns the access table of the given index, or null; the third argument is 1. */
typedef tn6800_accessTable *(VI_FUNC *tn6800_accessTableLookup)(struct tn6800_carrier *carrier,
                                                                ViInt32 index, ViInt32 one);

typedef struct tn6800_carrier
{
    const tn6800_carrierInfo *info; /* byte 0 */
    void *reserved[7];
    tn6800_accessTableLookup accessTable; /* byte 64 */
} tn6800_carrier;

/* Filled by the caller except for the carrier, which the library writes. */
typedef struct tn6800_carrierHandle
{
    tn6800_carrier *carrier;   /* byte 0 */
    ViInt16 reserved1;         /* byte 8, 0 */
    ViSession resourceManager; /* byte 12 */
    ViUInt32 reserved2;        /* byte 16, 0 */
    ViInt16 reserved3;         /* byte 20, 0 */
} tn6800_carrierHandle;

#if defined(__cplusplus)
#define TN6800_STATIC_ASSERT static_assert
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define TN6800_STATIC_ASSERT _Static_assert
#else
/* C99 has no static assertion: an array of negative size stops the build instead. */
#define TN6800_CONCAT2(a, b) a##b
#define TN6800_CONCAT(a, b) TN6800_CONCAT2(a, b)
#define TN6800_STATIC_ASSERT(condition, message)                                                   \
    typedef char TN6800_CONCAT(tn6800_layout_check_, __LINE__)[(condition) ? 1 : -1]
#endif
TN6800_STATIC_ASSERT(offsetof(tn6800_carrierInfo, positionCount) == 256, "info layout");
TN6800_STATIC_ASSERT(offsetof(tn6800_carrierInfo, carrierModel) == 260, "info layout");
TN6800_STATIC_ASSERT(offsetof(tn6800_carrierInfo, positionCode) == 262, "info layout");
TN6800_STATIC_ASSERT(offsetof(tn6800_accessTable, readRegister) == 32, "access table layout");
TN6800_STATIC_ASSERT(offsetof(tn6800_carrier, info) == 0, "carrier layout");
TN6800_STATIC_ASSERT(offsetof(tn6800_carrier, accessTable) == 64, "carrier layout");
TN6800_STATIC_ASSERT(offsetof(tn6800_carrierHandle, carrier) == 0, "handle layout");
TN6800_STATIC_ASSERT(offsetof(tn6800_carrierHandle, reserved1) == 8, "handle layout");
TN6800_STATIC_ASSERT(offsetof(tn6800_carrierHandle, resourceManager) == 12, "handle layout");
TN6800_STATIC_ASSERT(offsetof(tn6800_carrierHandle, reserved2) == 16, "handle layout");
TN6800_STATIC_ASSERT(offsetof(tn6800_carrierHandle, reserved3) == 20, "handle layout");

/* Writes the library's revision into a buffer of at least 40 characters. */
ViStatus VI_FUNC tn6800_revision(ViChar revision[]);
/* Negative when the session's resource is no carrier of the maker. */
ViStatus VI_FUNC tn6800_openCarrier(ViSession instrument, tn6800_carrierHandle *handle);
ViStatus VI_FUNC tn6800_closeCarrier(tn6800_carrierHandle *handle);
/* Writes the text of a VISA or library status into a buffer of 1024 characters. */
ViStatus VI_FUNC tn6800_error_message(ViStatus statusCode, ViChar message[]);
ViStatus VI_FUNC tn6800_delay(ViReal64 milliseconds);

#ifdef __cplusplus
}
#endif

#endif
