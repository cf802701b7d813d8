// Result codes of the library: one table giving the C++ enum and the text
// that the kx tool prints. The C constants in kxapi.h carry the same values;
// tests/api checks the two agree.
#pragma once

#include <string_view>

namespace kx {

#define KX_RESULT_TABLE(X)                                                        \
    X(Ok, 0, "success")                                                           \
    X(InvalidArg, 1, "invalid argument")                                          \
    X(NotFound, 2, "file not found")                                              \
    X(CannotOpen, 3, "cannot open")                                               \
    X(CloseError, 4, "error while closing a file")                                \
    X(AccessDenied, 5, "access denied")                                           \
    X(ReadError, 6, "read error")                                                 \
    X(WriteError, 7, "write error")                                               \
    X(SeekError, 8, "seek error")                                                 \
    X(UnexpectedEof, 9, "unexpected end of file")                                 \
    X(NoMemory, 11, "out of memory")                                              \
    X(PrinterWrite, 14, "writing to the printer failed")                          \
    X(InvalidDrive, 16, "not a valid disk")                                       \
    X(DiskFull, 20, "disk full")                                                  \
    X(CommLibrary, 26, "communication library unavailable or refusing")           \
    X(InvalidFile, 27, "invalid or unsupported file")                             \
    X(DriveLocked, 28, "drive locked")                                            \
    X(InvalidContent, 29, "invalid content")                                      \
    X(Sharing, 31, "sharing violation")                                           \
    X(NotSupported, 32, "not supported")                                          \
    X(SystemError, 36, "system error")                                            \
    X(Limit, 37, "limit exceeded")                                                \
    X(IniNoKey, 41, "key missing and no default")                                 \
    X(BufferSmall, 42, "output buffer too small")                                 \
    X(Checksum, 43, "checksum mismatch")                                          \
    X(TypeMismatch, 44, "type mismatch")                                          \
    X(IniNoSection, 45, "section missing and no default")                         \
    X(PclXl, 46, "not a PCL XL stream macro, or stream conversion failed")        \
    X(ContainsPclXl, 47, "file contains PCL XL")                                  \
    X(IniDefaultUsed, 48, "value not found, default returned")

enum class Result : int {
#define KX_RESULT_ENUM(name, value, text) name = value,
    KX_RESULT_TABLE(KX_RESULT_ENUM)
#undef KX_RESULT_ENUM
};

constexpr int code(Result r) { return static_cast<int>(r); }

// The message for a result code; "unknown result" for a value outside the table.
constexpr std::string_view result_text(int value)
{
#define KX_RESULT_CASE(name, v, text) \
    if (value == v) return text;
    KX_RESULT_TABLE(KX_RESULT_CASE)
#undef KX_RESULT_CASE
    return "unknown result";
}

} // namespace kx
