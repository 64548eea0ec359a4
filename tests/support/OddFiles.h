#pragma once
// Things that are not ordinary files, put where the program expects one of its own files: a
// reader that waits on them would hang the program, one that reads them whole would never end.
#include <QFile>
#include <QString>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kt::test {

enum class Odd {
    Pipe,             // a named pipe nobody writes to: opening it for reading waits
    PipeSilentWriter, // a named pipe held open by a writer that never writes: reading waits
    EndlessDevice,    // a link to /dev/zero: never ends
    Folder,
};

// What stands at `path` for the length of a test; a writer it holds is closed at the end.
class OddFile
{
public:
    OddFile(Odd kind, const QString& path) : m_path(path)
    {
        const QByteArray name = QFile::encodeName(path);
        switch (kind) {
        case Odd::Pipe:
            m_ok = ::mkfifo(name.constData(), 0600) == 0;
            break;
        case Odd::PipeSilentWriter:
            // O_RDWR does not wait for a reader on Linux; this descriptor is the writer.
            m_ok = ::mkfifo(name.constData(), 0600) == 0 &&
                   (m_writer = ::open(name.constData(), O_RDWR | O_CLOEXEC)) >= 0;
            break;
        case Odd::EndlessDevice:
            m_ok = QFile::link(QStringLiteral("/dev/zero"), path);
            break;
        case Odd::Folder:
            m_ok = ::mkdir(name.constData(), 0700) == 0;
            break;
        }
    }
    ~OddFile() { release(); }
    OddFile(const OddFile&) = delete;
    OddFile& operator=(const OddFile&) = delete;
    bool ok() const { return m_ok; }

    // True when `read` returns within 20 seconds by itself. Otherwise the pipe is given its
    // end (our writer closed; a writer opened and closed for a reader still waiting in
    // open), so that the thread can finish and the test report the hang; then false.
    bool returnsUnaided(const std::function<void()>& read)
    {
        auto done = std::async(std::launch::async, read);
        if (done.wait_for(std::chrono::seconds(20)) == std::future_status::ready)
            return true;
        release();
        const QByteArray name = QFile::encodeName(m_path);
        while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
        }
        return false;
    }

private:
    void release()
    {
        if (m_writer >= 0)
            ::close(m_writer);
        m_writer = -1;
    }

    QString m_path;
    int m_writer = -1;
    bool m_ok = false;
};

} // namespace kt::test
