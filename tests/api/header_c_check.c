/* The public header compiles as C99 and its layout assertions hold in C. */
#include "kxapi.h"

int kx_header_c_check_size(void) { return (int)sizeof(KxPrinterInfo); }
