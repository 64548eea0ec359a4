#pragma once
// GIO's calls that the trash makes, loaded when a file first goes to the trash: linked, GIO
// and the libraries it brings were loaded and set up at every start of both programs
// (about 4 ms of the packer's 20 ms).
#undef signals // GIO uses the word as a field name
#include <gio/gio.h>

namespace kt {

struct GioCalls
{
    GFile* (*newForPath)(const char*) = nullptr;
    gboolean (*trash)(GFile*, GCancellable*, GError**) = nullptr;
    void (*unref)(gpointer) = nullptr;
};

// Null when GIO cannot be loaded.
const GioCalls* gioCalls();

} // namespace kt
