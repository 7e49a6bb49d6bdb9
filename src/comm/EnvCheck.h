// The start-up check that the serial-link library and the spectrum library are present in exactly the
// versions the common definition file asks for (DllVer).
#pragma once

#include <cstdint>
#include <functional>

// A library's version function: fills two text buffers and returns the version number. It throws
// plat::LibraryMissing when the library or the function cannot be bound.
using VersionFn = std::function<uint32_t(char* text1, char* text2)>;

struct EnvCheckLibs {
    VersionFn qelVersion;   // empty: Qel_Version of libqel.so, bound by name
    VersionFn spektVersion; // empty: SPEKT_Version of libspekt.so, bound by name
};
// The functions EnvCheck calls; tests replace them.
EnvCheckLibs& EnvLibs();

// Ends the program (after telling the user) when a library is missing or of another version.
void EnvCheck();
