// Guards for the two things a long operation holds: a bit of the busy-flag word and the amplifier's
// execution right. Each gives back what it took on every way out of the scope that holds it (a failure,
// an early return, an exception, a window closed in the middle), and only once.
#pragma once

#include <cstdint>

#include "comm/ComCore.h"
#include "comm/ComGlb.h"

// Sets bit in ComBusy for the guard's life; clears exactly that bit when the guard ends or Release() runs.
class BusyGuard {
public:
    explicit BusyGuard(int16_t bit) : bit_(bit) { ComBusy = static_cast<int16_t>(ComBusy | bit_); }
    ~BusyGuard() { Release(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    void Release() {
        if (!held_) return;
        held_ = false;
        ComBusy = static_cast<int16_t>(ComBusy & ~bit_);
    }

private:
    int16_t bit_;
    bool held_ = true;
};

// Takes the execution right (GetExecRight(1)) on Take(); the guard's end, or Release(), gives it back
// (GetExecRight(0)) once, and only when the take succeeded.
class ExecRightGuard {
public:
    ExecRightGuard() = default;
    ~ExecRightGuard() { Release(); }
    ExecRightGuard(const ExecRightGuard&) = delete;
    ExecRightGuard& operator=(const ExecRightGuard&) = delete;
    // True when the right is held afterwards (also when it was held already).
    bool Take() {
        if (!held_) held_ = GetExecRight(1) != 0;
        return held_;
    }
    // The result of the release request; True when nothing was held.
    int16_t Release() {
        if (!held_) return -1;
        held_ = false;
        return GetExecRight(0);
    }
    // The right was given back by other means (a procedure that releases it itself on failure).
    void Forget() { held_ = false; }
    bool Held() const { return held_; }

private:
    bool held_ = false;
};
