/* The subset of the VISA API (VXIplug&play) that the soft front panel and the
 * platform libraries use, written from the published standard. Plain C. */
#ifndef SFP_VISA_H
#define SFP_VISA_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define VI_FUNC __stdcall
#else
#define VI_FUNC
#endif

typedef uint32_t ViUInt32;
typedef int32_t ViInt32;
typedef uint16_t ViUInt16;
typedef int16_t ViInt16;
typedef unsigned char ViUInt8;
typedef char ViChar;
typedef ViChar *ViString;
typedef const ViChar *ViConstString;
typedef ViString ViRsrc;
typedef ViConstString ViConstRsrc;
typedef double ViReal64;
typedef ViUInt16 ViBoolean;
typedef ViInt32 ViStatus;
typedef ViUInt32 ViObject;
typedef ViObject ViSession;
typedef ViObject ViFindList;
typedef ViUInt32 ViAttr;
typedef ViUInt32 ViAccessMode;
typedef void *ViAddr;
typedef ViAddr ViAttrState;

#define VI_NULL 0
#define VI_TRUE ((ViBoolean)1)
#define VI_FALSE ((ViBoolean)0)
#define VI_FIND_BUFLEN 256

/* Completion and warning codes. */
#define VI_SUCCESS ((ViStatus)0)
#define VI_WARN_NSUP_ID_QUERY ((ViStatus)0x3FFC0101L)
#define VI_WARN_NSUP_RESET ((ViStatus)0x3FFC0102L)
#define VI_SUCCESS_MAX_CNT ((ViStatus)0x3FFF0006L)
#define VI_WARN_CONFIG_NLOADED ((ViStatus)0x3FFF0077L)
#define VI_SUCCESS_DEV_NPRESENT ((ViStatus)0x3FFF007DL)
#define VI_WARN_NULL_OBJECT ((ViStatus)0x3FFF0082L)
#define VI_WARN_NSUP_ATTR_STATE ((ViStatus)0x3FFF0084L)
#define VI_WARN_UNKNOWN_STATUS ((ViStatus)0x3FFF0085L)

/* Error codes. */
#define VI_ERROR_SYSTEM_ERROR ((ViStatus)0xBFFF0000L)
#define VI_ERROR_INV_OBJECT ((ViStatus)0xBFFF000EL)
#define VI_ERROR_RSRC_LOCKED ((ViStatus)0xBFFF000FL)
#define VI_ERROR_INV_EXPR ((ViStatus)0xBFFF0010L)
#define VI_ERROR_RSRC_NFOUND ((ViStatus)0xBFFF0011L)
#define VI_ERROR_INV_RSRC_NAME ((ViStatus)0xBFFF0012L)
#define VI_ERROR_INV_ACC_MODE ((ViStatus)0xBFFF0013L)
#define VI_ERROR_TMO ((ViStatus)0xBFFF0015L)
#define VI_ERROR_NSUP_ATTR ((ViStatus)0xBFFF001DL)
#define VI_ERROR_NSUP_OPER ((ViStatus)0xBFFF0067L)
#define VI_ERROR_RSRC_BUSY ((ViStatus)0xBFFF0072L)
#define VI_ERROR_LIBRARY_NFOUND ((ViStatus)0xBFFF009EL)
#define VI_ERROR_PARAMETER1 ((ViStatus)0xBFFC0001L)
#define VI_ERROR_PARAMETER2 ((ViStatus)0xBFFC0002L)
#define VI_ERROR_PARAMETER3 ((ViStatus)0xBFFC0003L)
#define VI_ERROR_PARAMETER4 ((ViStatus)0xBFFC0004L)
#define VI_ERROR_FAIL_ID_QUERY ((ViStatus)0xBFFC0011L)
#define VI_ERROR_INV_RESPONSE ((ViStatus)0xBFFC0012L)

/* Attributes. */
#define VI_ATTR_SLOT ((ViAttr)0x3FFF00E8UL)
#define VI_ATTR_INTF_TYPE ((ViAttr)0x3FFF0171UL)
#define VI_ATTR_TCPIP_ADDR ((ViAttr)0xBFFF0195UL)
#define VI_ATTR_TCPIP_HOSTNAME ((ViAttr)0xBFFF0196UL)
#define VI_ATTR_TCPIP_DEVICE_NAME ((ViAttr)0xBFFF0199UL)

/* Interface types (values of VI_ATTR_INTF_TYPE). */
#define VI_INTF_GPIB 1
#define VI_INTF_VXI 2
#define VI_INTF_GPIB_VXI 3
#define VI_INTF_ASRL 4
#define VI_INTF_TCPIP 6

ViStatus VI_FUNC viOpenDefaultRM(ViSession *sesn);
ViStatus VI_FUNC viFindRsrc(ViSession sesn, ViConstString expr, ViFindList *findList,
                            ViUInt32 *retcnt, ViChar instrDesc[]);
ViStatus VI_FUNC viFindNext(ViFindList findList, ViChar instrDesc[]);
ViStatus VI_FUNC viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                        ViSession *vi);
ViStatus VI_FUNC viClose(ViObject vi);
/* String attributes are written into a caller buffer of 256 bytes. */
ViStatus VI_FUNC viGetAttribute(ViObject vi, ViAttr attrName, void *attrValue);

#ifdef __cplusplus
}
#endif

#endif
