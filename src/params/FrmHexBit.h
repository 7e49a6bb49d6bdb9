// The value entry dialog: one 16-bit value in hexadecimal, decimal and 16 bit buttons.
#pragma once

#include <cstdint>

class FrmHexBit {
public:
    // Edits parameter number (0..256) starting from PrmVal(number); returns the edited value on OK, the
    // unchanged value otherwise.
    static int16_t Exec(int16_t number);
    // The same for 16-bit positioning parameter number, starting from and naming that parameter.
    static int16_t ExecPop(int16_t number);
};
