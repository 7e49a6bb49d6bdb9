// Trace lines of the library: appended to log.txt (errors: err.txt) in the current folder while the
// switch is on, one open and close per line so that a crash loses nothing. With the switch off nothing
// is formatted and no file is created.
#ifndef QEL_TRACE_H
#define QEL_TRACE_H

#include <cstdint>

namespace qel {

void SetLogSwitch(int32_t value);
bool LogSwitchOn();

void TraceLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
void TraceErr(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace qel

#endif
