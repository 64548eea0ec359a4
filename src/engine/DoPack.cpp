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
    if (rows.isEmpty()) {
        MsgBox(texts::nothingToPack(), MB_ICONEXCLAMATION);
        return stop(host);
    }
    if (rows.size() == 1) {
        MsgBox(texts::atLeastTwoFiles(), MB_ICONEXCLAMATION);
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
        switch (VerifyMpegFile(file, path, v.mcheckList)) {
        case MpegVerdict::Same:
            break;
        case MpegVerdict::NotMpegGoOn:
            ignoreMpegErrors = true;
            break;
        case MpegVerdict::NotMpegStop:
            return stop(host); // the user declined: nothing more is said
        case MpegVerdict::Differs:
            if (MsgBox(texts::notCompatibleQuestion(), MB_YESNO | MB_ICONHAND) != IDYES)
                return stop(host);
            ignoreMpegErrors = true;
            break;
        case MpegVerdict::ScanLimit:
            MsgBox(texts::packUnexpectedError(kOverflowErrorNumber), MB_ICONHAND | MB_TOPMOST);
            host.errorResumeProgram();
            return PackOutcome::Failed;
        }
    }

    if (options.seamless) {
        QVector<SeamlessSource> parts;
        for (const PackSource& s : job.sources)
            parts.push_back({s.path, s.length});
        job.seamless = planSeamlessJoin(parts);
        if (job.seamless->mixedAudio &&
            MsgBox(texts::mixedAudioQuestion(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            return stop(host);
    }
    job.totalPackSize = v.totalPackSize;
    if (const FileSizeLimit limit = largestFileSize(v.outputPath);
        limit.largest != 0 && job.outputSize() > limit.largest) {
        MsgBox(texts::tooLargeForFileSystem(v.outputPath, job.outputSize(), limit.largest, limit.fileSystem),
               MB_ICONHAND);
        return stop(host);
    }
    // A seamless join may come out smaller, but the room asked for stays the sources' sum.
    if (!enoughFreeSpace(v.freeSpace, v.totalPackSize)) {
        MsgBox(texts::notEnoughFreeSpace(), MB_ICONHAND);
        return stop(host);
    }

    job.block = options.block;
    job.deleteAfter = options.deleteAfter;
    bool joined = false;
    host.runJoinInProgressWindow([&](ProgressView& view) {
        if (joined)
            return; // one join per pack, even if the window is activated again
        joined = true;
        v.join = JoinFiles(job, host, view, file);
    });
    if (!joined) {
        host.errorResumeProgram();
        return PackOutcome::Failed;
    }
    host.setWaitCursor(false);
    return v.join.outcome;
}

} // namespace kt
