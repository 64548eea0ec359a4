#pragma once
// What the output must hold, made again from the sources: the read-back compares the output
// with these bytes before any source goes to the trash.
//
// A plain join writes each source's bytes as they are (the kernel moves them). A join that
// rewrites the sources as it goes (Seamless Join) does it through a SourceRewriter: the copy
// loop writes what the rewriter emits, and the read-back hands a rewriter started afresh the
// same sources, so it makes the same bytes again. The comparison needs nothing else from it.
//
// Each source must still be the file packed (device, inode and size); reads are bounded by
// the size packed, and a source that cannot be read or changed ends it with the message.
#include "engine/JoinStep.h"
#include "engine/SameFile.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <memory>

namespace kt {

// A deterministic rewrite of the sources, fed their bytes in order.
class SourceRewriter
{
public:
    virtual ~SourceRewriter() = default;
    virtual void restart() = 0; // forget everything: the first source comes next
    // Appends to `out` the output's bytes for these next bytes of source `index` (some may be
    // held back until more come).
    virtual void rewrite(int index, const char* data, qint64 size, QByteArray& out) = 0;
    // Appends what was held back at the end of source `index`.
    virtual void endSource(int index, QByteArray& out) = 0;
};

// A source as it was packed.
struct PackedFile
{
    QString path;
    FileIdentity identity;
};

class ExpectedOutput
{
public:
    // Without a rewriter the output is the sources' bytes as they are. Not owned.
    explicit ExpectedOutput(const QVector<PackedFile>& sources, SourceRewriter* rewriter = nullptr);
    ~ExpectedOutput();
    ExpectedOutput(const ExpectedOutput&) = delete;
    ExpectedOutput& operator=(const ExpectedOutput&) = delete;

    // The next bytes the output must hold, up to `size` of them in `buffer`; `got` is fewer
    // only at the end.
    JoinStep next(char* buffer, qint64 size, qint64& got);

private:
    // Up to `size` bytes of the current source, none past its end; `ended` when it ended.
    JoinStep readSource(char* buffer, qint64 size, qint64& got, bool& ended);
    void closeSource();

    QVector<PackedFile> m_sources;
    SourceRewriter* m_rewriter;
    int m_index = 0;
    int m_fd = -1;
    qint64 m_left = 0;    // bytes of the open source still to come
    QByteArray m_pending; // emitted by the rewriter, not yet handed out
    qsizetype m_pendingAt = 0;
    std::unique_ptr<char[]> m_raw; // a piece of a source, for the rewriter
};

} // namespace kt
