#pragma once
#include <QStringList>

namespace kt::cli {

// How --info ends its rows.
enum class InfoFormat {
    Lines,   // newline, the path escaped
    NulRows, // -z: NUL, the path as it is
    Json,    // --json: one JSON array of the files' stream details
};

// One row per file on stdout: path as given, video-size text, frame-rate text (with a '.'
// whatever the locale), separated by TABs. A row ends with a newline, and the path has its
// control characters and '\' written as C escapes (\t, \n, \\, \033), so that no name can
// make a row of its own; with InfoFormat::NulRows a row ends with NUL and the path is as it
// is. A file that cannot be opened gets "not available" and a message on stderr; the status
// is then 1, else 0.
//
// With InfoFormat::Json stdout gets one JSON array instead, an object per file in the order
// given (streamDetailsJson: path, bytes, kind, width, height, frame_rate, duration, bit_rate,
// sample_rate, channels, ...; null where a value does not apply or is unknown). A file that
// cannot be opened has its object with "error" set, and the same message on stderr.
int runInfo(const QStringList& files, InfoFormat format);

} // namespace kt::cli
