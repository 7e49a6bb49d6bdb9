#include "platform/EndProgram.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace plat {
namespace {

std::vector<std::function<void()>>& Closers()
{
    static std::vector<std::function<void()>> closers;
    return closers;
}

int& ThrowingDepth()
{
    static int depth = 0;
    return depth;
}

} // namespace

void AtEnd(std::function<void()> closer) { Closers().push_back(std::move(closer)); }

void EndProgram(int exitCode)
{
    auto& closers = Closers();
    for (auto it = closers.rbegin(); it != closers.rend(); ++it) {
        try {
            (*it)();
        } catch (...) {
            // Ending goes on whatever one closer does.
        }
    }
    if (ThrowingDepth() > 0)
        throw ProgramEnded(exitCode);
    // At once: no window unloads, no static destructors under a live application; only buffered output kept.
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

EndProgramThrows::EndProgramThrows() { ++ThrowingDepth(); }
EndProgramThrows::~EndProgramThrows() { --ThrowingDepth(); }

} // namespace plat
