#include "JoinFiles.h"

#include "engine/DeleteFiles.h"
#include "engine/JoinArithmetic.h"
#include "engine/PackTexts.h"
#include "engine/SameFile.h"
#include "mpeg/StreamInfo.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kt {
namespace {

constexpr int kStop = MB_ICONHAND;
constexpr int kInformation = MB_ICONINFORMATION;
constexpr int kRetryCancelStop = MB_RETRYCANCEL | MB_ICONHAND; // 0x15

// Errors that mean "copy_file_range cannot do this pair of files": read/write takes over
// for the rest of the join.
bool copyRangeUnsupported(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EBADF ||
           error == ETXTBSY;
}

bool isAccessProblem(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
    case ENOSPC:
    case EDQUOT:
    case EISDIR:
    case EEXIST:
        return true;
    default:
        return false;
    }
}

bool isTooManyFiles(int error)
{
    return error == EMFILE || error == ENFILE;
}

// One writer per output: the lock lives as long as the descriptor, and the kernel drops it
// when its holder dies. False when another pack holds it.
bool lockOutput(int fd)
{
    int r;
    do {
        r = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    return r == 0 || errno != EWOULDBLOCK; // a file system without locks does not stop a pack
}

// Makes the folder entry of a new file durable.
int syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

// The unit of the source on whose boundaries the kernel copy starts and ends its calls.
constexpr qint64 kCopyUnit = 1024 * 1024;

class Joiner
{
public:
    Joiner(const JoinJob& job, PackHost& host, ProgressView& view, File64& file, const MonotonicClock& clock)
        : m_job(job), m_host(host), m_view(view), m_file(file), m_clock(clock)
    {
        if (!m_clock) {
            m_timer.start();
            m_clock = [this] { return m_timer.elapsed(); };
        }
    }

    JoinResult run();

private:
    enum class Step { Go, End };

    Step deleteExistingOutput();
    Step openOutput();
    Step packSource(const PackSource& source);
    Step copyBlock(const PackSource& source, qint64 size, quint64 doneOfSource);
    bool copyInKernel(qint64 size, quint64 doneOfSource, quint64 sourceLength);
    void moveHeldBack();
    Step readBlock(const PackSource& source, qint64 size, quint64 doneOfSource);
    Step writeBlock(qint64 size);
    void updateProgress();
    Step finish();
    Step checkOutput();
    QString changedSource() const; // a source whose path no longer names what was packed

    // Ends of the join.
    Step cancelled();
    Step failed(const QString& text, int style = kStop); // empty text: the message was already shown
    Step abortedOnQuestion();

    bool outputFolderMissing() const;
    bool createOutputFolder() const;

    const JoinJob& m_job;
    PackHost& m_host;
    ProgressView& m_view;
    File64& m_file;
    MonotonicClock m_clock;
    QElapsedTimer m_timer;
    qint64 m_start = 0;

    File64::Handle m_out = File64::kInvalidHandle;
    File64::Handle m_source = File64::kInvalidHandle;
    qint64 m_outPos = 0; // where the next block goes: a retried block is written here again
    // Bytes of the current source counted as copied that the kernel copy holds back to end
    // on a unit boundary (less than one unit); they go with the next block.
    qint64 m_heldBack = 0;
    quint64 m_packedBytes = 0;
    QVector<FileIdentity> m_packed;   // each source as it was opened and copied
    bool m_copyInKernel = true;       // until copy_file_range turns out not to work here
    std::unique_ptr<char[]> m_buffer; // the one buffer of the join, made on first need
    qint64 m_bufferSize = 0;
    PackOutcome m_outcome = PackOutcome::Failed;
    int m_shownPercent = -1; // the texts last given to the view
    qint64 m_shownSeconds = -1;
};

JoinResult Joiner::run()
{
    // The largest piece is a block or a remainder (which can exceed a block at ufast).
    m_bufferSize = qMax(1, m_job.block.blockSize);
    for (const PackSource& s : m_job.sources)
        m_bufferSize = qMax<qint64>(m_bufferSize, qint64(planBlocks(s.length, m_job.block).remainder));
    m_bufferSize += kCopyUnit; // a block may carry bytes the kernel copy held back

    m_view.beginJoin();
    m_host.busyMode(QStringLiteral("pack"));
    m_start = m_clock();

    if (deleteExistingOutput() == Step::End || openOutput() == Step::End)
        return {m_outcome, m_packedBytes};
    m_view.setPercentText(percentText(0));
    m_shownPercent = 0;

    for (const PackSource& source : m_job.sources)
        if (packSource(source) == Step::End)
            return {m_outcome, m_packedBytes};
    finish();
    return {m_outcome, m_packedBytes};
}

bool Joiner::outputFolderMissing() const
{
    return !QFileInfo(QFileInfo(m_job.outputPath).absolutePath()).isDir();
}

bool Joiner::createOutputFolder() const
{
    return QDir().mkpath(QFileInfo(m_job.outputPath).absolutePath());
}

Joiner::Step Joiner::deleteExistingOutput()
{
    const QByteArray native = QFile::encodeName(m_job.outputPath);
    for (;;) {
        struct stat st = {};
        // An existing file goes, hidden or not, so no byte of an old output survives; a
        // symbolic link is removed itself, never its target. Devices, folders and pipes
        // are left to the open, which writes to a device or refuses the rest.
        if (::lstat(native.constData(), &st) != 0 || !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
            return Step::Go;
        // An output that another pack is writing stays: it is in use.
        int error = EBUSY;
        const int held = S_ISREG(st.st_mode)
                             ? ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
                             : -1;
        if (held < 0 || lockOutput(held)) {
            if (::unlink(native.constData()) == 0 || errno == ENOENT)
                error = 0;
            else
                error = errno;
        }
        if (held >= 0)
            ::close(held);
        if (error == 0)
            return Step::Go;
        if (error == ENOTDIR)
            return failed(texts::notFound(m_job.outputPath));
        if (!isAccessProblem(error))
            return failed(texts::joinUnexpectedError());
        if (MsgBox(texts::cannotOverwrite(m_job.outputPath), kRetryCancelStop) != IDRETRY)
            return abortedOnQuestion();
        // Retry: try the deletion again.
    }
}

Joiner::Step Joiner::openOutput()
{
    bool retried = false;
    for (;;) {
        if (outputFolderMissing() && !createOutputFolder())
            return failed(texts::notFound(m_job.outputPath));
        if (retried && QFileInfo(m_job.outputPath).isHidden())
            return failed(texts::hiddenOutput(m_job.outputPath));
        const File64::OpenResult opened = m_file.OpenFile(m_job.outputPath, QStringLiteral("READ_WRITE"));
        if (opened.ok()) {
            m_out = m_file.FileHandle();
            // Locked before anything is cut, so another pack's output is never touched; then
            // a file that appeared at the path since the deletion keeps none of its bytes.
            // An empty file is not cut: on ext4, cutting a file to nothing makes its close
            // write back everything written since, which the pack would wait for.
            if (lockOutput(m_out)) {
                const FileIdentity out = identityOfHandle(m_out);
                if (!out.regular || out.size == 0 || ::ftruncate(m_out, 0) == 0)
                    return Step::Go;
            }
            m_file.CloseFile(m_out);
            m_out = File64::kInvalidHandle;
            if (MsgBox(texts::cannotOverwrite(m_job.outputPath), kRetryCancelStop) != IDRETRY)
                return abortedOnQuestion();
            retried = true;
            continue;
        }
        MsgBox(File64::openErrorText(opened), File64::kOpenErrorStyle);
        if (opened.code != File64::kOpenFailed)
            return failed(texts::joinUnexpectedError());
        const int error = opened.error;
        if (error == ENOENT && outputFolderMissing())
            continue; // the folder went away in between: create it again
        if (error == ENOENT || error == ENOTDIR)
            return failed(texts::notFound(m_job.outputPath));
        if (isTooManyFiles(error))
            return failed(
                texts::tooManyFiles(m_job.sources.isEmpty() ? m_job.outputPath : m_job.sources[0].path));
        if (!isAccessProblem(error))
            return failed(texts::joinUnexpectedError());
        if (MsgBox(texts::cannotOverwrite(m_job.outputPath), kRetryCancelStop) != IDRETRY)
            return abortedOnQuestion();
        retried = true;
    }
}

Joiner::Step Joiner::packSource(const PackSource& source)
{
    const quint64 length = GetFileLen(source.path);
    if (length != source.length) {
        // Opening would create a missing file; a file that changed would not match the checks.
        if (length == 0 && !QFileInfo::exists(source.path))
            return failed(texts::notFound(source.path));
        return failed(texts::sourceChangedSize(source.path, source.length, length));
    }
    // Sources are only read: a source gone since it was measured is not created again.
    const File64::OpenResult opening = m_file.OpenFile(source.path, File64::kReadOnlyExisting);
    if (!opening.ok()) {
        if (opening.error == ENOENT)
            return failed(texts::notFound(source.path));
        MsgBox(File64::openErrorText(opening), File64::kOpenErrorStyle);
        if (isTooManyFiles(opening.error))
            return failed(texts::tooManyFiles(source.path));
        return failed(QString());
    }
    m_source = m_file.FileHandle();
    const FileIdentity opened = identityOfHandle(m_source);
    if (opened.size != qint64(length))
        return failed(
            texts::sourceChangedSize(source.path, source.length, quint64(qMax<qint64>(opened.size, 0))));
    ::posix_fadvise(m_source, 0, 0, POSIX_FADV_SEQUENTIAL); // read ahead further, as cat does
    m_host.showPackingFile(source.path);
    m_view.showPackingFile(source.path);

    const BlockPlan plan = planBlocks(length, m_job.block);
    quint64 done = 0;
    m_heldBack = 0;
    for (quint64 k = 0; k < plan.fullBlocks; ++k) {
        if (copyBlock(source, m_job.block.blockSize, done) == Step::End)
            return Step::End;
        done += quint64(m_job.block.blockSize);
        m_packedBytes += quint64(m_job.block.blockSize);
        updateProgress();
        if (m_view.cancelRequested())
            return cancelled();
    }
    if (plan.remainder != 0) {
        if (copyBlock(source, qint64(plan.remainder), done) == Step::End)
            return Step::End;
        updateProgress(); // shows the progress before the remainder is counted
        m_packedBytes += plan.remainder;
        if (m_view.cancelRequested())
            return cancelled();
    }
    // Still the file that was opened, at the length taken at the start: a recording that
    // grew, or a file renamed over it, would lose bytes if it went to the trash.
    const FileIdentity copied = identityOfHandle(m_source);
    if (copied.size != opened.size || !copied.sameFile(identityOfPath(source.path)))
        return failed(texts::sourceChangedWhilePacked(source.path));
    m_packed.push_back(copied);
    m_file.CloseFile(m_source);
    m_source = File64::kInvalidHandle;
    return Step::Go;
}

// A block moves inside the kernel when it can (measured fastest here, see bench/join);
// anything short of the whole block is done again with read/write, which tells a source
// that ended or failed from an output that failed and asks Retry/Cancel for the latter.
Joiner::Step Joiner::copyBlock(const PackSource& source, qint64 size, quint64 doneOfSource)
{
    if (m_copyInKernel && copyInKernel(size, doneOfSource, source.length))
        return Step::Go;
    return readBlock(source, size, doneOfSource);
}

// The kernel copy moves whole MiBs of the source. Each call has a cost of its own: with
// one per block of the normal rate (100,000 bytes) the pack took about a fifth more CPU
// time than cat, which copies a file in two calls (see bench/join). So each call
// ends on the last MiB boundary of its block and the bytes past it go with a later block;
// the source's end ends a call. A block may thus be counted up to a MiB before its bytes
// are written: Cancel writes them first, and every check of the output comes after.
bool Joiner::copyInKernel(qint64 size, quint64 doneOfSource, quint64 sourceLength)
{
    const qint64 from = qint64(doneOfSource) - m_heldBack;
    const qint64 end = qint64(doneOfSource) + size;
    const qint64 upTo = quint64(end) == sourceLength ? end : end / kCopyUnit * kCopyUnit;
    if (upTo <= from) {
        m_heldBack += size;
        return true;
    }
    const File64::IoResult moved = File64::CopyBlock(m_source, m_out, upTo - from, from);
    if (moved.bytes == upTo - from && moved.error == 0) {
        m_outPos += upTo - from;
        m_heldBack = end - upTo;
        return true;
    }
    if (moved.error != 0 && copyRangeUnsupported(moved.error))
        m_copyInKernel = false;
    // Back to the first byte not yet moved, on both sides.
    ::lseek(m_source, from, SEEK_SET);
    ::lseek(m_out, m_outPos, SEEK_SET);
    return false;
}

// Cancel keeps exactly the blocks counted so far: what the kernel copy held back goes
// out first, without questions.
void Joiner::moveHeldBack()
{
    if (m_heldBack == 0 || m_source == File64::kInvalidHandle || m_out == File64::kInvalidHandle)
        return;
    const File64::IoResult moved = File64::CopyBlock(m_source, m_out, m_heldBack, -1);
    if (moved.bytes < m_heldBack) { // the rest through the buffer, as a failed block would go
        if (!m_buffer)
            m_buffer.reset(new char[size_t(m_bufferSize)]);
        const File64::IoResult read = File64::ReadBlock(m_source, m_buffer.get(), m_heldBack - moved.bytes);
        if (read.bytes > 0)
            File64::WriteBlock(m_out, m_buffer.get(), read.bytes);
    }
    m_heldBack = 0;
}

Joiner::Step Joiner::readBlock(const PackSource& source, qint64 size, quint64 doneOfSource)
{
    if (!m_buffer)
        m_buffer.reset(new char[size_t(m_bufferSize)]);
    // The bytes the kernel copy held back come first.
    const qint64 count = m_heldBack + size;
    const quint64 from = doneOfSource - quint64(m_heldBack);
    m_heldBack = 0;
    const File64::IoResult read = File64::ReadBlock(m_source, m_buffer.get(), count);
    if (read.error != 0)
        return failed(texts::cannotRead(source.path, texts::errnoText(read.error)));
    if (read.bytes < count)
        return failed(texts::sourceEndedEarly(source.path, from + quint64(read.bytes), source.length));
    return writeBlock(count);
}

Joiner::Step Joiner::writeBlock(qint64 size)
{
    for (;;) {
        const File64::IoResult written = File64::WriteBlock(m_out, m_buffer.get(), size);
        if (written.bytes == size && written.error == 0) {
            m_outPos += size;
            return Step::Go;
        }
        const int error = written.error != 0 ? written.error : ENOSPC;
        if (MsgBox(texts::cannotWrite(m_job.outputPath, texts::errnoText(error)), kRetryCancelStop) !=
            IDRETRY)
            return abortedOnQuestion();
        // Retry: the same block, from where it started (a device that cannot seek takes
        // it as it comes).
        if (::lseek(m_out, m_outPos, SEEK_SET) < 0 && errno != ESPIPE)
            return failed(texts::joinUnexpectedError());
    }
}

void Joiner::updateProgress()
{
    const int p = packPercent(m_packedBytes, m_job.totalPackSize);
    m_view.setProgressBarPos(p);
    // Thousands of blocks share a percentage: a text is made only when it can differ. The
    // estimate is given first, so the percentage's immediate repaint draws both at once.
    if (p % 2 == 0) {
        const qint64 seconds = secondsRemaining(p, m_clock() - m_start);
        if (seconds != m_shownSeconds) {
            m_shownSeconds = seconds;
            m_view.setTimeRemainingText(timeRemainingText(seconds));
        }
    }
    if (p != m_shownPercent) {
        m_shownPercent = p;
        m_view.setPercentText(percentText(p));
    }
}

Joiner::Step Joiner::finish()
{
    m_view.destroyProgressBar();
    m_view.setPercentText(QString());
    const bool trash = m_job.deleteAfter != DeleteAfterAction::No;
    if (trash && ::fsync(m_out) != 0) {
        // The sources must not go while the output may not be on disk.
        return failed(texts::cannotFlush(m_job.outputPath, texts::errnoText(errno)));
    }
    if (checkOutput() == Step::End)
        return Step::End;
    const int closeError = m_file.CloseFile(m_out);
    m_out = File64::kInvalidHandle;
    if (closeError != 0)
        return failed(texts::cannotClose(m_job.outputPath, texts::errnoText(closeError)));
    if (trash) {
        // The output's folder entry too, or a crash could leave neither output nor sources.
        if (const int error = syncFolder(QFileInfo(m_job.outputPath).absolutePath()); error != 0)
            return failed(texts::cannotFlush(m_job.outputPath, texts::errnoText(error)));
    }
    m_host.notBusyMode();
    m_host.unhideLogo();
    QStringList paths;
    for (const PackSource& s : m_job.sources)
        paths << s.path;
    QString changed;
    if (DeleteFiles(paths, m_job.deleteAfter, [&] { return changed = changedSource(); }) ==
        DeleteOutcome::SourceChanged)
        return failed(texts::sourceChangedWhilePacked(changed));
    m_view.closeWindow();
    MsgBox(texts::packedSuccessfully(m_job.outputPath, m_job.totalPackSize), kInformation);
    m_host.setWaitCursor(false);
    m_outcome = PackOutcome::Packed;
    return Step::End;
}

// Success only for the file that is really there: the path still names the file written,
// which still has a name, at the full size.
Joiner::Step Joiner::checkOutput()
{
    const FileIdentity written = identityOfHandle(m_out);
    const FileIdentity named = identityOfPath(m_job.outputPath);
    if (!named.exists || written.links == 0)
        return failed(texts::outputDeleted(m_job.outputPath));
    if (!written.sameFile(named))
        return failed(texts::outputReplaced(m_job.outputPath));
    if (written.regular && written.size != qint64(m_job.totalPackSize))
        return failed(texts::outputWrongSize(m_job.outputPath, quint64(qMax<qint64>(written.size, 0)),
                                             m_job.totalPackSize));
    return Step::Go;
}

QString Joiner::changedSource() const
{
    for (qsizetype i = 0; i < m_job.sources.size() && i < m_packed.size(); ++i) {
        const FileIdentity now = identityOfPath(m_job.sources[i].path);
        if (!now.sameFile(m_packed[i]) || now.size != m_packed[i].size)
            return m_job.sources[i].path;
    }
    return {};
}

Joiner::Step Joiner::cancelled()
{
    moveHeldBack();
    m_file.CloseAllFiles();
    m_host.notBusyMode();
    MsgBox(texts::packingAborted(), kInformation);
    m_host.destroyMainProgressBar();
    m_host.unhideLogo();
    m_view.closeWindow();
    m_outcome = PackOutcome::Cancelled;
    return Step::End;
}

Joiner::Step Joiner::failed(const QString& text, int style)
{
    File64::CloseAllHandles();
    if (!text.isEmpty())
        MsgBox(text, style);
    m_host.errorResumeProgram();
    m_view.closeWindow();
    m_outcome = PackOutcome::Failed;
    return Step::End;
}

Joiner::Step Joiner::abortedOnQuestion()
{
    return failed(texts::packingAborted(), kInformation);
}

} // namespace

JoinResult JoinFiles(const JoinJob& job, PackHost& host, ProgressView& view, File64& file,
                     const MonotonicClock& clock)
{
    return Joiner(job, host, view, file, clock).run();
}

} // namespace kt
