#include "wbtrv32/libpq_library.h"

#include <dlfcn.h>

namespace wbtrv {
namespace {

Libpq load() {
    Libpq functions;
    const std::string cannot = std::string("the PostgreSQL client library ") + kLibpqName + " cannot be loaded: ";
    // Local: its symbols stay out of the way of the process's own lookups.
    void* library = ::dlopen(kLibpqName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = ::dlerror();
        functions.failure = cannot + (why ? why : "unknown error");
        return functions;
    }
    // Never closed: the functions stay valid for as long as the process runs.
#define WBTRV32_LIBPQ_RESOLVE(name)                                                                                    \
    if (functions.loaded() && !(functions.name = reinterpret_cast<decltype(functions.name)>(::dlsym(library, #name)))) \
        functions.failure = cannot + "it has no " #name;
    WBTRV32_LIBPQ_FUNCTIONS(WBTRV32_LIBPQ_RESOLVE)
#undef WBTRV32_LIBPQ_RESOLVE
    return functions;
}

}  // namespace

const Libpq& libpq() {
    static const Libpq loaded = load();
    return loaded;
}

}  // namespace wbtrv
