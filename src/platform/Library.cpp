#include "platform/Library.h"

#include "platform/Paths.h"

#include <dlfcn.h>
#include <map>

namespace plat {

LibraryMissing::LibraryMissing(std::string lib, std::string fn, const std::string& why)
    : std::runtime_error(lib + ": " + fn + ": " + why), library(std::move(lib)), function(std::move(fn))
{
}

void* BindFunction(const char* library, const char* function)
{
    // Opened libraries stay loaded for the whole run, as their functions are bound once and kept.
    static std::map<std::string, void*> handles;
    void*& handle = handles[library];
    if (!handle) {
        // An absolute path: a bare name would search the system's folders, not the program folder.
        const std::string path = AppFile(library);
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = dlerror();
            throw LibraryMissing(library, function, why ? why : "cannot be loaded");
        }
    }
    dlerror();
    void* fn = dlsym(handle, function);
    if (!fn) {
        const char* why = dlerror();
        throw LibraryMissing(library, function, why ? why : "not exported");
    }
    return fn;
}

} // namespace plat
