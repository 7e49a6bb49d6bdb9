// What the auto-tuning window does, apart from its widgets: the tuned parameters before and after, the start
// and the one-second poll of the three tuning families, Stop, and the EEPROM offer on closing. The window
// keeps its controls in step with Busy(), its timer with TimerOn() and its labels with Before() and After().
// Status texts go to the main window's strip, messages through platform/Ask.h.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace AutoText {
inline constexpr const char* Caption = "Auto tuning";
inline constexpr const char* OpenTitle = "Log on of the auto tuning screen";
inline constexpr const char* StartTitle = "Start of auto tuning";
inline constexpr const char* Occupied = "Communication is occupied by other processing. Can't execute.";
inline constexpr const char* Started = "Auto tuning started.";
inline constexpr const char* Running = "In-auto tuning";
inline constexpr const char* Failed = "Auto tuning failed";
inline constexpr const char* FailedTitle = "Log on of auto tuning";
inline constexpr const char* ServoOff = "Can't start auto-tuning due to serve-off.";
inline constexpr const char* CantExec = "Can't execute auto tuning.";
inline constexpr const char* Incomplete = "Tuning incomplete.";
inline constexpr const char* CantUse = "Auto tuning can't be used.";
inline constexpr const char* MeasError = "Measurement error";
inline constexpr const char* ErrorTitle = "Error";
inline constexpr const char* TuneFailed = "Tuning failed.";
inline constexpr const char* TuneSucceeded = "Tuning succeeded.";
inline constexpr const char* TuneCompleted = "Tuning completed.";
inline constexpr const char* CompletedTitle = "Action completed";
inline constexpr const char* Completed = "Auto tuning completed.";
inline constexpr const char* Interrupted = "Auto tuning interrupted.";
// Nothing on the line stops the amplifier's own tuning, so the user must know it may go on.
inline constexpr const char* MayStillRun =
    "Auto tuning was interrupted on this screen only.\nThe amplifier may still be tuning: wait until it "
    "has finished before you operate the machine.";
inline constexpr const char* ParaUpd = "Value after auto tuning";
inline constexpr const char* EepTitle = "Writing to EEPROM";
inline constexpr const char* EepExplicit = "/USER/明示的に書込";
inline constexpr const char* EepUserImplicit = "/USER/暗黙的に書込";
inline constexpr const char* EepAllImplicit = "/ALL/暗黙的に書込";
} // namespace AutoText

// The option words of the EEPROM write offered when the window closes, or "" when none is offered: only a
// tuning the amplifier reported complete leaves new values worth keeping. Below operating mode 2 the offer
// covers the user parameters, otherwise all.
std::string AutoEepFlags(bool tuned, int16_t userLevel);

class AutoTune {
public:
    static constexpr int RowCnt = 7;
    // While the auto-tuning time-outs are in force, the poll's wait for the amplifier's block is this
    // short, so that a tick never holds the window for long.
    static constexpr int32_t PollWaitMs = 100;

    AutoTune() = default;
    ~AutoTune();
    AutoTune(const AutoTune&) = delete;
    AutoTune& operator=(const AutoTune&) = delete;

    // Window load: stiffness 1, not tuned, the axis's EEPROM reference taken where it may be, the before
    // values read.
    void Load();
    // The slider moved.
    void SetStiffness(int16_t v) { stiffness_ = v; }
    // Execute: link check, caution, before values, start by the tuning family.
    void Exec();
    // One tick of the one-second timer while it runs.
    void Tick();
    // Stops following a running tuning: controls back, busy bit and execution right given back once,
    // standard time-outs restored.
    void Stop();
    // The axis changed: before values of the new axis, after values cleared.
    void UpdAxis();
    // The window goes: Stop when a tuning runs; returns the EEPROM offer (AutoEepFlags).
    std::string Unload();

    bool Busy() const { return busy_; }
    bool TimerOn() const { return timerOn_; }
    bool Running() const { return busyHeld_; }
    bool Tuned() const { return tuned_; }
    int16_t Stiffness() const { return stiffness_; }
    int Progress() const { return progress_; }
    const std::string& Before(int i) const { return before_[static_cast<size_t>(i)]; }
    const std::string& After(int i) const { return after_[static_cast<size_t>(i)]; }

private:
    void SetStatus(const std::string& text, bool busy);
    void TakeEepReference();
    void ReadRows(std::array<std::string, RowCnt>& into);
    void StartK();
    void StartM();
    void StartR();
    void PollK();
    void PollM();
    void PollR();
    void HoldBusy();
    void ReleaseBusy();
    void ReleaseRight();
    // Ends a run of a framed family: busy bit and right given back.
    void EndRun();
    void AutoTimes();

    int16_t stiffness_ = 1;
    bool tuned_ = false;
    int progress_ = 0;
    bool busy_ = false;
    bool timerOn_ = false;
    bool busyHeld_ = false;
    bool rightHeld_ = false;
    std::array<std::string, RowCnt> before_{};
    std::array<std::string, RowCnt> after_{};
};
