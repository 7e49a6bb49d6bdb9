// The shared polling rules of the monitor, alarm and positioning-monitor windows: how much each one
// stretches its interval when several are open, and what interval a tick leaves behind it. Plain
// functions, so that every window takes the same decision and a test can check it without a clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The windows that poll the amplifier on a timer.
enum class PollWindow { Monitor, Alarm, PosMonitor };

// How a tick ended.
enum class PollOutcome {
    Closing,     // the close-all sequence runs: the timer stays off
    Busy,        // a long operation holds the link: nothing was sent
    WaitMonitor, // the monitor window backs off after a failure: nothing was sent (alarm window only)
    BackOff,     // the read that tells whether the amplifier answers at all failed
    ReadFailed,  // a later read of the cycle failed (monitor window: the speed read)
    Done,        // a full cycle
};

// Form names that count towards the polling factor (exact, case-sensitive).
inline constexpr const char* PollWindowNames[] = {"FrmMoni", "FrmAlm", "FrmPom"};

// 1 + (n - 1) / 2 for n polling windows among the given form names (no window counts as one).
double PollFactorOf(const std::vector<std::string>& loadedForms);
// The polling factor of the windows loaded now.
double GetPollFactor();
// base x factor in whole milliseconds, rounded to nearest with ties to even.
int32_t PollInterval(int32_t baseMs, double factor);
// How a tick starts: Closing, Busy, WaitMonitor, or Done meaning "go on and read".
PollOutcome PollTickStart(PollWindow w, bool closing, int16_t busy, bool monitorBackingOff);
// True when a monitor window with this timer interval is backing off after a failed read.
bool MonitorBackingOff(int32_t monitorIntervalMs);
// The timer interval after a tick of window w that ended with outcome; 0 means the timer stays off.
int32_t PollNextInterval(PollWindow w, PollOutcome outcome, double factor);
