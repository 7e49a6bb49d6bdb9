// A data file one byte over the readers' size limit: head, empty lines, then tail. A reader that took it
// would find a whole, valid file, so a test sees whether it was turned away.
#pragma once

#include <fstream>
#include <string>

#include "platform/TextFile.h"

inline std::string PutOversized(const std::string& path, const std::string& head, const std::string& tail = {}) {
    const size_t size = static_cast<size_t>(plat::MaxReadSize) + 1;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << head << std::string(size - head.size() - tail.size(), '\n') << tail;
    return path;
}
