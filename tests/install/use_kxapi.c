/* A C99 program using the installed library. */
#include <kxapi.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char **argv)
{
    unsigned short words[64];
    KxPrinterInfo p;
    if (argc != 2) return 2;
    if (KxGenQueryApiInfo(words) != 0 || words[0] != 100) return 3;
    memset(&p, 0, sizeof p);
    /* Print-directory command without PJL: the 8-byte ESC [ K sequence. */
    if (KxGenResource(KX_RESOURCE_DIRECTORY, argv[1], &p, KX_TARGET_RAM, 0, NULL) != KX_OK) return 4;
    puts("ok");
    return 0;
}
