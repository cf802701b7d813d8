// Without a communication library on the loader path.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "output_test_support.h"

using namespace kxtest;

TEST(NoCommLibrary, OpenGives26AndNetGetTypeGives0)
{
    KxPrinterInfo p = printer(KX_PRINTER_PJL, 5);
    p.port.wDevice = 1;
    EXPECT_EQ(KxGenResource(4, "x", &p, 1, 0, nullptr), 26);
    EXPECT_EQ(KxNetGetType(1), 0);
    EXPECT_EQ(dlopen("libkvabcomm.so", RTLD_NOW | RTLD_NOLOAD), nullptr);
}
