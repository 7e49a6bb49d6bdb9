// Status byte of the last reply (its last data byte; 0 after a failed try). Written by the request core,
// read by the status checks and the driver-error window.
#pragma once

#include <cstdint>

inline uint8_t ComStatus = 0;
