#pragma once
#include <QStringList>

namespace kt::cli {

// One line per file on stdout: path as given, video-size text, frame-rate text (with a '.'
// whatever the locale), separated by TABs. A file that cannot be opened gets "not
// available" and a message on stderr; the status is then 1, else 0.
int runInfo(const QStringList& files);

} // namespace kt::cli
