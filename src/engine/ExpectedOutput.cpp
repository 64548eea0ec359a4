#include "ExpectedOutput.h"

#include "base/File64.h"
#include "base/RegularFile.h"
#include "engine/PackTexts.h"

#include <QFileInfo>
#include <cstring>
#include <unistd.h>

namespace kt {
namespace {

constexpr qint64 kRewritePiece = 1024 * 1024; // what a rewriter is fed at a time

} // namespace

ExpectedOutput::ExpectedOutput(const QVector<PackedFile>& sources, SourceRewriter* rewriter)
    : m_sources(sources), m_rewriter(rewriter)
{
    if (m_rewriter) {
        m_rewriter->restart();
        m_raw.reset(new char[kRewritePiece]);
    }
}

ExpectedOutput::~ExpectedOutput()
{
    closeSource();
}

void ExpectedOutput::closeSource()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

JoinStep ExpectedOutput::readSource(char* buffer, qint64 size, qint64& got, bool& ended)
{
    got = 0;
    ended = false;
    const PackedFile& source = m_sources[m_index];
    if (m_fd < 0) {
        m_fd = openRegularFile(source.path);
        const FileIdentity now = identityOfHandle(m_fd);
        if (m_fd < 0 && !QFileInfo::exists(source.path))
            return JoinStep::failure(texts::notFound(source.path));
        if (!now.sameFile(source.identity) || now.size != source.identity.size)
            return JoinStep::failure(texts::sourceChangedWhilePacked(source.path));
        m_left = now.size;
    }
    const qint64 want = qMin(size, m_left);
    const File64::IoResult r = File64::ReadBlock(m_fd, buffer, want);
    if (r.error != 0)
        return JoinStep::failure(texts::cannotRead(source.path, texts::errnoText(r.error)));
    if (r.bytes < want)
        return JoinStep::failure(texts::sourceChangedWhilePacked(source.path));
    m_left -= r.bytes;
    got = r.bytes;
    if (m_left == 0) {
        closeSource();
        ++m_index;
        ended = true;
    }
    return JoinStep::next();
}

JoinStep ExpectedOutput::next(char* buffer, qint64 size, qint64& got)
{
    got = 0;
    while (got < size) {
        if (m_pendingAt < m_pending.size()) {
            const qint64 n = qMin<qint64>(size - got, m_pending.size() - m_pendingAt);
            std::memcpy(buffer + got, m_pending.constData() + m_pendingAt, size_t(n));
            m_pendingAt += qsizetype(n);
            got += n;
            continue;
        }
        if (m_index >= m_sources.size())
            break;
        const int index = m_index;
        qint64 n = 0;
        bool ended = false;
        if (!m_rewriter) {
            const JoinStep step = readSource(buffer + got, size - got, n, ended);
            if (!step.go())
                return step;
            got += n;
            continue;
        }
        m_pending.clear();
        m_pendingAt = 0;
        const JoinStep step = readSource(m_raw.get(), kRewritePiece, n, ended);
        if (!step.go())
            return step;
        m_rewriter->rewrite(index, m_raw.get(), n, m_pending);
        if (ended)
            m_rewriter->endSource(index, m_pending);
    }
    return JoinStep::next();
}

} // namespace kt
