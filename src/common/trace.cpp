#include "common/trace.h"

#include <stdarg.h>

#include "common/sys.h"

void TraceHook(const char* format, ...) {
#ifdef FD_TRACE
    char text[1025];
    va_list args;
    va_start(args, format);
    sys::FormatV(text, sizeof text, format, args);
    va_end(args);
    sys::DebugOutput(text);
#else
    (void)format;
#endif
}
