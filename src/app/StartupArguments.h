#pragma once
// The window program's command line: klivatarn [--help] [--version] [--] [FILE...].
//
// Read with getopt_long before any toolkit exists, so that --help and --version need no
// display and no argument reaches the toolkit's own option parsing (-platform, -style).
// Files are made absolute against the start's working folder at once: they may be handed
// to a copy that runs elsewhere.
#include <QString>
#include <QStringList>

namespace kt {

// Exit statuses of the window program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // no display, a hand-over not taken, files not added
inline constexpr int kExitUsage = 2;

struct StartupArguments
{
    enum class Command { Run, Help, Version, UsageError } command = Command::Run;
    QStringList files;   // absolute, in order (Run)
    QStringList skipped; // one line each: files that cannot be added, and why (Run)
    QString usageError;  // one line, without the program name (UsageError)
};

// argv as the process got it; `workingFolder` is the folder relative names resolve against
// (raw bytes, as getcwd gives it).
StartupArguments parseStartupArguments(int argc, char* const argv[], const QByteArray& workingFolder);

QString startupUsageText();   // for --help
QString startupVersionText(); // for --version

} // namespace kt
