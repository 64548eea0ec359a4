#pragma once
// Read-only access to a media file for the stream analysis: the open error as a value (no
// message), reads at any offset, and a window over the file for walks that jump forward.
// A pipe or device put in a file's place is never waited on.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace kt {

class MediaFile
{
public:
    explicit MediaFile(const QString& path);
    ~MediaFile();
    MediaFile(const MediaFile&) = delete;
    MediaFile& operator=(const MediaFile&) = delete;

    // errno of the failed open (EISDIR for a folder, ENODEV for anything not an ordinary
    // file); 0 when the file is open.
    int error() const { return m_error; }
    quint64 size() const { return m_size; }

    // Up to `count` bytes from `offset` (fewer at the end or after a read error).
    QByteArray read(quint64 offset, qint64 count) const;
    // Fills `buffer` with up to `count` bytes from `offset`; the number read.
    qint64 read(quint64 offset, char* buffer, qint64 count) const;

private:
    int m_fd = -1;
    int m_error = 0;
    quint64 m_size = 0;
};

// A window over a file moving forward with the walk: bytes at `pos` are read into one
// buffer (of at least kWindowSize) when they are not already there.
class FileWindow
{
public:
    static constexpr qint64 kWindowSize = 1 << 20;
    explicit FileWindow(const MediaFile& file, quint64 end);

    // `need` bytes at `pos`, or null when they are not all before the end.
    const uchar* at(quint64 pos, qint64 need);
    quint64 end() const { return m_end; }

private:
    const MediaFile& m_file;
    quint64 m_end;
    QByteArray m_buffer;
    quint64 m_start = 0;
    qint64 m_filled = 0;
};

} // namespace kt
