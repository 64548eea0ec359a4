#pragma once
#include <QString>

namespace kt::cli {

struct CommandLine;

// klivatarn-pack -o OUTPUT [options] SOURCE...: the pack command without a window.
// Returns the exit status (Usage.h).
int runPack(const CommandLine& line);

// The full path the kernel will use for a path given on the command line (relative ones
// against the working folder), or the reason why it cannot be spelt as text and back: a
// name, or the working folder's name, that is not valid UTF-8; a working folder that is gone.
struct FullPath
{
    QString path;
    QString problem; // empty when `path` is good
};
FullPath faithfulFullPath(const QString& given);

} // namespace kt::cli
