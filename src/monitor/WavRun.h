// One waveform measurement run of the graph window: start, the 50 ms poll, the transfer and the stop, for
// the three command families. The window hands in what the run needs of it through Host.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "comm/ComGuard.h"

class QTimer;

class WavRun {
public:
    struct Host {
        std::function<void(bool)> working;        // toolbar: Stop enabled, Mesure disabled while true
        std::function<void()> fillCond;           // trigger and channel words from the controls
        std::function<void()> defCh;              // the default channel set on controls and words
        std::function<void(int ch, bool valid)> dataIsValid;
        std::function<void()> redraw;
        std::function<bool()> singleTrigger;      // the single-trigger box is checked
        std::function<void()> captured;           // a transfer completed
    };

    // timer: the window's poll timer (50 ms); the run starts and stops it.
    WavRun(Host host, QTimer* timer);
    ~WavRun();

    // Link check, then the start. Nothing happens while a run is going on.
    void StartChk();
    void Start();
    // One poll step: -1 failure, 0 still running, 1 capture finished; st takes the family R status.
    int16_t IsMeasureEnd(int16_t& st);
    void Tick();
    // The user's stop (also the window's close while waiting).
    void Stop();
    bool Waiting() const;

private:
    bool Recv();
    void ReleaseRight();
    void Idle();

    Host host_;
    QTimer* timer_;
    ExecRightGuard right_;
    std::optional<BusyGuard> busy_;
    bool inTick_ = false;
    std::vector<uint8_t> readyBlock_; // family M: data bytes of the block that said the capture is ready
};
