#include "link/trace.h"

#include <cstdarg>
#include <cstdio>

namespace qel {
namespace {

int32_t g_log_switch = 0;

void WriteLine(const char* file, const char* prefix, const char* format, va_list args)
{
    // Lines longer than the buffer are cut, as a debugging aid should be.
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    if (std::FILE* f = std::fopen(file, "a")) {
        std::fputs(prefix, f);
        std::fputs(text, f);
        std::fclose(f);
    }
}

}  // namespace

void SetLogSwitch(int32_t value)
{
    g_log_switch = value;
}

bool LogSwitchOn()
{
    return g_log_switch != 0;
}

void TraceLog(const char* format, ...)
{
    if (!g_log_switch)
        return;
    va_list args;
    va_start(args, format);
    WriteLine("log.txt", "QEL.DLL : ", format, args);
    va_end(args);
}

void TraceErr(const char* format, ...)
{
    if (!g_log_switch)
        return;
    va_list args;
    va_start(args, format);
    WriteLine("err.txt", "QEL.DLL : ERR : ", format, args);
    va_end(args);
}

}  // namespace qel
