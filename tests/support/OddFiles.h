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
#include <unistd.h>
#include <utility>

namespace kt::test {

enum class Odd {
    None,             // nothing made: the test puts an ordinary file there, or none
    Pipe,             // a named pipe nobody writes to: opening it for reading waits
    PipeSilentWriter, // a named pipe held open by a writer that never writes: reading waits
    EndlessDevice,    // a link to /dev/zero: never ends
    Folder,
};

// What stands at `path` for the length of a test; a writer it holds is closed at the end.
class OddFile
{
public:
    OddFile(Odd kind, const QString& path) : m_name(QFile::encodeName(path))
    {
        switch (kind) {
        case Odd::None:
            m_ok = true;
            break;
        case Odd::Pipe:
        case Odd::PipeSilentWriter:
            // O_RDWR does not wait for a reader on Linux; that descriptor is the silent writer.
            m_ok = ::mkfifo(m_name, 0600) == 0 &&
                   (kind == Odd::Pipe || (m_writer = ::open(m_name, O_RDWR | O_CLOEXEC)) >= 0);
            break;
        case Odd::EndlessDevice:
            m_ok = ::symlink("/dev/zero", m_name) == 0;
            break;
        case Odd::Folder:
            m_ok = ::mkdir(m_name, 0700) == 0;
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
        while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
            ::close(::open(m_name, O_WRONLY | O_NONBLOCK | O_CLOEXEC));
        return false;
    }

private:
    void release() { ::close(std::exchange(m_writer, -1)); } // -1 when none: EBADF, harmless

    QByteArray m_name;
    int m_writer = -1;
    bool m_ok = false;
};

} // namespace kt::test
