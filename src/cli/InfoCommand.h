#pragma once
#include <QStringList>

namespace kt::cli {

// One line per file: path, video-size text, frame-rate text, separated by TABs.
int runInfo(const QStringList& files);

} // namespace kt::cli
