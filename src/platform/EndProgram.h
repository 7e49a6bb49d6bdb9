// Ending the program at once: every registered closer runs (the serial link first), then the process exits.
// No window runs its unload handling. Tests replace the final step with one that throws.
#pragma once

#include <functional>
#include <stdexcept>

namespace plat {

// Registers something to close before the process ends (run in reverse order of registration).
void AtEnd(std::function<void()> closer);

[[noreturn]] void EndProgram(int exitCode = 0);

// Thrown by the test handler installed with EndProgramThrows.
struct ProgramEnded : std::runtime_error {
    int code;
    explicit ProgramEnded(int c) : std::runtime_error("program ended"), code(c) {}
};

// For tests: while an instance lives, EndProgram runs the closers and throws ProgramEnded instead of exiting.
class EndProgramThrows {
public:
    EndProgramThrows();
    ~EndProgramThrows();
    EndProgramThrows(const EndProgramThrows&) = delete;
    EndProgramThrows& operator=(const EndProgramThrows&) = delete;
};

} // namespace plat
