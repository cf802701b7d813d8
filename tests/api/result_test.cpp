#include <gtest/gtest.h>

#include "api/result.h"
#include "kxapi.h"

// The C constants and the internal table are one list of values.
TEST(ResultCodes, HeaderConstantsMatchTable)
{
    using kx::Result;
    struct Pair {
        int c;
        Result r;
    } pairs[] = {
        {KX_OK, Result::Ok}, {KX_ERR_INVALID_ARG, Result::InvalidArg}, {KX_ERR_NOT_FOUND, Result::NotFound},
        {KX_ERR_OPEN, Result::CannotOpen}, {KX_ERR_CLOSE, Result::CloseError},
        {KX_ERR_ACCESS, Result::AccessDenied}, {KX_ERR_READ, Result::ReadError},
        {KX_ERR_WRITE, Result::WriteError}, {KX_ERR_SEEK, Result::SeekError},
        {KX_ERR_EOF, Result::UnexpectedEof}, {KX_ERR_NO_MEMORY, Result::NoMemory},
        {KX_ERR_PRINTER_WRITE, Result::PrinterWrite}, {KX_ERR_INVALID_DRIVE, Result::InvalidDrive},
        {KX_ERR_DISK_FULL, Result::DiskFull}, {KX_ERR_COMM_LIBRARY, Result::CommLibrary},
        {KX_ERR_INVALID_FILE, Result::InvalidFile}, {KX_ERR_DRIVE_LOCKED, Result::DriveLocked},
        {KX_ERR_INVALID_CONTENT, Result::InvalidContent}, {KX_ERR_SHARING, Result::Sharing},
        {KX_ERR_NOT_SUPPORTED, Result::NotSupported}, {KX_ERR_SYSTEM, Result::SystemError},
        {KX_ERR_LIMIT, Result::Limit}, {KX_ERR_INI_NO_KEY, Result::IniNoKey},
        {KX_ERR_BUFFER_SMALL, Result::BufferSmall}, {KX_ERR_CHECKSUM, Result::Checksum},
        {KX_ERR_TYPE_MISMATCH, Result::TypeMismatch}, {KX_ERR_INI_NO_SECTION, Result::IniNoSection},
        {KX_ERR_PCLXL, Result::PclXl}, {KX_ERR_CONTAINS_PCLXL, Result::ContainsPclXl},
        {KX_INI_DEFAULT_USED, Result::IniDefaultUsed},
    };
    for (const auto &p : pairs) {
        EXPECT_EQ(p.c, kx::code(p.r));
        EXPECT_NE(kx::result_text(p.c), "unknown result") << p.c;
    }
    EXPECT_EQ(kx::result_text(10), "unknown result");
}
