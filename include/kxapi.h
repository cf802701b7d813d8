/*
 * kxapi.h - public interface of the kxapi printer-utility library.
 *
 * Plain C (C99 and C++). Every record that crosses the boundary is packed,
 * little-endian, with fixed byte offsets; the offsets are pinned by the
 * static assertions at the end of this header. Strings are single-byte and
 * NUL-terminated; paths are at most KX_MAX_PATH (260) characters.
 *
 * Memory the library hands out comes from its own heap and goes back through
 * the matching release export or KxMemFree, never through the caller's free().
 */
#ifndef KXAPI_H
#define KXAPI_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#  if defined(KXAPI_BUILDING)
#    define KXAPI_EXPORT __declspec(dllexport)
#  else
#    define KXAPI_EXPORT __declspec(dllimport)
#  endif
#else
#  define KXAPI_EXPORT __attribute__((visibility("default")))
#endif

/* Layout checks: a slip in a record layout fails the build. Records that
 * hold pointers are checked for the 64-bit layout the offsets are given for. */
#ifdef __cplusplus
#  define KX_STATIC_ASSERT(c, m) static_assert(c, m)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#  define KX_STATIC_ASSERT(c, m) _Static_assert(c, m)
#elif defined(__GNUC__)
#  define KX_STATIC_ASSERT(c, m) __extension__ _Static_assert(c, m)
#else
#  define KX_STATIC_ASSERT(c, m) typedef char kx_static_assert_##__LINE__[(c) ? 1 : -1]
#endif
#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
#  define KX_LP64 1
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------ */
/* General                                                            */
/* ------------------------------------------------------------------ */

#define KX_MAX_PATH 260

/* Result codes shared by every family (0 is success). */
#define KX_OK                   0
#define KX_ERR_INVALID_ARG      1  /* null pointer, over-long path, value out of range */
#define KX_ERR_NOT_FOUND        2  /* input file or its path does not exist */
#define KX_ERR_OPEN             3  /* cannot open queue, file or output */
#define KX_ERR_CLOSE            4  /* error while closing a file */
#define KX_ERR_ACCESS           5  /* access denied */
#define KX_ERR_READ             6  /* read error on an input file */
#define KX_ERR_WRITE            7  /* short write on an output file */
#define KX_ERR_SEEK             8  /* seek error in a QSF file */
#define KX_ERR_EOF              9  /* unexpected end of file */
#define KX_ERR_NO_MEMORY       11  /* out of memory */
#define KX_ERR_PRINTER_WRITE   14  /* writing to the printer failed */
#define KX_ERR_INVALID_DRIVE   16  /* not a valid disk */
#define KX_ERR_DISK_FULL       20  /* disk full; extracted file write failed */
#define KX_ERR_COMM_LIBRARY    26  /* communication library unavailable or refusing;
                                      path cannot be built; no temporary name */
#define KX_ERR_INVALID_FILE    27  /* wrong format or type, damaged file */
#define KX_ERR_DRIVE_LOCKED    28  /* drive locked, extended attributes unsupported */
#define KX_ERR_INVALID_CONTENT 29  /* not a macro of the language; bad QSF magic */
#define KX_ERR_SHARING         31  /* file in use; extracted file cannot be created */
#define KX_ERR_NOT_SUPPORTED   32  /* unsupported mode; companion file missing */
#define KX_ERR_SYSTEM          36  /* any other system error; converted size mismatch */
#define KX_ERR_LIMIT           37  /* limit exceeded */
#define KX_ERR_INI_NO_KEY      41  /* INI key missing, no default */
#define KX_ERR_BUFFER_SMALL    42  /* output buffer too small */
#define KX_ERR_CHECKSUM        43  /* QSF checksum mismatch */
#define KX_ERR_TYPE_MISMATCH   44  /* QSF of another type; unknown printer code */
#define KX_ERR_INI_NO_SECTION  45  /* INI section missing, no default */
#define KX_ERR_PCLXL           46  /* not a stream macro, or stream conversion failed */
#define KX_ERR_CONTAINS_PCLXL  47  /* PCL/PostScript/PPDS file containing PCL XL */
#define KX_INI_DEFAULT_USED    48  /* informational: value not found, default returned */

/* Printer languages (KxPrinterInfo.nLanguage). */
#define KX_LANG_NONE        0
#define KX_LANG_SWITCH_ONLY 1
#define KX_LANG_PPDS        2
#define KX_LANG_POSTSCRIPT  3
#define KX_LANG_GL          4
#define KX_LANG_PCL         5
#define KX_LANG_PCLXL       6

/* KxPrinterInfo.bFlags */
#define KX_PRINTER_PJL  0x08  /* wrap jobs in PJL */
#define KX_PRINTER_ESCK 0x10  /* printer takes ESC [ K command sequences */

/* Storage targets (KxGenResource, downloads). */
#define KX_TARGET_RAM    1
#define KX_TARGET_FLASH1 2
#define KX_TARGET_FLASH2 3
#define KX_TARGET_DISK1  4
#define KX_TARGET_DISK2  5

/* KxGenResource modes. */
#define KX_RESOURCE_RAM       1  /* downloads go to printer memory */
#define KX_RESOURCE_DEVICE    2  /* downloads go to the storage target */
#define KX_RESOURCE_FORMAT    3  /* format the storage target */
#define KX_RESOURCE_DIRECTORY 4  /* print the storage directory */

/* KxNetGetType results. */
#define KX_NETTYPE_NONE 0
#define KX_NETTYPE_2    2
#define KX_NETTYPE_4    4
#define KX_NETTYPE_32   32
#define KX_NETTYPE_2048 2048

#pragma pack(push, 1)

/* Port part of the printer descriptor (nested at offset 28 of KxPrinterInfo). */
typedef struct KxPortInfo {
    uint8_t     reserved[11];
    uint16_t    wAdapter;   /* adapter number for the communication library */
    uint16_t    wDevice;    /* non-zero: use the communication library */
    const char *pszJobName; /* job name, panel message; may be null */
} KxPortInfo;

/* The caller's printer descriptor, 52 bytes. */
typedef struct KxPrinterInfo {
    uint8_t    bFlags;          /* KX_PRINTER_PJL, KX_PRINTER_ESCK */
    uint8_t    reserved1[3];
    int32_t    nDeviceClass;    /* 2: storage downloads start with the device-class prefix */
    int32_t    nLanguage;       /* KX_LANG_* (0 to 6) */
    uint32_t   nFontQueryMode;  /* mode handed to KxFonQueryInfo by KxFonDownload */
    uint8_t    reserved2[4];
    uint16_t   wCopies;         /* copies; 0 sends no copies command */
    uint16_t   wResourceId;     /* font or macro number */
    int16_t    sPpdsValue1;
    int16_t    sPpdsValue2;
    KxPortInfo port;
    uint8_t    bSwitchValue;    /* non-zero: byte 6 of the language switch */
} KxPrinterInfo;

#pragma pack(pop)

#ifdef KX_LP64
KX_STATIC_ASSERT(sizeof(KxPortInfo) == 23, "KxPortInfo size");
KX_STATIC_ASSERT(offsetof(KxPortInfo, wAdapter) == 11, "KxPortInfo.wAdapter");
KX_STATIC_ASSERT(offsetof(KxPortInfo, wDevice) == 13, "KxPortInfo.wDevice");
KX_STATIC_ASSERT(offsetof(KxPortInfo, pszJobName) == 15, "KxPortInfo.pszJobName");
KX_STATIC_ASSERT(sizeof(KxPrinterInfo) == 52, "KxPrinterInfo size");
KX_STATIC_ASSERT(offsetof(KxPrinterInfo, bFlags) == 0, "KxPrinterInfo.bFlags");
KX_STATIC_ASSERT(offsetof(KxPrinterInfo, nDeviceClass) == 4, "KxPrinterInfo.nDeviceClass");
KX_STATIC_ASSERT(offsetof(KxPrinterInfo, nLanguage) == 8, "KxPrinterInfo.nLanguage");
KX_STATIC_ASSERT(offsetof(KxPrinterInfo, nFontQueryMode) == 12, "KxPrinterInfo.nFontQueryMode");
KX_STATIC_ASSERT(offsetof(KxPrinterInfo, wCopies) == 20, "KxPrinterInfo.wCopies");
KX_STATIC_ASSERT(offsetof(KxPrinterInfo, wResourceId) == 22, "KxPrinterInfo.wResourceId");
KX_STATIC_ASSERT(offsetof(KxPrinterInfo, sPpdsValue1) == 24, "KxPrinterInfo.sPpdsValue1");
KX_STATIC_ASSERT(offsetof(KxPrinterInfo, sPpdsValue2) == 26, "KxPrinterInfo.sPpdsValue2");
KX_STATIC_ASSERT(offsetof(KxPrinterInfo, port) == 28, "KxPrinterInfo.port");
KX_STATIC_ASSERT(offsetof(KxPrinterInfo, bSwitchValue) == 51, "KxPrinterInfo.bSwitchValue");
#endif

/* Fills the caller's 128-byte record (64 16-bit words) with the API
 * information; always returns 0. */
KXAPI_EXPORT int KxGenQueryApiInfo(void *info);

/* Releases a block the library handed out; null does nothing. */
KXAPI_EXPORT void KxMemFree(void *block);

/* No queue or adapter enumeration is offered: returns 0 when buffer is
 * non-null and the low 16 bits of size are at least 1024, else 1. The buffer
 * is never written. Both names are one function. */
KXAPI_EXPORT int KxGenQueryQueues(int reserved1, int reserved2, void *buffer, uint32_t size);
KXAPI_EXPORT int KxGenQueryAdapters(int reserved1, int reserved2, void *buffer, uint32_t size);

/* ---- Output channel and printer command layer ---- */
/* KXAPI-SECTION output */
/* KXAPI-END output */

/* ---- Data files, sending files and strings, directory queries ---- */
/* KXAPI-SECTION data */
/* KXAPI-END data */

/* ---- File and path utilities ---- */
/* KXAPI-SECTION util */
/* KXAPI-END util */

/* ---- Fonts ---- */
/* KXAPI-SECTION fonts */
/* KXAPI-END fonts */

/* ---- Macros, overlays and demo files ---- */
/* KXAPI-SECTION macros */
/* KXAPI-END macros */

/* ---- INI engine, operator-panel files, QSF files ---- */
/* KXAPI-SECTION config */
/* KXAPI-END config */

/* ---- Option-information and job-accounting parsers ---- */
/* KXAPI-SECTION parse */
/* KXAPI-END parse */

/* ---- Support web addresses ---- */
/* KXAPI-SECTION web */
/* KXAPI-END web */

/* ---- ZIP extraction ---- */
/* KXAPI-SECTION zip */
/* KXAPI-END zip */

#ifdef __cplusplus
} /* extern "C" */
#endif
#endif /* KXAPI_H */
