#pragma once
#include <QString>

namespace kt::cli {

inline constexpr int kExitPacked = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCancelled = 130;

QString usageText();
// Prints the message and the usage text to stderr; returns kExitUsage.
int usageError(const QString& message);

} // namespace kt::cli
