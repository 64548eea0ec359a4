#pragma once
#include <QStringList>

namespace kt::cli {

// klivatarn-pack -o OUTPUT [options] SOURCE...: the pack command without a window.
// Returns the exit status (Usage.h).
int runPack(const QStringList& arguments);

} // namespace kt::cli
