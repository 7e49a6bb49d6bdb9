// The EEPROM write dialog: lists what differs from the amplifier's EEPROM copy and writes the scope to
// EEPROM. Other screens reach it through these three entries.
#pragma once

#include <string>

class FrmEEP {
public:
    // Shows the change list for the scope in flags (option words) and writes on OK; leaves DlgResult -1
    // after a write, 0 when nothing was written.
    static void Exec(const std::string& flags);
    // Reads the scope's EEPROM copy of the current axis into the reference tables.
    static void CheckPoint(const std::string& flags);
    // Copies the current axis's 16-bit EEPROM copy back into the current values.
    static void ChkeckDataToUserData();
};
