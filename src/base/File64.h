#pragma once
// File64: the program's one way of reading and writing file contents.
//
// A thin object over POSIX descriptors with 64-bit positions. Every handle that
// OpenFile returns is also pushed on one stack shared by all File64 objects, so that
// CloseAllFiles on any object closes everything the program has open (how a cancelled
// pack lets go of its files). Callers close in the reverse order of opening.
//
// Opening follows "open always": a missing file is created empty, nothing is ever
// truncated; only kCreateNew insists on making the file itself. An open failure is returned
// as a value (OpenResult) for the caller to show with openErrorText(); the misuse messages
// (no open file) is shown at once through MsgBox (stop icon, topmost).
#include <QByteArray>
#include <QString>
#include <QVector>

namespace kt {

class File64
{
public:
    using Handle = int;
    static constexpr Handle kInvalidHandle = -1;

    // Values of OpenResult::code.
    static constexpr qint32 kOpenOk = 0;
    static constexpr qint32 kOpenFailed = 75;
    static constexpr qint32 kOpenUnexpected = 999999999;

    File64() = default;
    ~File64();
    File64(const File64&) = delete;
    File64& operator=(const File64&) = delete;

    Handle FileHandle() const; // says "There is no open file." when there is none, then returns -1
    bool IsOpen() const;

    // Mode strings of OpenFile. kReadOnlyExisting reads like "READ_ONLY" but fails on a
    // missing file instead of creating it (for readers that must not change anything).
    // kCreateNew reads and writes a file it creates itself (mode 0666 less the umask): it
    // fails with EEXIST when anything, a symbolic link included, already has the name, so
    // nothing put at the path by someone else is ever followed or written.
    static inline const QString kReadWrite = QStringLiteral("READ_WRITE");
    static inline const QString kReadOnly = QStringLiteral("READ_ONLY");
    static inline const QString kReadOnlyExisting = QStringLiteral("READ_ONLY_EXISTING");
    static inline const QString kCreateNew = QStringLiteral("CREATE_NEW");

    // What an OpenFile did.
    struct OpenResult
    {
        QString path;
        qint32 code = kOpenOk;
        int error = 0; // errno of the failure, 0 after a success
        bool ok() const { return code == kOpenOk; }
    };
    // "Error opening '<name>'!", shown with kOpenErrorStyle.
    static QString openErrorText(const OpenResult& result);
    static constexpr int kOpenErrorStyle = 0x40010; // stop icon, topmost

    // sRW is one of the modes above. Directories, FIFOs and sockets are refused
    // (a FIFO would block forever). Shows nothing: the caller reports a failure.
    OpenResult OpenFile(const QString& sFileName, const QString& sRW);
    // Drops the -1 entry a failed OpenFile left on the handle stack, without the
    // no-open-file message that CloseFile(-1) shows. Does nothing after a success.
    void DiscardFailedOpen();
    void CloseAllFiles();
    // Closes every handle on the shared stack and empties it, without a message even when
    // entries are -1 (left by failed opens): how the join lets go of its files after a failure.
    static void CloseAllHandles();
    // Returns the errno of a failed close (0 when it closed cleanly): some file systems
    // report write errors only there.
    int CloseFile(Handle hFile);

    void SeekAbsolute(qint32 HighPos, qint32 LowPos); // position = High * 2^32 + (unsigned) Low

    // Writes the whole array at the current position of FileHandle; BytesWritten receives the count.
    void WriteBytes(Handle FileHandle, const QByteArray& bytes, qint32& BytesWritten);

    // Block transfer for the join: no allocation, every short count and error reported.
    struct IoResult
    {
        qint64 bytes = 0; // bytes moved
        int error = 0;    // errno of the failure, 0 when none (a short read without error is end of file)
    };
    // Reads until size bytes or end of file; retries on EINTR.
    static IoResult ReadBlock(Handle h, char* buffer, qint64 size);
    // Writes until all size bytes are written or an error; a write that moves 0 bytes is ENOSPC.
    static IoResult WriteBlock(Handle h, const char* data, qint64 size);
    // Moves up to size bytes from the current position of `in` to that of `out` inside the
    // kernel (copy_file_range), until size bytes, end of `in` (a short count without error)
    // or an error; retries on EINTR. Some files and file systems refuse it (EXDEV, EINVAL,
    // ENOSYS, EOPNOTSUPP): callers then fall back to ReadBlock/WriteBlock. inPosition is the
    // current position of `in` when the caller knows it (saves a system call per block),
    // -1 otherwise.
    static IoResult CopyBlock(Handle in, Handle out, qint64 size, qint64 inPosition = -1);

    // Shared state: the handle stack.
    static int OpenHandleCount();

private:
    bool checkOpen() const; // says "There is no open file." when the handle is -1

    Handle m_handle = kInvalidHandle;
};

// The generic failure message used when something unforeseen happens.
QString unexpectedErrorText(int number, const QString& description);

} // namespace kt
