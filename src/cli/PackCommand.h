#pragma once
#include <QString>
#include <optional>

namespace kt::cli {

struct CommandLine;

// klivatarn-pack -o OUTPUT [options] SOURCE...: the pack command without a window.
// Returns the exit status (Usage.h).
int runPack(const CommandLine& line);

// The full path the kernel will use for `path` (relative ones against the working folder),
// or nothing when that path cannot be spelt as text and back: a name, or the working
// folder's name, that is not valid UTF-8. `problem` then says why.
std::optional<QString> faithfulFullPath(const QString& path, QString* problem);

} // namespace kt::cli
