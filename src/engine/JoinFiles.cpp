#include "JoinFiles.h"

#include "engine/BlockCopier.h"
#include "engine/JoinArithmetic.h"
#include "engine/JoinPace.h"
#include "engine/OutputFile.h"
#include "engine/PackLock.h"
#include "engine/PackTexts.h"
#include "engine/ReadBack.h"
#include "engine/SameFile.h"
#include "engine/SeamlessSourceRewriter.h"
#include "mpeg/StreamInfo.h"
#include "platform/MessageBox.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <fcntl.h>
#include <new>
#include <optional>

namespace kt {
namespace {

class Joiner
{
public:
    Joiner(const JoinJob& job, PackHost& host, ProgressView& view, File64& file, const MonotonicClock& clock)
        : m_job(job), m_host(host), m_view(view), m_file(file), m_clock(clock),
          m_output(job.outputPath, sourcePaths(job), file), m_pace(view.frameMicroseconds())
    {
        if (job.seamless)
            m_rewriter.emplace(*job.seamless);
        if (!m_clock) {
            m_timer.start();
            m_clock = [this] { return m_timer.nsecsElapsed() / 1000; };
        }
    }

    JoinResult run();
    // The end when memory ran out: `text` was made before anything could run out.
    JoinResult outOfMemory(const QString& text);

private:
    static QStringList sourcePaths(const JoinJob& job);
    // Whether the join goes on after a step; when not, the join has ended as the step says.
    bool goOn(const JoinStep& step);
    bool packSource(int index);
    // Opens and locks a source still at its checked length: its identity, or none when the
    // join has ended.
    std::optional<FileIdentity> openSource(const PackSource& source);
    // Copies the open source's blocks with their progress; false when the join has ended.
    bool copyBlocks(quint64 length);
    // Counts `blocks` blocks of blockSize and a remainder done at once after `done` bytes of
    // `total`, from `from` to `to` microseconds, as their own updates would have (crossBlocks),
    // the estimate's at the time its block was done.
    void countBlocks(quint64 done, quint64 blocks, quint64 blockSize, quint64 remainder, quint64 total,
                     qint64 from, qint64 to);
    QString packedText() const; // the success message
    // The latest update's texts to the view, then the bar, which lets events through.
    void showProgress();
    // showProgress in the join: false when the pass brought Cancel (the join has ended).
    bool updateProgress();
    void finish();
    QString changedSource() const; // a source whose path no longer names what was packed
    // After the question and before the first source moves: nothing changed, and the output
    // read back from its storage holds the sources.
    JoinStep readyToTrash(const FileIdentity& written);
    JoinResult result() const { return {m_outcome, m_packedBytes, m_afterPack}; }

    // Ends of the join.
    void cancelled();
    void stopped(const QString& text);                         // Cancel once the output was written
    void failed(const QString& text, int style = MB_ICONHAND); // empty text: already shown

    qint64 largestBlock() const;

    const JoinJob& m_job;
    PackHost& m_host;
    ProgressView& m_view;
    File64& m_file;
    MonotonicClock m_clock;
    QElapsedTimer m_timer;
    qint64 m_start = 0;

    OutputFile m_output;
    std::optional<SeamlessRewriter> m_rewriter; // Seamless Join
    std::optional<BlockCopier> m_copier;
    JoinPace m_pace;
    qint64 m_lastPass = 0;
    File64::Handle m_source = File64::kInvalidHandle;
    quint64 m_packedBytes = 0;
    int m_percent = 0;              // of the last update
    int m_evenPercent = -1;         // the last even one since the last pass, -1: none
    qint64 m_evenPercentAt = 0;     // when its update was made
    QVector<FileIdentity> m_packed; // each source as it was opened and copied
    PackOutcome m_outcome = PackOutcome::Failed;
    DeleteOutcome m_afterPack = DeleteOutcome::Kept;
    int m_shownPercent = -1; // the texts last given to the view
    qint64 m_shownSeconds = -1;
};

JoinResult Joiner::run()
{
    m_view.beginJoin();
    m_host.busyMode(QStringLiteral("pack"));
    m_start = m_lastPass = m_clock();

    if (!goOn(m_output.prepare()))
        return result();
    m_copier.emplace(m_output.handle(), m_job.outputPath, largestBlock(),
                     m_rewriter ? &*m_rewriter : nullptr);
    m_view.setPercentText(percentText(0));
    m_shownPercent = 0;

    for (int i = 0; i < m_job.sources.size(); ++i)
        if (!packSource(i))
            return result();
    finish();
    return result();
}

JoinResult Joiner::outOfMemory(const QString& text)
{
    failed(text);
    return result();
}

QStringList Joiner::sourcePaths(const JoinJob& job)
{
    QStringList paths;
    for (const PackSource& s : job.sources)
        paths << s.path;
    return paths;
}

// The largest piece is a block or a remainder (which can exceed a block at ufast).
qint64 Joiner::largestBlock() const
{
    qint64 largest = m_job.block.blockSize;
    for (const PackSource& s : m_job.sources)
        largest = qMax<qint64>(largest, qint64(planBlocks(s.length, m_job.block).remainder));
    return largest;
}

bool Joiner::goOn(const JoinStep& step)
{
    switch (step.kind) {
    case JoinStep::Kind::Go:
        return true;
    case JoinStep::Kind::Failed:
        failed(step.text, step.style);
        return false;
    case JoinStep::Kind::Aborted:
        failed(texts::packingAborted(), MB_ICONINFORMATION);
        return false;
    case JoinStep::Kind::Stopped:
        stopped(step.text);
        return false;
    }
    return false;
}

bool Joiner::packSource(int index)
{
    const PackSource& source = m_job.sources[index];
    const std::optional<FileIdentity> opened = openSource(source);
    if (!opened)
        return false;
    ::posix_fadvise(m_source, 0, 0, POSIX_FADV_SEQUENTIAL); // read ahead further, as cat does
    m_host.showPackingFile(source.path);
    m_view.showPackingFile(source.path);

    if (!updateProgress()) // the file's name, and Cancel before its first block
        return false;
    m_copier->beginSource(m_source, source.path, source.length, index);
    if (!copyBlocks(source.length))
        return false;
    // Still the file that was opened, at the length taken at the start: a recording that
    // grew, or a file renamed over it, would lose bytes if it went to the trash.
    const FileIdentity copied = identityOfHandle(m_source);
    if (copied.size != opened->size || !copied.sameFile(identityOfPath(source.path)))
        return goOn(JoinStep::failure(texts::sourceChangedWhilePacked(source.path)));
    m_packed.push_back(copied);
    m_file.CloseFile(m_source);
    m_source = File64::kInvalidHandle;
    return true;
}

std::optional<FileIdentity> Joiner::openSource(const PackSource& source)
{
    const auto end = [this](const JoinStep& step) {
        goOn(step);
        return std::nullopt;
    };
    const quint64 length = GetFileLen(source.path);
    if (length != source.length) {
        // Opening would create a missing file; a file that changed would not match the checks.
        if (length == 0 && !QFileInfo::exists(source.path))
            return end(JoinStep::failure(texts::notFound(source.path)));
        return end(JoinStep::failure(texts::sourceChangedSize(source.path, source.length, length)));
    }
    // Sources are only read: a source gone since it was measured is not created again.
    const File64::OpenResult opening = m_file.OpenFile(source.path, File64::kReadOnlyExisting);
    if (!opening.ok()) {
        if (opening.error == ENOENT)
            return end(JoinStep::failure(texts::notFound(source.path)));
        MsgBox(File64::openErrorText(opening), File64::kOpenErrorStyle);
        if (isTooManyFiles(opening.error))
            return end(JoinStep::failure(texts::tooManyFiles(source.path)));
        return end(JoinStep::failure(QString()));
    }
    m_source = m_file.FileHandle();
    // Held while it is read: no other pack can take it as its output meanwhile.
    if (!lockSource(m_source))
        return end(JoinStep::failure(texts::sourceBeingWritten(source.path)));
    const FileIdentity opened = identityOfHandle(m_source);
    if (opened.size != qint64(length))
        return end(JoinStep::failure(
            texts::sourceChangedSize(source.path, source.length, quint64(qMax<qint64>(opened.size, 0)))));
    return opened;
}

bool Joiner::copyBlocks(quint64 length)
{
    const BlockPlan plan = planBlocks(length, m_job.block);
    const qint64 blockSize = m_job.block.blockSize;
    quint64 blocksLeft = plan.fullBlocks;
    quint64 remainderLeft = plan.remainder;
    while (blocksLeft > 0 || remainderLeft > 0) {
        // A kernel copy takes the rest of the source with its last blocks; read/write goes a
        // block or the remainder at a time, which its buffer holds.
        const bool inKernel = m_copier->inKernel();
        const quint64 blocks = qMin(blocksLeft, inKernel ? m_pace.blocksPerCopy(blockSize) : quint64(1));
        const quint64 remainder = blocks == 0 || (inKernel && blocks == blocksLeft) ? remainderLeft : 0;
        const qint64 bytes = qint64(blocks) * blockSize + qint64(remainder);
        const qint64 from = m_clock();
        if (!goOn(m_copier->copy(bytes)))
            return false;
        const qint64 to = m_clock();
        m_pace.copied(bytes, to - from);
        countBlocks(m_packedBytes, blocks, quint64(blockSize), remainder, m_job.totalPackSize, from, to);
        m_packedBytes += quint64(bytes);
        blocksLeft -= blocks;
        remainderLeft -= remainder;
        const bool end = blocksLeft == 0 && remainderLeft == 0;
        if ((end || m_pace.passDue(to - m_lastPass, to - from)) && !updateProgress())
            return false;
    }
    return true;
}

void Joiner::countBlocks(quint64 done, quint64 blocks, quint64 blockSize, quint64 remainder, quint64 total,
                         qint64 from, qint64 to)
{
    const quint64 bytes = blocks * blockSize + remainder;
    const CrossedBlocks crossed = crossBlocks(done, blocks, blockSize, remainder, total);
    m_percent = crossed.percent;
    if (crossed.evenPercent >= 0) {
        m_evenPercent = crossed.evenPercent;
        // Its block was done about as far into the copy's time as into its bytes.
        m_evenPercentAt = from + qint64(double(to - from) * double(crossed.evenThrough) / double(bytes));
    }
}

void Joiner::showProgress()
{
    // Thousands of blocks share a percentage: a text is made only when it can differ.
    if (m_evenPercent >= 0) {
        const qint64 seconds = secondsRemaining(m_evenPercent, (m_evenPercentAt - m_start) / 1000);
        m_evenPercent = -1;
        if (seconds != m_shownSeconds) {
            m_shownSeconds = seconds;
            m_view.setTimeRemainingText(timeRemainingText(seconds));
        }
    }
    if (m_percent != m_shownPercent) {
        m_shownPercent = m_percent;
        m_view.setPercentText(percentText(m_percent));
    }
    m_view.setProgressBarPos(m_percent);
    m_lastPass = m_clock();
}

bool Joiner::updateProgress()
{
    showProgress();
    if (m_view.cancelRequested()) {
        cancelled();
        return false;
    }
    return true;
}

void Joiner::finish()
{
    m_view.destroyProgressBar();
    m_view.setPercentText(QString());
    const bool trash = m_job.deleteAfter != DeleteAfterAction::No;
    // The sources must not go while the output may not be on disk: the file, then its folder.
    if (trash && !goOn(m_output.flush()))
        return;
    if (!goOn(m_output.checkWritten(m_job.outputSize())))
        return;
    if (trash && !goOn(m_output.flushFolder()))
        return;
    const FileIdentity written = identityOfHandle(m_output.handle());
    if (!goOn(m_output.close()))
        return;
    m_host.notBusyMode();
    m_host.unhideLogo();
    QVector<TrashItem> files;
    for (qsizetype i = 0; i < m_job.sources.size(); ++i) {
        const FileIdentity& p = m_packed.at(i);
        files.push_back({m_job.sources[i].path, {quint64(p.device), quint64(p.inode), p.size}});
    }
    JoinStep notReady;
    m_afterPack = DeleteFiles(files, m_job.deleteAfter, [&] {
        notReady = readyToTrash(written);
        return notReady.go();
    });
    if (m_afterPack == DeleteOutcome::NotReady) {
        goOn(notReady);
        return;
    }
    m_view.closeWindow();
    MsgBox(packedText(), MB_ICONINFORMATION);
    m_host.setWaitCursor(false);
    m_outcome = PackOutcome::Packed;
}

QString Joiner::packedText() const
{
    QString text = texts::packedSuccessfully(m_job.outputPath, m_job.outputSize());
    if (!m_job.seamless)
        return text;
    QVector<texts::UnchangedPart> unchanged;
    for (int i : m_job.seamless->unchangedParts())
        unchanged.push_back({m_job.seamless->parts[i].path, m_job.seamless->parts[i].reason});
    return text + texts::partsCopiedAsTheyWere(unchanged);
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

JoinStep Joiner::readyToTrash(const FileIdentity& written)
{
    const QString changed = changedSource();
    if (!changed.isEmpty())
        return JoinStep::failure(texts::sourceChangedWhilePacked(changed));
    QVector<PackedFile> sources;
    for (qsizetype i = 0; i < m_job.sources.size(); ++i)
        sources.push_back({m_job.sources[i].path, m_packed.at(i)});
    std::optional<SeamlessSourceRewriter> rewriter;
    if (m_job.seamless)
        rewriter.emplace(*m_job.seamless);
    ExpectedOutput expected(sources, rewriter ? &*rewriter : nullptr);
    const quint64 outputSize = m_job.outputSize();
    // Still the pack: the main window looks busy again while the output is read back.
    m_host.hideLogo();
    m_host.busyMode(QStringLiteral("pack"));
    m_host.showCheckingFile(m_job.outputPath);
    m_view.showCheckingFile(m_job.outputPath);
    m_start = m_lastPass = m_clock();
    m_shownPercent = -1;
    m_shownSeconds = -1;
    m_percent = 0;
    m_evenPercent = -1;
    quint64 checkedBefore = 0;
    qint64 pieceStart = m_start;
    // Each piece is an update, as a block is in the join; events go through by time too.
    const JoinStep checked = ReadBack(m_job.outputPath, written).run(expected, [&](quint64 done) {
        const qint64 now = m_clock();
        countBlocks(checkedBefore, 1, done - checkedBefore, 0, outputSize, pieceStart, now);
        const bool end = done >= outputSize, due = m_pace.passDue(now - m_lastPass, now - pieceStart);
        checkedBefore = done;
        pieceStart = now;
        if (!end && !due)
            return true;
        showProgress();
        return !m_view.cancelRequested();
    });
    m_view.destroyProgressBar();
    m_view.setPercentText(QString());
    if (checked.go()) {
        m_host.notBusyMode();
        m_host.unhideLogo();
    }
    return checked;
}

void Joiner::cancelled()
{
    m_copier->writeHeldBack();
    m_file.CloseAllFiles();
    stopped(texts::packingAborted());
}

void Joiner::stopped(const QString& text)
{
    File64::CloseAllHandles();
    m_host.notBusyMode();
    MsgBox(text, MB_ICONINFORMATION);
    m_host.destroyMainProgressBar();
    m_host.unhideLogo();
    m_view.closeWindow();
    m_outcome = PackOutcome::Cancelled;
}

void Joiner::failed(const QString& text, int style)
{
    File64::CloseAllHandles();
    if (!text.isEmpty())
        MsgBox(text, style);
    m_host.errorResumeProgram();
    m_view.closeWindow();
    m_outcome = PackOutcome::Failed;
}

} // namespace

JoinResult JoinFiles(const JoinJob& job, PackHost& host, ProgressView& view, File64& file,
                     const MonotonicClock& clock)
{
    // The join's boundary: running out of memory ends it like any failure, with a message.
    const QString noMemory = texts::outOfMemory();
    Joiner joiner(job, host, view, file, clock);
    try {
        return joiner.run();
    } catch (const std::bad_alloc&) {
        return joiner.outOfMemory(noMemory);
    }
}

} // namespace kt
