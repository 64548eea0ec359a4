#pragma once
// Moves a source into the output, block after block, checking every byte's way.
//
// A block moves inside the kernel (copy_file_range) when it can, measured fastest here (see
// bench/join); anything short of the whole block is done again with read/write, which tells a
// source that ended or failed from an output that failed, and asks Retry/Cancel for the
// latter (Retry writes the same block again at the same place).
//
// With a rewriter (Seamless Join) every block goes through user space instead: read, rewritten
// in place, written; at a source's end the bytes the rewriter held back follow.
#include "base/File64.h"
#include "engine/JoinStep.h"
#include "mpeg/SeamlessRewriter.h"

#include <QString>
#include <memory>

namespace kt {

class BlockCopier
{
public:
    // `largestBlock`: the largest size copy() will be given (a block or a remainder).
    // `rewriter` (not owned): the sources' bytes pass through it, in plan order.
    BlockCopier(File64::Handle output, const QString& outputPath, qint64 largestBlock,
                SeamlessRewriter* rewriter = nullptr);

    // The next source, open at its start; `index` is its place in the rewriter's plan.
    void beginSource(File64::Handle source, const QString& path, quint64 length, int index = 0);
    // The source's next `size` bytes: a block, or while the kernel copies, as many blocks
    // as the caller chooses. On Go they count as copied, though the kernel copy may still
    // hold some back (less than a MiB) to end its calls on MiB boundaries. What read/write
    // moves goes in pieces of at most `largestBlock` (and the bytes held back).
    JoinStep copy(qint64 size);
    // Whether copies still go inside the kernel (until copy_file_range refuses the files).
    bool inKernel() const { return m_copyInKernel && !m_rewriter; }
    // Cancel keeps exactly the blocks counted so far: what was held back (by the kernel copy
    // or the rewriter) goes out first, without questions.
    void writeHeldBack();

private:
    bool copyInKernel(qint64 size);
    JoinStep readAndWrite(qint64 size);
    // Writes `size` bytes of `data`, asking Retry/Cancel when that fails.
    JoinStep write(const char* data, qint64 size);
    JoinStep writeRewritten(char* data, qint64 size, bool sourceEnds);
    char* buffer(); // room for the rewriter's headroom in front

    File64::Handle m_out;
    QString m_outputPath;
    qint64 m_bufferSize;
    File64::Handle m_source = File64::kInvalidHandle;
    QString m_sourcePath;
    quint64 m_sourceLength = 0;
    quint64 m_done = 0;  // bytes of the source counted as copied
    qint64 m_outPos = 0; // where the next block goes: a retried block is written here again
    // Bytes counted as copied that the kernel copy holds back to end on a MiB boundary; they
    // go with the next block.
    qint64 m_heldBack = 0;
    bool m_copyInKernel = true;       // until copy_file_range turns out not to work here
    std::unique_ptr<char[]> m_buffer; // made on first need
    SeamlessRewriter* m_rewriter;
};

} // namespace kt
