#pragma once
// The tips of the Tip of the Day: one tip per line of tod.ctd beside the executable.
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kt {

inline QString tipsFileName()
{
    return QStringLiteral("tod.ctd");
}

// Shown when the tips file cannot be read.
QString tipsNotFoundText();

// The tips in the language the program's texts are shown in, beside the program
// (tod_de.ctd for German), else the English tips file.
QString tipsFilePath(const QString& programDir);

// Every line is a tip, empty lines included. A line ends at CR, CR LF or (the line end of
// this platform's own editors) a lone LF; a last line without an ending is a tip too.
// The text is in the locale's encoding.
QStringList splitTips(QByteArrayView text);

// Appends the lines of the file at `path` to `tips`. False for an empty path, a path
// that is not an ordinary file, a file longer than kTipsReadLimit, or one that cannot be
// read to its end; then `tips` is left as it was.
inline constexpr qint64 kTipsReadLimit = 16 * 1024 * 1024;
bool LoadTips(const QString& path, QStringList& tips);

// The random choice of the window: a uniform number 0 <= r < 1 picks index
// int(r * count) + 1 (1-based); with no tips the index is 1 and nothing is shown.
class TipPicker
{
public:
    using Uniform = std::function<double()>;
    // Without a generator, one seeded from the clock.
    explicit TipPicker(Uniform uniform = {});

    QStringList tips;
    int currentIndex = 0; // 1-based, 0 before the first pick

    void NextRandomTip();
    // The tip at the current index, or nothing when there is none to show.
    std::optional<QString> currentTip() const;

private:
    Uniform m_uniform;
};

// The show-at-start setting: "1" or "0"; absent or anything but "0" means show.
bool tipsShownAtStart();
void setTipsShownAtStart(bool show);
QString readShowTod();
void writeShowTod(const QString& value);

} // namespace kt
