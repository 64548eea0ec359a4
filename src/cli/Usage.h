#pragma once
#include <QString>

namespace kt::cli {

inline constexpr int kExitPacked = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnanswered = 3; // a question without an answer stopped the pack
// Packed, but a source that --trash was to move stayed where it was (the trash refused it, or
// it was no longer the file packed): a script must not take the sources for gone.
inline constexpr int kExitPackedSourcesKept = 4;
inline constexpr int kExitCancelled = 130;

// Every message on stderr starts with this, as with other command-line tools.
inline QString messagePrefix()
{
    return QStringLiteral("klivatarn-pack: ");
}

QString usageText();
QString versionLine(); // "klivatarn-pack 2.5.0"
// Prints the problem and a pointer to --help on stderr (two lines); returns kExitUsage.
int usageError(const QString& message);

} // namespace kt::cli
