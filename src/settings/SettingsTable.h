#pragma once
// The values of the program's settings key and their stored texts. Stored texts are
// compared exactly and case-sensitively; anything else counts as unknown.
#include <QString>

#include <optional>

namespace kt {

namespace settingsKey {
inline QString tRate() { return QStringLiteral("tRate"); }
inline QString delact() { return QStringLiteral("Delact"); }
inline QString owrite() { return QStringLiteral("Owrite"); }
inline QString mcc() { return QStringLiteral("MCC"); }
inline QString showTod() { return QStringLiteral("ShowTod"); }
} // namespace settingsKey

// After a pack: keep the sources; ask, then trash them; trash them without asking.
// (Same order as the engine's DeleteAfterAction, so a static_cast converts.)
enum class DelAfterAction { No = 0, Prompt = 1, NoPrompt = 2 };
// The saved pack file: don't overwrite; ask first; overwrite without asking.
enum class OverwritePolicy { No = 0, Prompt = 1, NoPrompt = 2 };

// "No", "Prompt", "NoPrompt" for both groups.
QString storedText(DelAfterAction a);
QString storedText(OverwritePolicy p);
std::optional<DelAfterAction> delAfterActionFrom(const QString& text);
std::optional<OverwritePolicy> overwritePolicyFrom(const QString& text);

inline QString mccText(bool on) { return on ? QStringLiteral("On") : QStringLiteral("Off"); }

} // namespace kt
