// Intel-HEX records of eight 16-bit parameters: the text form of the parameter files of every series but
// 25, and of the parameter blocks of the family K line protocol. Pure functions over text; no I/O.
//
// A data record is exactly 43 characters:
//   ":" "10" AdrHi AdrLo "00" then 8 values (low byte, high byte, two upper-case hex digits each) and the
//   checksum (two's complement of the low byte of the sum of every byte from the count to the last data
//   byte).
// The end record is ":00000001FF".
//
// The parser accepts only that: a count other than 0x10, a type other than 0, a character that is not a
// hexadecimal digit or a wrong checksum is a bad record (HexBadSum), and it never looks past character 42.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Scan results in HexRecord::State.
enum HexState : int16_t {
    HexGood = 0,    // a good data record
    HexNoColon = 1, // no ":" where a record should start
    HexBadSum = 2,  // checksum error, or a record that is not well formed
    HexEnd = 3,     // the end record
};

constexpr int HexRecordLen = 43; // characters of a data record, ":" included
constexpr int HexWords = 8;      // 16-bit values per data record
constexpr std::string_view HexEndRecord = ":00000001FF";

struct HexRecord {
    int16_t count = 0; // 16-bit words in the record (8 in every data record)
    int16_t AdrHi = 0;
    int16_t AdrLo = 0;
    int16_t RecType = 0;           // 0 data, 1 end
    std::array<int32_t, 9> Data{}; // slots 0..7 used
    int16_t Sum = 0;               // running checksum
    int16_t State = HexGood;
};

// Two upper-case hexadecimal digits of the byte's low 8 bits.
std::string IHX_Hex2(int byte);
// Value of two hexadecimal digits (either case), or -1 when either is not one.
int HexPairToVal(char first, char second);
// Signed 16-bit value low + 256 * high (bytes 0..255).
int16_t BytesToInt(int low, int high);

// A data record of the eight values at the 16-bit address (higher bits are dropped).
HexRecord MakeDataRecord(uint32_t address, const int16_t (&values)[HexWords]);
// The record's text line, without a line end. A record type other than 0 gives the end record. The count
// is taken as 0..8 words; values are written as their 16-bit two's complement. Sets Sum.
std::string MakeHexRecord(HexRecord& record);

// Parses characters 0..42 of a data record into record. True for a good data record; otherwise False with
// State HexNoColon (character 0 is not ":") or HexBadSum (too short, malformed, or a wrong checksum).
int16_t ParseHexRecord(HexRecord& record, std::string_view characters);

// Scans the next record of a file's text from pos: finds ":" within the next 10 characters (else
// HexNoColon), then takes the line. A line of 42 characters after the ":" is parsed as a data record; a
// shorter or longer line is the end record (HexEnd) when it reads exactly ":00000001FF", otherwise
// HexBadSum. A text that ends before its end record gives HexNoColon. pos moves past the line. True for a
// good data record.
int16_t ScanHexRecord(HexRecord& record, std::string_view text, size_t& pos);
