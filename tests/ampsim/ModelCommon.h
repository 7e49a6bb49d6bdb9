// What the binary models of the simulated amplifier share: their parameter cells (RAM and EEPROM), the
// little-endian value layout of their replies and a few small rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ampsim {

// A parameter as the amplifier keeps it: the working value, the stored one, its limits and attribute.
struct Param16 {
    int16_t ram = 0, eep = 0, min = 0, max = 0, attr = 0;
};
struct Param32 {
    int32_t ram = 0, eep = 0, min = 0, max = 0, attr = 0;
};

// Switching the amplifier on loads the working values from the stored ones.
template <class Table> void reloadRam(Table& table) {
    for (auto& p : table)
        p.ram = p.eep;
}

namespace wire {

using Bytes = std::vector<uint8_t>;

// Values travel low byte first, in two's complement.
void put16(Bytes& b, int32_t v);
void put32(Bytes& b, int64_t v);
void put64(Bytes& b, int64_t v);
int16_t get16(const Bytes& b, size_t at);
int32_t get32(const Bytes& b, size_t at);
int64_t get64(const Bytes& b, size_t at);

// Attribute bits that keep a parameter from being written.
bool readOnly(int32_t attr);
// Names go on the line as twelve characters, padded with blanks.
std::string fit12(std::string s);
// Cuts a reply to its first dataBytes data bytes, keeping the status byte last.
void shorten(Bytes& reply, size_t dataBytes);

} // namespace wire
} // namespace ampsim
