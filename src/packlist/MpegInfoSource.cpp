// Kept apart so that code using only the list operations does not pull in the MPEG scan.
#include "AddFiles.h"
#include "base/File64.h"

namespace kt {

StreamInfoSource mpegInfoSource(File64& file)
{
    return [&file](const QString& path) { return GetMPEGInfo(file, path); };
}

} // namespace kt
