#include "GioCalls.h"

#include <dlfcn.h>

namespace kt {

const GioCalls* gioCalls()
{
    static const GioCalls calls = [] {
        GioCalls c;
        if (void* lib = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL)) {
            c.newForPath = reinterpret_cast<decltype(c.newForPath)>(::dlsym(lib, "g_file_new_for_path"));
            c.trash = reinterpret_cast<decltype(c.trash)>(::dlsym(lib, "g_file_trash"));
            c.unref = reinterpret_cast<decltype(c.unref)>(::dlsym(lib, "g_object_unref"));
        }
        return c;
    }();
    return calls.newForPath && calls.trash && calls.unref ? &calls : nullptr;
}

} // namespace kt
