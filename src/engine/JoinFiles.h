#pragma once
// The join: copies the sources, in order, into the output, block by block, inside the
// progress window (one kernel copy may span several blocks, each counted), and ends in exactly one of: packed
// (success message), cancelled
// ("Packing aborted by user"), or failed (a message naming what went wrong).
//
// Nothing is lost silently: every read and write is checked. A failed or short write asks
// Retry/Cancel and Retry writes the same block again at the same place; a source that
// ends before its length, changed size, or cannot be read ends the pack. After a failure
// or Cancel no after-pack action runs, no success is reported, and the partial output is
// left as it is. Before sources go to the trash the output and its folder are flushed to disk,
// the output is read back from its storage and compared with the sources (a second pass of
// the progress window, which Cancel stops), and each source must still be the file packed.
// Running out of memory ends the join as a failure with a message.
//
// Seamless Join (a plan in the job): every block goes through the plan's rewriter on its way
// (read, rewrite, write) with the same blocks, progress and Cancel; the output is the plan's
// size, the read-back makes the rewritten stream again to compare, and the success message
// names the parts that were copied as they were.
#include "base/File64.h"
#include "base/TransferRate.h"
#include "engine/DeleteFiles.h"
#include "engine/PackHost.h"
#include "mpeg/SeamlessPlan.h"

#include <QString>
#include <QVector>
#include <functional>
#include <optional>

namespace kt {

struct PackSource
{
    QString path;
    quint64 length = 0; // measured by the pack command's checks
};

struct JoinJob
{
    QString outputPath;
    QVector<PackSource> sources; // in Pack List order
    quint64 totalPackSize = 0;   // sum of the lengths
    BlockSize block;
    DeleteAfterAction deleteAfter = DeleteAfterAction::No;
    // Seamless Join: the sources go through the rewriter of this plan, in user space; the
    // output is the plan's size. Empty: the join is byte for byte.
    std::optional<SeamlessPlan> seamless;

    quint64 outputSize() const { return seamless ? seamless->outputSize : totalPackSize; }
};

enum class PackOutcome {
    Packed,    // the output is complete and the success message was shown
    Stopped,   // refused by a check, or the user declined a question before writing
    Failed,    // a failure ended the pack (also Cancel on a failure's question)
    Cancelled, // the user pressed Cancel during the join or its read-back
};

struct JoinResult
{
    PackOutcome outcome = PackOutcome::Failed;
    quint64 packedBytes = 0;                       // PackedBytes when the join ended
    DeleteOutcome afterPack = DeleteOutcome::Kept; // what became of the sources when packed
};

// Microseconds from any fixed start, never going back. Empty: the steady clock.
using MonotonicClock = std::function<qint64()>;

JoinResult JoinFiles(const JoinJob& job, PackHost& host, ProgressView& view, File64& file,
                     const MonotonicClock& clock = {});

} // namespace kt
