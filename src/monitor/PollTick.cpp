#include "monitor/PollTick.h"

#include "platform/FormRegistry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kBackOffMs = 10000;      // after the amplifier stopped answering
constexpr int32_t kWaitMonitorMs = 2000;   // the alarm window beside a backing-off monitor
constexpr int32_t kBackingOffAboveMs = 1000;

int32_t BaseMs(PollWindow w) { return w == PollWindow::Alarm ? 500 : 200; }

} // namespace

double PollFactorOf(const std::vector<std::string>& loadedForms)
{
    int n = 0;
    for (const std::string& name : loadedForms)
        n += static_cast<int>(std::count(std::begin(PollWindowNames), std::end(PollWindowNames), name));
    return 1.0 + (std::max(n, 1) - 1) / 2.0;
}

double GetPollFactor() { return PollFactorOf(plat::LoadedFormNames()); }

int32_t PollInterval(int32_t baseMs, double factor)
{
    return static_cast<int32_t>(std::nearbyint(static_cast<double>(baseMs) * factor));
}

PollOutcome PollTickStart(PollWindow w, bool closing, int16_t busy, bool monitorBackingOff)
{
    if (closing) return PollOutcome::Closing;
    if (busy != 0) return PollOutcome::Busy;
    if (w == PollWindow::Alarm && monitorBackingOff) return PollOutcome::WaitMonitor;
    return PollOutcome::Done;
}

bool MonitorBackingOff(int32_t monitorIntervalMs) { return monitorIntervalMs > kBackingOffAboveMs; }

int32_t PollNextInterval(PollWindow w, PollOutcome outcome, double factor)
{
    switch (outcome) {
    case PollOutcome::Closing:
        return 0;
    case PollOutcome::Busy:
        // Only the monitor stretches its busy wait; the others keep their base interval.
        return w == PollWindow::Monitor ? PollInterval(BaseMs(w), factor) : BaseMs(w);
    case PollOutcome::WaitMonitor:
        return kWaitMonitorMs;
    case PollOutcome::BackOff:
        return kBackOffMs;
    case PollOutcome::ReadFailed:
        // The amplifier answered the first read: try again soon, but never back to back.
        return BaseMs(w);
    case PollOutcome::Done:
        return PollInterval(BaseMs(w), factor);
    }
    return 0;
}
