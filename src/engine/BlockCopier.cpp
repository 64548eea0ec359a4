#include "BlockCopier.h"

#include "engine/PackTexts.h"

#include <cerrno>
#include <unistd.h>

namespace kt {
namespace {

constexpr int kRetryCancelStop = MB_RETRYCANCEL | MB_ICONHAND; // 0x15

// The unit of the source on whose boundaries the kernel copy starts and ends its calls.
constexpr qint64 kCopyUnit = 1024 * 1024;

// Errors that mean "copy_file_range cannot do this pair of files": read/write takes over
// for the rest of the join.
bool copyRangeUnsupported(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EBADF ||
           error == ETXTBSY;
}

} // namespace

BlockCopier::BlockCopier(File64::Handle output, const QString& outputPath, qint64 largestBlock,
                         SeamlessRewriter* rewriter)
    : m_out(output), m_outputPath(outputPath),
      m_bufferSize(qMax<qint64>(1, largestBlock) + kCopyUnit), // a block may carry held-back bytes
      m_rewriter(rewriter)
{
}

void BlockCopier::beginSource(File64::Handle source, const QString& path, quint64 length, int index)
{
    if (m_rewriter)
        m_rewriter->beginPart(index);
    m_source = source;
    m_sourcePath = path;
    m_sourceLength = length;
    m_done = 0;
    m_heldBack = 0;
}

char* BlockCopier::buffer()
{
    if (!m_buffer)
        m_buffer.reset(new char[size_t(SeamlessRewriter::kHeadroom + m_bufferSize)]);
    return m_buffer.get() + SeamlessRewriter::kHeadroom;
}

JoinStep BlockCopier::copy(qint64 size)
{
    if (inKernel() && copyInKernel(size)) {
        m_done += quint64(size);
        return JoinStep::next();
    }
    const JoinStep step = readAndWrite(size);
    if (step.go())
        m_done += quint64(size);
    return step;
}

// The kernel copy moves whole MiBs of the source. Each call has a cost of its own: with
// one per block of the normal rate (100,000 bytes) the pack took about a fifth more CPU
// time than cat, which copies a file in two calls (see bench/join). So the join gives a
// call as many blocks as fit in about a frame, each call ends on the last MiB boundary
// of its blocks and the bytes past it go with the next call; the source's end ends a call. A block may thus
// be counted up to a MiB before its bytes are written: Cancel writes them first, and every check of the
// output comes after.
bool BlockCopier::copyInKernel(qint64 size)
{
    const qint64 from = qint64(m_done) - m_heldBack;
    const qint64 end = qint64(m_done) + size;
    const qint64 upTo = quint64(end) == m_sourceLength ? end : end / kCopyUnit * kCopyUnit;
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

void BlockCopier::writeHeldBack()
{
    if (m_rewriter) { // the part's last bytes, rewritten as far as they allowed
        const QByteArrayView tail = m_rewriter->endPart();
        if (!tail.isEmpty() && m_out != File64::kInvalidHandle)
            File64::WriteBlock(m_out, tail.data(), tail.size());
        return;
    }
    if (m_heldBack == 0 || m_source == File64::kInvalidHandle || m_out == File64::kInvalidHandle)
        return;
    const File64::IoResult moved = File64::CopyBlock(m_source, m_out, m_heldBack, -1);
    if (moved.bytes < m_heldBack) { // the rest through the buffer, as a failed block would go
        const File64::IoResult read = File64::ReadBlock(m_source, buffer(), m_heldBack - moved.bytes);
        if (read.bytes > 0)
            File64::WriteBlock(m_out, buffer(), read.bytes);
    }
    m_heldBack = 0;
}

JoinStep BlockCopier::readAndWrite(qint64 size)
{
    // The bytes the kernel copy held back come first; a copy of several blocks that the
    // kernel did not take goes in pieces the buffer holds.
    qint64 left = m_heldBack + size;
    quint64 from = m_done - quint64(m_heldBack);
    m_heldBack = 0;
    while (left > 0) {
        const qint64 count = qMin(left, m_bufferSize);
        const File64::IoResult read = File64::ReadBlock(m_source, buffer(), count);
        if (read.error != 0)
            return JoinStep::failure(texts::cannotRead(m_sourcePath, texts::errnoText(read.error)));
        if (read.bytes < count)
            return JoinStep::failure(
                texts::sourceEndedEarly(m_sourcePath, from + quint64(read.bytes), m_sourceLength));
        const bool sourceEnds = from + quint64(count) == m_sourceLength;
        const JoinStep step =
            m_rewriter ? writeRewritten(buffer(), count, sourceEnds) : write(buffer(), count);
        if (!step.go())
            return step;
        from += quint64(count);
        left -= count;
    }
    return JoinStep::next();
}

// The rewriter's view may start in the headroom before `data` (bytes it held back) and stays
// valid for a retried write.
JoinStep BlockCopier::writeRewritten(char* data, qint64 size, bool sourceEnds)
{
    const QByteArrayView out = m_rewriter->feed(data, size);
    const JoinStep step = write(out.data(), out.size());
    if (!step.go() || !sourceEnds)
        return step;
    const QByteArrayView tail = m_rewriter->endPart();
    return write(tail.data(), tail.size());
}

JoinStep BlockCopier::write(const char* data, qint64 size)
{
    for (;;) {
        if (size == 0) // a rewritten block may hold nothing to write
            return JoinStep::next();
        const File64::IoResult written = File64::WriteBlock(m_out, data, size);
        if (written.bytes == size && written.error == 0) {
            m_outPos += size;
            return JoinStep::next();
        }
        const int error = written.error != 0 ? written.error : ENOSPC;
        if (MsgBox(texts::cannotWrite(m_outputPath, texts::errnoText(error)), kRetryCancelStop) != IDRETRY)
            return JoinStep::aborted();
        // Retry: the same block, from where it started (a device that cannot seek takes
        // it as it comes).
        if (::lseek(m_out, m_outPos, SEEK_SET) < 0 && errno != ESPIPE)
            return JoinStep::failure(texts::joinUnexpectedError());
    }
}

} // namespace kt
