#include "DoPack.h"

#include "engine/DiskSpace.h"
#include "engine/OutputFile.h"
#include "engine/PackLock.h"
#include "engine/PackTexts.h"
#include "engine/SameFile.h"
#include "mpeg/MpegCheck.h"
#include "mpeg/StreamInfo.h"
#include "platform/MessageBox.h"

namespace kt {
namespace {

// A run-time overflow, as the MPEG scan's chunk limit reports it.
constexpr int kOverflowErrorNumber = 6;

PackOutcome stop(PackHost& host)
{
    host.unhideLogo();
    host.setWaitCursor(false);
    return PackOutcome::Stopped;
}

// What one row's MPEG check means for the rest of the pack.
enum class MpegStep { Next, CheckNoMore, Stop, Fail };

MpegStep checkMpeg(File64& file, const QString& path, QStringList& referenceList)
{
    switch (VerifyMpegFile(file, path, referenceList)) {
    case MpegVerdict::Same:
        return MpegStep::Next;
    case MpegVerdict::NotMpegGoOn:
        return MpegStep::CheckNoMore;
    case MpegVerdict::NotMpegStop:
        return MpegStep::Stop; // the user declined: nothing more is said
    case MpegVerdict::Differs:
        return MsgBox(texts::notCompatibleQuestion(), MB_YESNO | MB_ICONHAND) == IDYES ? MpegStep::CheckNoMore
                                                                                       : MpegStep::Stop;
    case MpegVerdict::ScanLimit:
        MsgBox(texts::packUnexpectedError(kOverflowErrorNumber), MB_ICONHAND | MB_TOPMOST);
        return MpegStep::Fail;
    }
    return MpegStep::Stop;
}

// The plan of a seamless join; false when the user declined to join mixed audio.
bool planSeamless(JoinJob& job)
{
    QVector<SeamlessSource> parts;
    for (const PackSource& s : job.sources)
        parts.push_back({s.path, s.length});
    job.seamless = planSeamlessJoin(parts);
    return !job.seamless->mixedAudio ||
           MsgBox(texts::mixedAudioQuestion(), MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

// Whether the output's file system can take the whole output, said to the user when not.
bool outputFits(const JoinJob& job, quint64 freeSpace)
{
    if (const FileSizeLimit limit = largestFileSize(job.outputPath);
        limit.largest != 0 && job.outputSize() > limit.largest) {
        MsgBox(
            texts::tooLargeForFileSystem(job.outputPath, job.outputSize(), limit.largest, limit.fileSystem),
            MB_ICONHAND);
        return false;
    }
    // A seamless join may come out smaller, but the room asked for stays the sources' sum.
    if (!enoughFreeSpace(freeSpace, job.totalPackSize)) {
        MsgBox(texts::notEnoughFreeSpace(), MB_ICONHAND);
        return false;
    }
    return true;
}

// Runs the join inside the host's progress window; false when the window never started it.
bool runJoin(PackHost& host, const JoinJob& job, File64& file, JoinResult& result)
{
    bool joined = false;
    host.runJoinInProgressWindow([&](ProgressView& view) {
        if (joined)
            return; // one join per pack, even if the window is activated again
        joined = true;
        result = JoinFiles(job, host, view, file);
    });
    return joined;
}

} // namespace

RowVerdict checkRow(const QString& path, const QString& outputPath)
{
    // A missing or unreadable source has length 0 too.
    const quint64 length = GetFileLen(path);
    if (length == 0)
        return {RowVerdict::ZeroBytes, 0};
    if (isSameFile(path, outputPath))
        return {RowVerdict::SaveAsFile, length};
    if (isBeingWritten(path))
        return {RowVerdict::BeingWritten, length};
    return {RowVerdict::None, length};
}

QString RowVerdict::message(const QString& path) const
{
    switch (refusal) {
    case ZeroBytes:
        return texts::zeroByteFile(path);
    case SaveAsFile:
        return texts::cannotPackSaveAsFile();
    case BeingWritten:
        return texts::sourceBeingWritten(path);
    case None:
        break;
    }
    return {};
}

int RowVerdict::style() const
{
    return refusal == SaveAsFile ? MB_ICONEXCLAMATION : MB_ICONHAND;
}

PackOutcome DoPack(PackHost& host, File64& file, PackValues* values)
{
    PackValues local;
    PackValues& v = values ? *values : local;
    v = PackValues();

    const QStringList rows = host.packListPaths();
    if (rows.size() < 2) {
        MsgBox(rows.isEmpty() ? texts::nothingToPack() : texts::atLeastTwoFiles(), MB_ICONEXCLAMATION);
        return stop(host);
    }

    v.outputPath = host.askOutputPath().trimmed();
    if (v.outputPath.isEmpty())
        return stop(host);

    host.hideLogo();
    host.setWaitCursor(true);

    host.setStatusText(texts::checkingFreeSpace());
    v.freeSpace = QueryFreeDiskSpace(v.outputPath);
    // A device, a pipe or a file of the kernel is never replaced; said before any question.
    if (const QString notRegular = outputNotRegular(v.outputPath); !notRegular.isEmpty()) {
        MsgBox(notRegular, MB_ICONHAND);
        return stop(host);
    }

    const PackOptionValues options = host.packOptions();
    bool ignoreMpegErrors = false; // once the user chose to go on, no further file is checked
    JoinJob job;
    job.outputPath = v.outputPath;
    for (const QString& path : rows) {
        const RowVerdict row = checkRow(path, v.outputPath);
        if (!row.accepted()) {
            MsgBox(row.message(path), row.style());
            return stop(host);
        }
        v.totalPackSize += row.length;
        job.sources.push_back({path, row.length});

        if (!options.mpegCheck || ignoreMpegErrors)
            continue;
        host.setStatusText(texts::verifyingMpeg());
        switch (checkMpeg(file, path, v.mcheckList)) {
        case MpegStep::Next:
            break;
        case MpegStep::CheckNoMore:
            ignoreMpegErrors = true;
            break;
        case MpegStep::Stop:
            return stop(host);
        case MpegStep::Fail:
            host.errorResumeProgram();
            return PackOutcome::Failed;
        }
    }

    job.totalPackSize = v.totalPackSize;
    if ((options.seamless && !planSeamless(job)) || !outputFits(job, v.freeSpace))
        return stop(host);

    job.block = options.block;
    job.deleteAfter = options.deleteAfter;
    if (!runJoin(host, job, file, v.join)) {
        host.errorResumeProgram();
        return PackOutcome::Failed;
    }
    host.setWaitCursor(false);
    return v.join.outcome;
}

} // namespace kt
