// Shared libraries loaded by name from the program folder when one of their functions is first called, and
// each function bound by name at its own first call. A missing library or function fails at that call only.
#pragma once

#include <stdexcept>
#include <string>

namespace plat {

struct LibraryMissing : std::runtime_error {
    std::string library;
    std::string function;
    LibraryMissing(std::string lib, std::string fn, const std::string& why);
};

// Address of function in library (a file name in the program folder, e.g. "libqel.so"). The library is
// opened once and kept; a failed open is tried again at the next call. Throws LibraryMissing.
void* BindFunction(const char* library, const char* function);

template <class Sig>
class LazyFn;

// A function of a shared library, bound at its first call:
//   static plat::LazyFn<uint32_t(char*, char*)> f("libqel.so", "Qel_Version");
//   uint32_t v = f(a, b);
template <class R, class... A>
class LazyFn<R(A...)> {
public:
    LazyFn(const char* library, const char* function) : library_(library), function_(function) {}

    R operator()(A... args) {
        if (!fn_)
            fn_ = reinterpret_cast<R (*)(A...)>(BindFunction(library_, function_));
        return fn_(args...);
    }

private:
    const char* library_;
    const char* function_;
    R (*fn_)(A...) = nullptr;
};

} // namespace plat
