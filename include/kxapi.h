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
/*
 * Printer destinations. A printer is named by a string: a spooler queue name
 * sends a raw job to that queue (titled with port.pszJobName, or
 * "Vantrel Job"); any other name is opened as a file or port. A non-zero
 * port.wDevice sends through the maker's communication library
 * (libkvabcomm.so, loaded for the life of the job).
 *
 * The printer-talking exports end with a caller value and a caller module
 * (a handle from dlopen, or null). When the job goes to the spooler and a
 * module is given, its export KVTravelPrintCallBack is called once, after the
 * job started, with the caller value and the spooler job number (0 when the
 * job could not start).
 */
typedef int (*KxTravelPrintCallBack)(intptr_t callerValue, uint32_t jobNumber);

/* Storage commands on their own, framed in a PJL job when the descriptor
 * asks for PJL. mode: KX_RESOURCE_RAM (downloads go to RAM),
 * KX_RESOURCE_DEVICE (downloads go to the target), KX_RESOURCE_FORMAT
 * (format the target), KX_RESOURCE_DIRECTORY (print the directory); target:
 * KX_TARGET_RAM ... KX_TARGET_DISK2.
 * Returns 0; 1 for a null printer name or descriptor, a name of 260
 * characters or more, a mode outside 1-4 or a target outside 1-5; 3 when the
 * destination can be opened neither as a queue nor as a file; 7 on a short
 * write to a file; 14 when writing to the printer failed; 26 when the
 * communication library is unavailable or refuses the job; 11 out of memory. */
KXAPI_EXPORT int KxGenResource(int mode, const char *printer, const KxPrinterInfo *info, int target,
                               intptr_t callerValue, void *callerModule);

/* Asks the communication library for the type of printer at a device number
 * (low 16 bits used). Returns 2048, 32, 4 or 2 by the printer's type bits,
 * 0 when none is set or the communication library is not available. */
KXAPI_EXPORT int KxNetGetType(int device);
/* KXAPI-END output */

/* ---- Data files, sending files and strings, directory queries ---- */
/* KXAPI-SECTION data */
/* Data files: text files of printer command definitions, one record per
 * line. Fields, in order, each preceded by any run of blanks, commas, colons,
 * semicolons and other non-printing characters (tabs, carriage returns):
 * five double-quoted strings (key, description, emulation, command, variable
 * format), three numbers (range low, range high, increment; a number runs to
 * the next line feed, comma, colon or semicolon) and one double-quoted string
 * (duration); the line ends with a line feed. A quoted string takes
 * everything up to the next double quote on its line, without escapes, and
 * keeps at most its field size - 1 characters. Lines starting with "#" and
 * empty lines are skipped. */

#define KX_DAT_MODE_READ 2 /* the only open mode */

/* Results of the data-file handle exports (negative; 0 is success). */
#define KX_DAT_ERR_ARGS      (-1)  /* bad open arguments */
#define KX_DAT_ERR_FORMAT    (-2)  /* no free handle, out of memory, malformed line, close failed */
#define KX_DAT_ERR_NOT_OPEN  (-3)  /* handle not open, null argument */
#define KX_DAT_ERR_OPEN      (-5)  /* the file cannot be opened */
#define KX_DAT_ERR_NO_RECORD (-7)  /* no record qualifies / no current record */
#define KX_DAT_EOF           (-10) /* no record after the current one */

#pragma pack(push, 1)

/* One data-file record, 248 bytes. Strings are NUL-terminated within their
 * size; doubles are little-endian IEEE 754 binary64, unaligned. */
typedef struct KxDatRecord {
    char   szKey[6];        /* key; its first (up to 5) characters select records */
    char   szDescr[102];
    char   szEmulation[6];
    char   szCommand[102];
    char   szVarFormat[6];
    double dVarRangeLo;
    double dVarRangeHi;
    double dVarIncrement;
    char   szDuration[2];
} KxDatRecord;

/* Record counts by key letter (KxDatQueryCounts). */
typedef struct KxDatCounts {
    uint16_t wA, wF, wG, wP, wS, wT;        /* keys starting with A, F, G, P, S, T (any case) */
    uint16_t wSA, wSF, wSG, wSP, wSS, wST;  /* keys starting with S, by their second letter */
} KxDatCounts;

/* One described file found by KxDatQueryFiles, 316 bytes. */
typedef struct KxDatFileEntry {
    char szPath[260];               /* directory, separator, file name */
    char szDescr[48];               /* text after "#!" in the first line, at most 47 characters */
    struct KxDatFileEntry *pNext;   /* next entry; null for the last */
} KxDatFileEntry;

#pragma pack(pop)

KX_STATIC_ASSERT(sizeof(KxDatRecord) == 248, "KxDatRecord size");
KX_STATIC_ASSERT(offsetof(KxDatRecord, szKey) == 0, "KxDatRecord.szKey");
KX_STATIC_ASSERT(offsetof(KxDatRecord, szDescr) == 6, "KxDatRecord.szDescr");
KX_STATIC_ASSERT(offsetof(KxDatRecord, szEmulation) == 108, "KxDatRecord.szEmulation");
KX_STATIC_ASSERT(offsetof(KxDatRecord, szCommand) == 114, "KxDatRecord.szCommand");
KX_STATIC_ASSERT(offsetof(KxDatRecord, szVarFormat) == 216, "KxDatRecord.szVarFormat");
KX_STATIC_ASSERT(offsetof(KxDatRecord, dVarRangeLo) == 222, "KxDatRecord.dVarRangeLo");
KX_STATIC_ASSERT(offsetof(KxDatRecord, dVarRangeHi) == 230, "KxDatRecord.dVarRangeHi");
KX_STATIC_ASSERT(offsetof(KxDatRecord, dVarIncrement) == 238, "KxDatRecord.dVarIncrement");
KX_STATIC_ASSERT(offsetof(KxDatRecord, szDuration) == 246, "KxDatRecord.szDuration");
KX_STATIC_ASSERT(sizeof(KxDatCounts) == 24, "KxDatCounts size");
KX_STATIC_ASSERT(offsetof(KxDatCounts, wT) == 10, "KxDatCounts.wT");
KX_STATIC_ASSERT(offsetof(KxDatCounts, wSA) == 12, "KxDatCounts.wSA");
KX_STATIC_ASSERT(offsetof(KxDatCounts, wST) == 22, "KxDatCounts.wST");
#ifdef KX_LP64
KX_STATIC_ASSERT(sizeof(KxDatFileEntry) == 316, "KxDatFileEntry size");
KX_STATIC_ASSERT(offsetof(KxDatFileEntry, szDescr) == 260, "KxDatFileEntry.szDescr");
KX_STATIC_ASSERT(offsetof(KxDatFileEntry, pNext) == 308, "KxDatFileEntry.pNext");
#endif

/* Opens a data file for reading; pReserved is not read; nMode must be
 * KX_DAT_MODE_READ. At most four data files are open at once in the process.
 * Returns the handle 0 to 3; KX_DAT_ERR_ARGS for a null or over-long path, a
 * missing file or another mode; KX_DAT_ERR_FORMAT when no handle is free or
 * memory runs out; KX_DAT_ERR_OPEN when the file cannot be opened. */
KXAPI_EXPORT int KxDatOpenFile(const char *pszPath, const void *pReserved, int nMode);

/* Closes a data file: 0; KX_DAT_ERR_FORMAT for a negative handle or a failed
 * close (the handle is released all the same); KX_DAT_ERR_NOT_OPEN for a
 * handle that is not open. */
KXAPI_EXPORT int KxDatCloseFile(int hFile);

/* Reads from the top the first record whose key starts with pRecord->szKey
 * (up to 5 characters; an empty key takes the first record) into *pRecord.
 * Returns 0; KX_DAT_ERR_NO_RECORD when none qualifies; KX_DAT_ERR_FORMAT for
 * a malformed line (no current record afterwards); KX_DAT_ERR_NOT_OPEN for a
 * bad handle or a null record. */
KXAPI_EXPORT int KxDatGetFirstKey(int hFile, KxDatRecord *pRecord);

/* Reads the record after the current one into *pRecord, whatever its key.
 * Returns 0; KX_DAT_EOF after the last record (the current one stays);
 * KX_DAT_ERR_NO_RECORD when there is no current record; KX_DAT_ERR_FORMAT
 * for a malformed line; KX_DAT_ERR_NOT_OPEN as KxDatGetFirstKey. */
KXAPI_EXPORT int KxDatGetNextKey(int hFile, KxDatRecord *pRecord);

/* Counts the records from the first whose key starts with pRecord->szKey
 * (up to 5 characters) as long as the keys keep that prefix; *pRecord holds
 * the last record read. Returns the count; KX_DAT_ERR_NOT_OPEN for a null
 * record; KX_DAT_ERR_OPEN when the file cannot be opened (any reason
 * KxDatOpenFile refuses); a negative close result. */
KXAPI_EXPORT int KxDatQueryCount(const char *pszPath, KxDatRecord *pRecord, int nMode);

/* Counts all records by the first letter of their key (A, F, G, P, S, T,
 * either case) and, for S, by the second letter. Returns 0 or a negative
 * close result; KX_DAT_ERR_OPEN when the file cannot be opened;
 * KX_DAT_ERR_NOT_OPEN for a null pCounts. */
KXAPI_EXPORT int KxDatQueryCounts(const char *pszPath, KxDatCounts *pCounts, int nMode);

/* Sends a file to a printer as it is. pszPrinter is a spooler queue or a
 * file/port name; bAppend non-zero appends to a file destination. Framing by
 * pInfo->bFlags: with KX_PRINTER_ESCK the language switch before and the
 * job-end sequence 1B 5B 4B 01 00 06 after; with KX_PRINTER_PJL (and without
 * ESCK) the PJL job start with copies before; with PJL the PJL job end with
 * reset after; with neither flag the file is sent wCopies times (once for 0).
 * Results: 0; 1 null argument, path or name over 260 characters, nLanguage
 * outside 0 to 6; 2 file missing; 3 file cannot be opened; the channel's
 * open code (3, 11, 26); 6 read error; 7 or 14 write failure (after 14 no
 * job-end commands are sent). */
KXAPI_EXPORT int KxDatSendFile(const char *pszFile, const char *pszPrinter, const KxPrinterInfo *pInfo,
                               int bAppend);

/* Sends a command string. "$text": text with escapes (\n line feed, \xHH a
 * byte from two hexadecimal characters, \c the character c), sent up to the
 * first zero byte; "%path": exactly KxDatSendFile of path; anything else:
 * hexadecimal pairs (either case), every byte sent. Framed only by the PJL
 * job start and end (no copies, no reset) when pInfo has KX_PRINTER_PJL.
 * Results: 0; 1 null argument, printer name over 260 characters, nLanguage
 * outside 0 to 6, an odd length or a non-hexadecimal pair (nothing is
 * sent); 11 out of memory; the channel's open code; 7 or 14 write failure;
 * for "%", the KxDatSendFile results. */
KXAPI_EXPORT int KxDatSendString(const char *pszCommand, const char *pszPrinter, const KxPrinterInfo *pInfo,
                                 int bAppend);

#define KX_DAT_FILES_CFG 1 /* "*.CFG" */
#define KX_DAT_FILES_PSS 2 /* "*.PSS" */
#define KX_DAT_FILES_ANY 3 /* any other value: "*.*" */

/* Lists the files of pszDir (empty: the current directory ".") matching the
 * type's pattern, ignoring letter case, whose first line holds the marker
 * "#!" followed by a non-empty description; names starting with "." and
 * files whose path would not fit in szPath are left out. *pnCount (when not
 * null) receives the number of entries. Returns the first entry, or null
 * when none qualified or pszDir is null (then *pnCount is not touched). The
 * list belongs to the caller, who releases it with KxDatQueryFilesFree. */
KXAPI_EXPORT KxDatFileEntry *KxDatQueryFiles(const char *pszDir, int nType, int16_t *pnCount);

/* Releases every entry of a list from KxDatQueryFiles; null does nothing. */
KXAPI_EXPORT void KxDatQueryFilesFree(KxDatFileEntry *pList);
/* KXAPI-END data */

/* ---- File and path utilities ---- */
/* KXAPI-SECTION util */
/* Paths are at most KX_MAX_PATH characters; both '\\' and '/' separate
 * components; paths the library composes use '/' on POSIX systems. A name
 * that does not exist as spelled is looked up ignoring letter case when it
 * is read (never when it is created). */

/* 1 when the path is non-null, non-empty, at most KX_MAX_PATH characters,
 * exists and is readable (a directory counts); otherwise 0. */
KXAPI_EXPORT int KxFilExists(const char *pszPath);

/* Size in bytes (low 32 bits) of the first directory entry matching the
 * path, whose last component may hold the wildcards '*' and '?' (matched
 * ignoring case); 0 for a null, empty or over-long path or no match. */
KXAPI_EXPORT uint32_t KxFilQuerySize(const char *pszPath);

/* Copies pszExisting to pszNew, replacing pszNew. The copy is written beside
 * pszNew and takes its place only when complete, so a failed copy leaves
 * pszNew as it was; a file copied onto itself is left untouched (result 0).
 * Results: 0; 1 null, empty or over-long path, or an invalid parameter;
 * 2 file or path not found; 5 access denied (also a read-only target);
 * 20 disk full; 27 name too long or a directory; 28 operation not supported;
 * 31 file busy; 36 any other system error. */
KXAPI_EXPORT int KxFilCopy(const char *pszExisting, const char *pszNew);

/* Numbered backup: copies pszFile to the first free name made of its
 * directory and base name (extension dropped) plus ".001" to ".998", and
 * leaves that name in pszBackup (at least KX_MAX_PATH + 1 bytes).
 * Results: 0; 1 null or over-long argument, or a backup name that would be
 * longer than KX_MAX_PATH (nothing is written then); 27 the file does not
 * exist; 37 all 998 names are taken (pszBackup holds the .998 name);
 * otherwise a KxFilCopy result. */
KXAPI_EXPORT int KxFilBackup(const char *pszFile, char *pszBackup);

/* Line callback of KxFilModify: pszLine holds one line as read (at most 2047
 * characters plus the terminator, with its line feed when it had one); the
 * callback may change it in place, within its 2048 bytes, or empty it. */
typedef void (*KxFilLineCallback)(char *pszLine, void *pContext);

/* Rewrites a text file line by line through pfnCallback (a line longer than
 * 2047 characters arrives in pieces); lines the callback empties are
 * dropped. The new text is written to a temporary file created exclusively
 * in the temporary directory (TMPDIR) and replaces the original only after
 * the whole rewrite succeeded; on any failure the original is untouched.
 * Results: 0; 1 null, empty or over-long path or null callback; 26 no
 * temporary file can be made; 3 a file cannot be opened; 11 out of memory;
 * 6 read error; 7 write error; 4 close error; otherwise a KxFilCopy result. */
KXAPI_EXPORT int KxFilModify(const char *pszFile, void *pContext, KxFilLineCallback pfnCallback);

/* Creates every missing directory of pszPath, the last component included.
 * The path must be absolute: a leading separator plays the part of the
 * drive prefix. pszCreated, when not null (at least KX_MAX_PATH + 1 bytes),
 * is emptied and then receives "/" + name for each directory created.
 * Results: 0; 26 for a null, empty, over-long or relative path, a path
 * ending in a separator, a regular file in the way, or a directory that
 * cannot be created (creation stops at the first failure). */
KXAPI_EXPORT int KxFilMakePath(const char *pszPath, char *pszCreated);

/* 16-bit file checksum: the two's complement of the 16-bit sum of the file's
 * little-endian words, leaving out word number wSkipWord (1-based; 0 leaves
 * out none). An odd last byte forms a word with the high byte of the word
 * before it (0 for a one-byte file). When pszPath is null or empty the open
 * file descriptor hFile is read from its start and left open.
 * Results: 0; 1 null pwChecksum, over-long path, or no path and no (valid)
 * descriptor; 3 the file cannot be opened; 6 read error (the sum so far is
 * still stored); 4 close error; 11 out of memory. */
KXAPI_EXPORT int KxFilChecksum(const char *pszPath, intptr_t hFile, uint16_t wSkipWord,
                               uint16_t *pwChecksum);

/* Copy the file-name part of pszPath (after its last '\\', '/' or ':') or
 * its directory part (up to and including that character), with a to z
 * upper-cased, into pszDest (at least KX_MAX_PATH + 1 bytes; at most
 * KX_MAX_PATH characters are copied). A null pszPath gives an empty string.
 * Return pszDest, or a constant empty string when pszDest is null. */
KXAPI_EXPORT char *KxStrCpyFile(char *pszDest, const char *pszPath);
KXAPI_EXPORT char *KxStrCpyPath(char *pszDest, const char *pszPath);
/* KXAPI-END util */

/* ---- Fonts ---- */
/* KXAPI-SECTION fonts */

/* KxFontInfo.dwFlags */
#define FONT_BINARY            0x01u /* sent in binary: PFB, DLF, FMF, PFM/PSM/PBM, PCM, TFM, FOT,
                                        TTF and every PCL soft font */
#define FONT_STANDARD_ENCODING 0x02u /* set for every identified file; cleared for a PFB font
                                        whose encoding is not StandardEncoding */
#define FONT_PROPORTIONAL      0x04u /* PCL soft font with proportional spacing */
#define FONT_FLAG_08           0x08u /* DLF, FMF, PFM/PSM/PBM, PFA, PFB, AFM, PCL formats 17, 18, 20 */
#define FONT_FLAG_20           0x20u /* FMF, PFM/PSM/PBM, PFA, PFB, PCL formats 17, 18, 20 */

/* KxFontInfo.nFontClass */
#define FONT_CLASS_METRICS      2 /* metrics only: TFM, FOT, FMF, PFM/PSM/PBM, PCM */
#define FONT_CLASS_DOWNLOADABLE 3 /* PFA, PFB, DLF, PCL soft fonts */
#define FONT_CLASS_AFM          4 /* AFM metrics of a Type 1 font */
#define FONT_CLASS_TRUETYPE     5 /* TTF */

/* KxFontInfo.nFontFormat */
#define FORMAT_TYPE1                 2  /* PFA, PFB (class 3); AFM (class 4) */
#define FORMAT_DLF                   6  /* PPDS downloadable font */
#define FORMAT_PCL_RES_BITMAP        8  /* PCL bitmap, descriptor format 20 (with resolution) */
#define FORMAT_PCL_BITMAP            9  /* PCL bitmap, descriptor format 0 */
#define FORMAT_PCL_BITMAP_ALT       11  /* PCL bitmap, descriptor format 5, 9 or 12 */
#define FORMAT_PCL_BOUND_SCALABLE   17  /* PCL scalable, descriptor format 10 */
#define FORMAT_PCL_UNBOUND_SCALABLE 18  /* PCL scalable, descriptor format 11 */
#define FORMAT_PCL_TRUETYPE         20  /* PCL TrueType, descriptor format 15 */
#define FORMAT_TRUETYPE_FILE        21  /* TTF (class 5), FOT (class 2) */
#define FORMAT_TFM                  22  /* font metrics file */
#define FORMAT_FMF                  23  /* PPDS font metrics */
#define FORMAT_PFM                  25  /* Windows printer font metrics: PFM, PSM, PBM */
#define FORMAT_PCM                  28  /* printer cartridge metrics */

#pragma pack(push, 1)

/* One node of the name list of a PCM file (KxFontInfo.pNameList). The first
 * node holds the cartridge title, each further node one face name. Both the
 * text and the node come from the library's heap: release each text, then
 * each node, with KxMemFree. */
typedef struct KxFontName {
    char              *pszText; /* NUL-terminated name */
    struct KxFontName *pNext;   /* next node, or null */
} KxFontName;

/* What KxFonQueryInfo learns about one font file: 718 bytes. Text fields are
 * cut to their size minus one and NUL-terminated. */
typedef struct KxFontInfo {
    uint32_t    dwFlags;            /* FONT_* bits */
    uint32_t    nFontClass;         /* FONT_CLASS_* */
    uint32_t    nFontFormat;        /* FORMAT_* */
    uint16_t    wXResolution;       /* dots per inch; FORMAT_PCL_RES_BITMAP only */
    uint16_t    wYResolution;       /* dots per inch; FORMAT_PCL_RES_BITMAP only */
    uint32_t    dwFileSize;         /* size of the font file in bytes */
    uint32_t    dwMemoryNeeded;     /* estimated printer memory for the downloaded font */
    char        szDescription[80];  /* font name or one-line listing text */
    char        szIdentifiers[80];  /* PCL: vendor, typeface, font number; AFM: INF menu name */
    char        szSymbolSet[6];     /* PCL bound fonts: symbol-set id such as "8U" */
    char        szCompanion[260];   /* first companion file */
    char        szCompanion2[260];  /* second companion file */
    KxFontName *pNameList;          /* PCM only: title and face names; else null */
} KxFontInfo;

#pragma pack(pop)

#ifdef KX_LP64
KX_STATIC_ASSERT(sizeof(KxFontName) == 16, "KxFontName size");
KX_STATIC_ASSERT(offsetof(KxFontName, pszText) == 0, "KxFontName.pszText");
KX_STATIC_ASSERT(offsetof(KxFontName, pNext) == 8, "KxFontName.pNext");
KX_STATIC_ASSERT(sizeof(KxFontInfo) == 718, "KxFontInfo size");
KX_STATIC_ASSERT(offsetof(KxFontInfo, pNameList) == 710, "KxFontInfo.pNameList");
#endif
KX_STATIC_ASSERT(offsetof(KxFontInfo, dwFlags) == 0, "KxFontInfo.dwFlags");
KX_STATIC_ASSERT(offsetof(KxFontInfo, nFontClass) == 4, "KxFontInfo.nFontClass");
KX_STATIC_ASSERT(offsetof(KxFontInfo, nFontFormat) == 8, "KxFontInfo.nFontFormat");
KX_STATIC_ASSERT(offsetof(KxFontInfo, wXResolution) == 12, "KxFontInfo.wXResolution");
KX_STATIC_ASSERT(offsetof(KxFontInfo, wYResolution) == 14, "KxFontInfo.wYResolution");
KX_STATIC_ASSERT(offsetof(KxFontInfo, dwFileSize) == 16, "KxFontInfo.dwFileSize");
KX_STATIC_ASSERT(offsetof(KxFontInfo, dwMemoryNeeded) == 20, "KxFontInfo.dwMemoryNeeded");
KX_STATIC_ASSERT(offsetof(KxFontInfo, szDescription) == 24, "KxFontInfo.szDescription");
KX_STATIC_ASSERT(offsetof(KxFontInfo, szIdentifiers) == 104, "KxFontInfo.szIdentifiers");
KX_STATIC_ASSERT(offsetof(KxFontInfo, szSymbolSet) == 184, "KxFontInfo.szSymbolSet");
KX_STATIC_ASSERT(offsetof(KxFontInfo, szCompanion) == 190, "KxFontInfo.szCompanion");
KX_STATIC_ASSERT(offsetof(KxFontInfo, szCompanion2) == 450, "KxFontInfo.szCompanion2");

/* KxFonQueryInfo - identifies a font file and describes it.
 *   path             the font file, at most KX_MAX_PATH characters. The format
 *                    is taken from the extension (its first three characters,
 *                    any case); a file whose extension names no font format is
 *                    tested for a PCL soft-font header. Companion files are
 *                    found beside it whatever the case of their names.
 *   info             filled record; zeroed first. Required.
 *   nQueryMode       which companions are required: 2 the AFM (PFA, PFB) or FMF
 *                    (DLF); 4 the PFM, else the INF and the AFM (PFA, PFB), the
 *                    INF (AFM); 5 as 4 but a missing companion is no failure;
 *                    other values none.
 *   bIncludeMetrics  0 refuses the metric-only files AFM, FMF, PFM, PSM, PBM,
 *                    PCM and TFM.
 * Results: 0 identified; 1 null path or info, path too long, no extension;
 * 2 the file does not exist; 3 the file (or the INF companion of an AFM file in
 * mode 4) cannot be opened; 11 out of memory; 27 excluded extension (CFG, FF,
 * TYP, TXT, ME, BAT, CMD, COM, EXE), metric-only file refused, not a font of
 * its format, empty name, damaged offsets, and always for FOT files; 32 a
 * companion the mode requires is missing (the record is still filled);
 * 37 an AFM or INF file too large to be read whole. On a failure the record holds
 * what was filled before it.
 * Memory: for PCM files info->pNameList is a list the caller releases with
 * KxMemFree (each pszText, then each node); it is null for every other format.
 * The library remembers the descriptor kind of the last PCL soft font it
 * identified (font conversion uses it): serialise font calls. */
KXAPI_EXPORT int KxFonQueryInfo(const char *path, KxFontInfo *info, int nQueryMode, int bIncludeMetrics);

/* KXAPI-END fonts */

/* ---- Macros, overlays and demo files ---- */
/* KXAPI-SECTION macros */
/* KXAPI-END macros */

/* ---- INI engine, operator-panel files, QSF files ---- */
/* KXAPI-SECTION config */

/* ---- INI files ----
 * An INI file is loaded whole into memory as a list of lines by KxIniOpen or
 * KxIniOpen2, read and changed through the handle, and written back by
 * KxIniClose. Sections are lines "[name]"; entries are lines "key=value".
 * Section names, keys and (where compared) values ignore letter case;
 * leading blanks stay part of keys and values. The handle is opaque and
 * owned by the library until KxIniClose. */
typedef struct KxIniHandle KxIniHandle;

/* KxIniOpen2 modes. */
#define KX_INI_READ      1  /* read; comment lines (";") and empty lines are dropped */
#define KX_INI_READWRITE 7  /* the file must exist; every line is kept */
#define KX_INI_CREATE    8  /* the file is created or emptied at open */
#define KX_INI_APPEND    9  /* the file is created when missing; every line is kept */

/* Opens an INI file in a mode above. Lines are read in pieces of at most
 * 1019 characters; trailing blanks are cut and blanks before the first "="
 * removed. Returns the handle, or NULL when path is NULL, empty or longer
 * than 260 characters, the mode is not 1, 7, 8 or 9, the file cannot be
 * opened, or memory runs out. */
KXAPI_EXPORT KxIniHandle *KxIniOpen2(const char *path, int mode);
/* KxIniOpen2 with mode 1, but NULL also when the file holds no kept line. */
KXAPI_EXPORT KxIniHandle *KxIniOpen(const char *path);
/* Writes the file back when any write or delete call was made on the handle
 * (through a temporary file beside it, renamed over it: a failure leaves the
 * file as it was) and releases the handle in every case. Returns 1 when the
 * file did not need writing or was written, 0 when writing failed or handle
 * is NULL. */
KXAPI_EXPORT int KxIniClose(KxIniHandle *handle);
/* Copies the value of key in section, or def when the section or key is
 * missing, into buffer (size bytes) and stores its length through length.
 * Returns 0 (value found), KX_INI_DEFAULT_USED (48, default copied),
 * KX_ERR_INI_NO_SECTION (45: section missing, def NULL), KX_ERR_INI_NO_KEY
 * (41: key missing, def NULL), KX_ERR_BUFFER_SMALL (42: buffer then holds
 * exactly size characters and no terminator; *length = size),
 * KX_ERR_INVALID_ARG (1: NULL handle, section, key, buffer or length, or size
 * 0), KX_ERR_NO_MEMORY (11). */
KXAPI_EXPORT int KxIniRead2(KxIniHandle *handle, const char *section, const char *key, const char *def,
                            char *buffer, uint32_t size, uint32_t *length);
/* A search that can be continued. With a section: the first line of it that
 * matches key (its value), or without a key its first non-header line (the
 * whole text). With section NULL the search goes on from the line after the
 * one last returned, up to the next section header. Returns a pointer into
 * the handle (valid until the next change or KxIniClose) or to "" when
 * nothing is found. */
KXAPI_EXPORT const char *KxIniRead(KxIniHandle *handle, const char *section, const char *key);
/* Replaces the first entry of key in section (the section ends at an empty
 * line or a header) or adds key=value at the end of the section; a missing
 * section is appended (after an empty line) with the entry. Returns 1, or 0
 * on a NULL argument or when memory runs out (the lines are then unchanged). */
KXAPI_EXPORT int KxIniWrite(KxIniHandle *handle, const char *section, const char *key, const char *value);
/* Adds key=value to section unless an entry with the same key and value is
 * there; several entries of one key can be built this way. 1, or 0 as KxIniWrite. */
KXAPI_EXPORT int KxIniWriteAll(KxIniHandle *handle, const char *section, const char *key, const char *value);
/* With key NULL removes only the header of section (its entries join the
 * section before). Otherwise removes the first line of the section (up to the
 * next header) whose key, and when value is given whose value, match. Returns
 * 1 (also when nothing matched), 0 on a NULL handle or section. */
KXAPI_EXPORT int KxIniDelete(KxIniHandle *handle, const char *section, const char *key, const char *value);

/* ---- Operator-panel configuration files ----
 * "opc%03u.cfg" INI files, shared between callers by reference counting in a
 * process-wide table of five models. Callers serialise these calls. */

/* Default value of one control of a page (KxOpcGetPageDefaults), 8 bytes. */
#pragma pack(push, 1)
typedef struct KxOpcCtrlDefault {
    uint16_t wControlId;  /* control id */
    uint8_t  reserved[2]; /* not written */
    int32_t  nValue;      /* default value */
} KxOpcCtrlDefault;
#pragma pack(pop)
KX_STATIC_ASSERT(sizeof(KxOpcCtrlDefault) == 8, "KxOpcCtrlDefault size");
KX_STATIC_ASSERT(offsetof(KxOpcCtrlDefault, wControlId) == 0, "KxOpcCtrlDefault.wControlId");
KX_STATIC_ASSERT(offsetof(KxOpcCtrlDefault, nValue) == 4, "KxOpcCtrlDefault.nValue");

/* Opens directory/opcNNN.cfg (the current directory when directory is NULL
 * or empty) in mode 1 for the model (low 16 bits of modelId), or shares the
 * handle already open for it. Returns the handle, or NULL when five other
 * models are registered or the file cannot be opened. */
KXAPI_EXPORT KxIniHandle *KxOpcRegisterCfg(int32_t modelId, const char *directory);
/* Drops one registration; the last one closes the file (KxIniClose). Returns
 * 1 when others remain or the close succeeded, 0 when the handle is not
 * registered or the write-back failed. */
KXAPI_EXPORT int KxOpcUnregisterCfg(KxIniHandle *handle);
/* Writes "opc%03u.cfg" for the model into buffer (at least 18 bytes).
 * Returns 1, or 0 when buffer is NULL. */
KXAPI_EXPORT int KxOpcGetFileName(int32_t modelId, char *buffer);
/* Limits of a spin control from "Spin Limits": *first and *second are set to
 * 0, then from the value "a;b;c": first = a, second = b, third = c; when a is
 * -1, b goes to *third. An empty value leaves *third unchanged. */
KXAPI_EXPORT void KxOpcGetSpinControlLimits(KxIniHandle *handle, int32_t controlId, int32_t *first,
                                            int32_t *second, int32_t *third);
/* Maximum length of an edit control from "Edit Lengths" (0 when missing). */
KXAPI_EXPORT int16_t KxOpcGetMaxEditLength(KxIniHandle *handle, int32_t controlId);
/* The numbers of a list control from "Combos" into buffer (size bytes, 2 per
 * number). Returns the count; with buffer NULL the bytes needed; -1 when the
 * buffer is too small (the bytes needed are stored in buffer[0] when it has
 * room for them); -2 when the entry is missing or empty (or handle is NULL);
 * -3 when memory runs out. */
KXAPI_EXPORT int KxOpcGetTextListing(KxIniHandle *handle, int32_t controlId, int32_t listNumber,
                                     int16_t *buffer, int32_t size);
/* Default values of a page's controls. Returns the count; with records NULL
 * the bytes needed (8 per control); -1 when size is smaller (the bytes needed
 * are stored in records[0].wControlId when size is at least 2); -2 when the
 * page is missing or memory runs out. */
KXAPI_EXPORT int KxOpcGetPageDefaults(KxIniHandle *handle, int32_t page, KxOpcCtrlDefault *records, int32_t size);
/* Variable numbers of a page, two bytes each, high byte first. Returns the
 * number stored; with buffer NULL the bytes needed; -1 when size is smaller
 * (the bytes needed stored as a 16-bit number in the first two bytes when
 * size is at least 2); -2 when the page is missing or memory runs out. */
KXAPI_EXPORT int KxOpcGetPageOmVars(KxIniHandle *handle, int32_t page, uint8_t *buffer, int32_t size);

/* ---- QSF files ----
 * Binary files of printer-variable blocks behind a 74-byte header: magic
 * "QS", a 16-bit checksum of the whole file (word 2 left out), a type byte,
 * two flags, and the offsets and words of blocks 1, 2 and 5. */
typedef struct KxQsfHandle KxQsfHandle;

#define KX_QSF_REQUIRED 1  /* KxQsfIniGetSection types */
#define KX_QSF_OPTIONAL 2
#define KX_QSF_EXCLUDE  3
#define KX_QSF_ORDER    4

/* Opens and validates a QSF file of the given type (low 8 bits). Returns 0
 * with *handle set; otherwise *handle is NULL and the result is 1 (NULL or
 * over-long path, NULL handle pointer), 3 (cannot open, header short or
 * unreadable), 44 (type differs), 29 (bad magic or flags), 43 (checksum
 * mismatch), 6 (read error while summing) or 11. */
KXAPI_EXPORT int KxQsfOpen(const char *path, int type, KxQsfHandle **handle);
/* Hands block 1, 2 or 5 to the caller in a new buffer (released with
 * KxMemFree); when both flags are 1 the buffer starts with the block length
 * (32-bit little-endian) and the block word high byte first. Both outputs are
 * cleared first. Returns 0 (with *buffer NULL when the block's word is 0),
 * 1 (NULL argument, type not 1, 2 or 5), 8 (seek failed), 6 (read error),
 * 9 (the block's extent runs past the end of the file, or the file ends
 * early), 11. Errors 6, 8 and 9 stick: later calls on the handle return them. */
KXAPI_EXPORT int KxQsfGetVariables(KxQsfHandle *handle, int type, void **buffer, int16_t *word);
/* Closes the file and releases the handle; NULL does nothing. */
KXAPI_EXPORT void KxQsfClose(KxQsfHandle *handle);
/* Reads the variable list of section "%03d" + REQUIRED/OPTIONAL/EXCLUDE/
 * ORDER (types 1 to 4; types 3 and 4 fall back to DEFAULTEXCLUDE and
 * DEFAULTORDER) from an INI file: NUMVARS numbers from the lines OMVARS1 to
 * OMVARSn (n = NUMENTRIES), hexadecimal. Returns 0 with *vars (NUMVARS
 * numbers stored high byte first, released with KxMemFree) and *count;
 * otherwise both are cleared and the result is 1, 11, 27 (counts zero or not
 * matching), or 41, 42, 45 from KxIniRead2. */
KXAPI_EXPORT int KxQsfIniGetSection(KxIniHandle *ini, int type, int section, uint16_t **vars, uint16_t *count);

/* KXAPI-END config */

/* ---- Option-information and job-accounting parsers ---- */
/* KXAPI-SECTION parse */
/* Option information and job-accounting/alert data arrive as one
 * self-describing block (integers big-endian):
 *   offset 0  u16  L, the number of bytes that follow; the block is L + 2 bytes
 *   offset 2  u16  not read
 *   offset 4  three layout groups, then the element stream
 * A layout group is two characters (e.g. "P{"), then items "NAME:SIZE"
 * separated by ",", then "}": the tag layout, the container layout and the
 * data layout, in that order. NAME is one of ID DT NE SE LD DA TD DL TL VN BF
 * DD; SIZE is the field's width in bytes. Every element starts with the tag
 * fields (ID: element number, DT: 0 container, 1 integer, 2 text); a
 * container continues with the container fields (NE: number of children,
 * LD: byte length of the children) and its children; an integer or text
 * element continues with the data fields (LD: value length; the value bytes
 * stand where DA stands). Other fields are stepped over. The fields ID, DT,
 * NE and LD must be 1, 2 or 4 bytes wide. An integer value is the
 * big-endian number of its 1, 2 or 4 bytes (other lengths give 0); an
 * integer read from a text element is 0, a text read from an integer
 * element is empty.
 *
 * The parsers read nothing outside the L + 2 bytes of the block: a stream
 * that runs past its end, a number field of another width, a child count
 * that cannot fit in the bytes left, or an element that makes no progress
 * gives NULL, with everything allocated released. */

#pragma pack(push, 1)

/* One option, 16 bytes. */
typedef struct KxOptionEntry {
    int32_t nValue1;  /* element 1 of the option */
    int32_t nValue5;  /* element 5 of the option */
    char   *pszText;  /* element 6, terminated; "" when its length is 0; NULL when absent */
} KxOptionEntry;

/* One option group, 28 bytes. */
typedef struct KxOptionGroup {
    char    *pszText1;  /* element 1; NULL when absent or empty */
    char    *pszText2;  /* element 2; NULL when absent or empty */
    int32_t  nValues;   /* number of values (element 3's child count) */
    int32_t *pnValues;  /* nValues numbers; NULL when nValues is 0 */
} KxOptionGroup;

/* Result of KxParseOptionInfo, 24 bytes. */
typedef struct KxOptionInfo {
    int32_t        nOptions;  /* child count of element 1 */
    KxOptionEntry *pOptions;  /* nOptions entries; NULL when nOptions is 0 */
    int32_t        nGroups;   /* child count of element 3 */
    KxOptionGroup *pGroups;   /* nGroups entries; NULL when nGroups is 0 */
} KxOptionInfo;

/* Job record, 173 bytes. Fields are named after the element path they come
 * from below the job element (n1_7 / sz1_7: child 7 of child 1). Integers
 * are little-endian; texts are NUL-terminated and cut to their size - 1. */
typedef struct KxJobRecord {
    int32_t n1_1, n1_2, n1_3, n1_4, n1_5, n1_6;
    char    sz1_7[10];
    int32_t n1_8, n1_9, n1_10;
    char    sz1_11[16];
    char    sz2_1[41];
    char    sz2_2[21];
    char    sz2_3[21];
    int32_t n2_4, n2_5, n2_6, n2_7, n2_8, n2_9, n2_10;
} KxJobRecord;

/* Alert record, 74 bytes, named like the job record. */
typedef struct KxAlertRecord {
    int32_t n1_1;
    int32_t n2_1, n2_2, n2_3, n2_4, n2_5;
    char    sz2_6[16];
    int32_t n2_7;
    char    sz2_8[10];
    int32_t n3_1, n3_2, n3_3, n3_4, n3_5;
} KxAlertRecord;

/* Result of KxParseJobAccountingAlert, 16 bytes. */
typedef struct KxJobAccount {
    KxJobRecord   *pJob;    /* NULL when the block holds no job element */
    KxAlertRecord *pAlert;  /* NULL when the block holds no alert element */
} KxJobAccount;

#pragma pack(pop)

KX_STATIC_ASSERT(sizeof(KxJobRecord) == 173, "KxJobRecord size");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n1_1) == 0, "KxJobRecord.n1_1");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n1_2) == 4, "KxJobRecord.n1_2");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n1_3) == 8, "KxJobRecord.n1_3");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n1_4) == 12, "KxJobRecord.n1_4");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n1_5) == 16, "KxJobRecord.n1_5");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n1_6) == 20, "KxJobRecord.n1_6");
KX_STATIC_ASSERT(offsetof(KxJobRecord, sz1_7) == 24, "KxJobRecord.sz1_7");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n1_8) == 34, "KxJobRecord.n1_8");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n1_9) == 38, "KxJobRecord.n1_9");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n1_10) == 42, "KxJobRecord.n1_10");
KX_STATIC_ASSERT(offsetof(KxJobRecord, sz1_11) == 46, "KxJobRecord.sz1_11");
KX_STATIC_ASSERT(offsetof(KxJobRecord, sz2_1) == 62, "KxJobRecord.sz2_1");
KX_STATIC_ASSERT(offsetof(KxJobRecord, sz2_2) == 103, "KxJobRecord.sz2_2");
KX_STATIC_ASSERT(offsetof(KxJobRecord, sz2_3) == 124, "KxJobRecord.sz2_3");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n2_4) == 145, "KxJobRecord.n2_4");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n2_5) == 149, "KxJobRecord.n2_5");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n2_6) == 153, "KxJobRecord.n2_6");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n2_7) == 157, "KxJobRecord.n2_7");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n2_8) == 161, "KxJobRecord.n2_8");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n2_9) == 165, "KxJobRecord.n2_9");
KX_STATIC_ASSERT(offsetof(KxJobRecord, n2_10) == 169, "KxJobRecord.n2_10");
KX_STATIC_ASSERT(sizeof(KxAlertRecord) == 74, "KxAlertRecord size");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n1_1) == 0, "KxAlertRecord.n1_1");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n2_1) == 4, "KxAlertRecord.n2_1");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n2_2) == 8, "KxAlertRecord.n2_2");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n2_3) == 12, "KxAlertRecord.n2_3");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n2_4) == 16, "KxAlertRecord.n2_4");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n2_5) == 20, "KxAlertRecord.n2_5");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, sz2_6) == 24, "KxAlertRecord.sz2_6");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n2_7) == 40, "KxAlertRecord.n2_7");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, sz2_8) == 44, "KxAlertRecord.sz2_8");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n3_1) == 54, "KxAlertRecord.n3_1");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n3_2) == 58, "KxAlertRecord.n3_2");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n3_3) == 62, "KxAlertRecord.n3_3");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n3_4) == 66, "KxAlertRecord.n3_4");
KX_STATIC_ASSERT(offsetof(KxAlertRecord, n3_5) == 70, "KxAlertRecord.n3_5");
#ifdef KX_LP64
KX_STATIC_ASSERT(sizeof(KxOptionEntry) == 16, "KxOptionEntry size");
KX_STATIC_ASSERT(offsetof(KxOptionEntry, nValue1) == 0, "KxOptionEntry.nValue1");
KX_STATIC_ASSERT(offsetof(KxOptionEntry, nValue5) == 4, "KxOptionEntry.nValue5");
KX_STATIC_ASSERT(offsetof(KxOptionEntry, pszText) == 8, "KxOptionEntry.pszText");
KX_STATIC_ASSERT(sizeof(KxOptionGroup) == 28, "KxOptionGroup size");
KX_STATIC_ASSERT(offsetof(KxOptionGroup, pszText1) == 0, "KxOptionGroup.pszText1");
KX_STATIC_ASSERT(offsetof(KxOptionGroup, pszText2) == 8, "KxOptionGroup.pszText2");
KX_STATIC_ASSERT(offsetof(KxOptionGroup, nValues) == 16, "KxOptionGroup.nValues");
KX_STATIC_ASSERT(offsetof(KxOptionGroup, pnValues) == 20, "KxOptionGroup.pnValues");
KX_STATIC_ASSERT(sizeof(KxOptionInfo) == 24, "KxOptionInfo size");
KX_STATIC_ASSERT(offsetof(KxOptionInfo, nOptions) == 0, "KxOptionInfo.nOptions");
KX_STATIC_ASSERT(offsetof(KxOptionInfo, pOptions) == 4, "KxOptionInfo.pOptions");
KX_STATIC_ASSERT(offsetof(KxOptionInfo, nGroups) == 12, "KxOptionInfo.nGroups");
KX_STATIC_ASSERT(offsetof(KxOptionInfo, pGroups) == 16, "KxOptionInfo.pGroups");
KX_STATIC_ASSERT(sizeof(KxJobAccount) == 16, "KxJobAccount size");
KX_STATIC_ASSERT(offsetof(KxJobAccount, pJob) == 0, "KxJobAccount.pJob");
KX_STATIC_ASSERT(offsetof(KxJobAccount, pAlert) == 8, "KxJobAccount.pAlert");
#endif

/* Parses an option-information block (L + 2 bytes, see above). The stream
 * holds one top-level element; when it is container 1, its child 1 lists the
 * options (each option a container whose children 1, 5 and 6 fill an entry)
 * and its child 3 the option groups (each a container whose children 1 and 2
 * are texts and child 3 a container of values, each value a container whose
 * child 1 is the number). Other elements are stepped over.
 * Returns the record, or NULL for a NULL block, an invalid header or stream,
 * or when memory runs out. Everything returned is owned by the library:
 * release it with KxFreeOptionInfo. */
KXAPI_EXPORT KxOptionInfo *KxParseOptionInfo(const void *pBlock);
/* Releases a record from KxParseOptionInfo with every text and array it
 * points to; NULL does nothing. */
KXAPI_EXPORT void KxFreeOptionInfo(KxOptionInfo *pInfo);

/* Parses a job-accounting/alert block (L + 2 bytes, see above). Top-level
 * elements are read until the block ends; within each top-level container 1,
 * child 2 is the job element (its containers 1 and 2 fill the job record) and
 * child 3 the alert element (its containers 1, 2 and 3 fill the alert
 * record). A later job or alert element replaces an earlier one.
 * Returns the result, or NULL for a NULL block, an invalid header or stream,
 * or when memory runs out. Owned by the library: release it with
 * KxFreeJobAccount. */
KXAPI_EXPORT KxJobAccount *KxParseJobAccountingAlert(const void *pBlock);
/* Releases a result of KxParseJobAccountingAlert and both records; NULL does
 * nothing. */
KXAPI_EXPORT void KxFreeJobAccount(KxJobAccount *pAccount);
/* KXAPI-END parse */

/* ---- Support web addresses ---- */
/* KXAPI-SECTION web */

/* Page kinds of the support web site. */
#define KX_WEB_DRIVERS      1
#define KX_WEB_FIRMWARE     2
#define KX_WEB_HOMEPAGE     3
#define KX_WEB_FLEETWATCH   4
#define KX_WEB_REGISTRATION 5
#define KX_WEB_SUPPLIES     6
#define KX_WEB_TECHSUPPORT  7
#define KX_WEB_PUBLICATIONS 8

/* Builds BASE/NA/<page word>/<language>/<printer> into buffer (size bytes),
 * BASE being the support-site address the library was built with. printer
 * -1 leaves the printer part out; other codes are translated to the site's
 * printer numbers. With an INI handle, each part may be overridden: section
 * AREA_PREFIX (key: the page word in upper case) replaces BASE/NA, AREA the
 * page word, LANGUAGE (key: the language number) the language, PRINTER (key:
 * the translated number) the printer number; an empty value leaves a part
 * out. Returns 0, or KX_INI_DEFAULT_USED (48) when the last INI look-up used
 * its default; 1 (NULL buffer, kind not 1 to 8), 44 (printer code not known),
 * 42 (buffer too small), or another KxIniRead2 code. Every failure but a
 * NULL buffer empties the buffer (when size > 0). */
KXAPI_EXPORT int KxWebGetURL(int printer, int kind, int language, char *buffer, uint32_t size, KxIniHandle *ini);
/* Builds BASE/MD/?func=..&lang=..&prtr=BFFFMMM&ctry=XXXXXXXX&os=N into
 * buffer from the page kind, the language (low 16 bits of a Windows language
 * id), the printer family and model numbers, the user's language id and the
 * system version. Each part needs room for itself and one spare byte beyond
 * the terminator. Returns 0, 1 (NULL buffer, kind not 1 to 8, size 0), 42
 * (buffer too small) or 11; failures empty the buffer. */
KXAPI_EXPORT int KxWebGetCGIURL(uint32_t family, uint32_t model, int kind, uint32_t langid, char *buffer,
                                uint32_t size);

/* KXAPI-END web */

/* ---- ZIP extraction ---- */
/* KXAPI-SECTION zip */
/* Called by KxZipExplode after each member that was extracted without any
 * problem: the path of the file just written (relative to the current
 * directory, parts joined with '/'; valid only during the call), the member's
 * compressed size, and that size as a percentage (rounded half up) of the
 * compressed sizes of all central-directory entries read so far in the call
 * (0 when that total is 0). The extraction cannot be stopped from here. */
typedef void (*KxZipCallback)(const char *pszPath, uint32_t dwCompressedSize, uint16_t wPercent);

/* Extracts the members of a ZIP archive below the current directory,
 * creating the directories their names hold and replacing existing files.
 *   pszArchive  path of the archive (at most 260 characters); when it does
 *               not exist or is a directory, pszArchive with ".zip" appended
 *   pszPattern  NULL or "": every member; else one wildcard pattern (at most
 *               260 characters) matched against the whole stored name:
 *               letters match either case, '?' one character, '*' any run
 *               (tried only where the name holds the next pattern character,
 *               with its case), [set] with ranges, '!'/'^' negation and '\'
 *               quoting, compared with case
 *   pfnCallback NULL, or called after each member extracted without a
 *               problem; when set, the first member that fails (cannot be
 *               created, does not decode, a short write, a CRC-32 mismatch)
 *               stops the run
 * Methods decoded: stored, shrunk, reduced (1-4), imploded, deflated.
 * Encrypted members, tokenized or other methods, members that need a version
 * above 2.0 and members made on VMS hosts are skipped (result stays 0).
 * A member whose name is absolute or has a ".." part, or whose path runs
 * through an existing symbolic link, is not written (an error noted); an
 * existing link at a member's own path is replaced, never followed. Each
 * file's modification time is set from the member's DOS date and time taken
 * as they stand. Files written before a failure stay.
 * Returns the most severe outcome of the run:
 *   0  success, or only warnings (skipped members, CRC-32 mismatch, name cut
 *      to 259 bytes, bytes before the archive, empty archive)
 *   1  pszArchive NULL or longer than 260, or pszPattern longer than 260
 *   2  the archive (also with ".zip") does not exist, or spans several disks
 *   3  the archive cannot be opened
 *   9  the archive ends inside a record
 *  11  out of memory
 *  20  a write to an extracted file failed
 *  27  not a ZIP archive (no end record in the last 65557 bytes), a damaged
 *      directory or local header, a refused or uncreatable path, a member
 *      that does not decode or decodes to more than its declared size
 *  31  an extracted file cannot be created
 * Not reentrant: calls must not overlap. */
KXAPI_EXPORT int KxZipExplode(const char *pszArchive, const char *pszPattern, KxZipCallback pfnCallback);

/* Archive creation is not offered. Same arguments as KxZipExplode; returns 1
 * for the same bad arguments, otherwise 32 (not supported). Touches no file. */
KXAPI_EXPORT int KxZipImplode(const char *pszArchive, const char *pszPattern, KxZipCallback pfnCallback);
/* KXAPI-END zip */

#ifdef __cplusplus
} /* extern "C" */
#endif
#endif /* KXAPI_H */
