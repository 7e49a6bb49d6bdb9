// Values the family K line protocol shares with the screens. Plain globals, one user-interface thread.
#pragma once

#include "app/Variant.h"

// The last reply line as the reader stored it: one character code (32 or more) per entry from index 0,
// then -1 and 0 after the text.
constexpr int RcvTxtKCnt = 801;
extern Variant RcvTxtK[RcvTxtKCnt];

// Monitor values as the monitor screens show them (filled by the monitor reads of the command sets).
struct MonValRec {
    double Speed = 0;
    double Torque = 0;
    double Counter = 0;
};
extern MonValRec MonVal;
