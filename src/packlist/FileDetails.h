#pragma once
// What the Pack List shows as tooltips: a row's file (its kind, picture size and rate or the
// audio's bit rate, sample rate and channels, duration, size in bytes) and the list's totals.
//
// A file is described when its tooltip is first asked for and again only after it changed
// (size, modification time or identity): adding rows reads nothing more than before.
#include "mpeg/StreamDetails.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace kt {

class FileDetailsCache
{
public:
    // The details of `path`, described now when they are not known or the file changed.
    const StreamDetails& details(const QString& path);
    void clear() { m_entries.clear(); }

private:
    struct Stamp
    {
        quint64 device = 0, inode = 0;
        qint64 size = -1, modified = 0; // modified: nanoseconds
        bool operator==(const Stamp&) const = default;
    };
    struct Entry
    {
        Stamp stamp;
        StreamDetails details;
    };
    static Stamp stampOf(const QString& path);
    QHash<QString, Entry> m_entries;
};

// "0:03.01", "13:00.09", "1:02:03.45" (hours only when there are any).
QString durationText(double seconds);

// A row's tooltip: the path, then the kind ("MPEG-1 program stream", or the audio's layer,
// bit rate, sample rate and channels), the picture size and rate when there is video, the
// duration ("unknown" when it cannot be told) and the size in bytes.
QString fileDetailsText(const StreamDetails& details);

// The tooltip of the list's empty area: the files' total duration (the files whose duration
// is unknown are counted apart) and total size.
QString listTotalsText(const QVector<StreamDetails>& files);

} // namespace kt
