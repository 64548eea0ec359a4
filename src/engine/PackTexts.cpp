#include "PackTexts.h"

#include "base/TextUtils.h"

#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <cstring>

namespace kt::texts {

QString nothingToPack()
{
    return QStringLiteral("Nothing to pack.");
}
QString atLeastTwoFiles()
{
    return QStringLiteral("At least 2 files are required for packing.");
}
QString checkingFreeSpace()
{
    return QStringLiteral("Checking available freespace...");
}
QString verifyingMpeg()
{
    return QStringLiteral("Verifying mpeg compatibility...");
}

QString notCompatibleQuestion()
{
    return QStringLiteral(
        "Not compatible for Klivaing. Proceed packing and ignore Mpeg Compatibility error?");
}

QString notEnoughFreeSpace()
{
    return QStringLiteral("Not enough free diskspace. Packing aborted!");
}

QString zeroByteFile(const QString& path)
{
    return QStringLiteral("Cannot pack %1 which is a 0 byte file. Packing aborted!").arg(quotedName(path));
}

QString cannotPackSaveAsFile()
{
    return QStringLiteral("Cannot pack Save As file!");
}

QString notFound(const QString& path)
{
    return QStringLiteral("%1 was not found! Packing aborted!").arg(quotedName(path));
}

QString notClosedProperly()
{
    return QStringLiteral("The requested file was not closed properly! Try again later!");
}

QString tooManyFiles(const QString& path)
{
    return QStringLiteral(
               "Kliva cannot pack %1 due to excess number of file handling. Possible solution is to "
               "move the file elsewhere other than the root directory.")
        .arg(quotedName(path));
}

QString cannotOverwrite(const QString& outputPath)
{
    return QStringLiteral("Cannot overwrite %1. Disk full/write-protected or file is in use.")
        .arg(quotedName(outputPath));
}

QString hiddenOutput(const QString& outputPath)
{
    return QStringLiteral("%1 is a hidden file. Packing aborted.").arg(quotedName(outputPath));
}

QString packingAborted()
{
    return QStringLiteral("Packing aborted by user");
}

QString joinUnexpectedError()
{
    return QStringLiteral(
        "Unexpected error. It may be a bug or an unexpected error has occur! Please quit and restart "
        "Vantu Kliva TARN. If the error persist, please submit a bug report immediately.");
}

QString packUnexpectedError(int number)
{
    return QStringLiteral(
               "Unexpected error. It may be a bug or an unexpected error has occur! Please quit and restart "
               "Vantu Kliva TARN.\r\nIf the problem persists, please submit a bug report immediately."
               "\r\n\r\nError number %1 detected.")
        .arg(number);
}

QString packedSuccessfully(const QString& outputPath, quint64 totalBytes)
{
    // "#,###": the locale's thousands separator even where the locale omits it by default (C).
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return QStringLiteral("%1 successfully packed! Total filesize is %2 bytes.")
        .arg(quotedName(outputPath), locale.toString(qulonglong(totalBytes)));
}

QString mixedAudioQuestion()
{
    return QStringLiteral("The audio files have different sample rates or layers. A player may not play the "
                          "joined file smoothly. Pack anyway?");
}

QString partsCopiedAsTheyWere(const QVector<UnchangedPart>& parts)
{
    if (parts.isEmpty())
        return {};
    QStringList named;
    for (const UnchangedPart& p : parts)
        named << QStringLiteral("%1 (%2)").arg(quotedName(QFileInfo(p.path).fileName()), p.reason);
    return QStringLiteral(" These parts were copied as they were: %1.").arg(named.join(QStringLiteral(", ")));
}

QString cannotWrite(const QString& outputPath, const QString& reason)
{
    return QStringLiteral(
               "Cannot write to %1: %2.\r\n\r\nRetry writes the same block again; Cancel stops packing "
               "and leaves the part written so far.")
        .arg(quotedName(outputPath), reason);
}

QString cannotFlush(const QString& outputPath, const QString& reason)
{
    return QStringLiteral("Cannot save %1 to disk: %2. Packing aborted! The source files were kept.")
        .arg(quotedName(outputPath), reason);
}

QString cannotRead(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot read %1: %2. Packing aborted!").arg(quotedName(path), reason);
}

QString sourceEndedEarly(const QString& path, quint64 got, quint64 expected)
{
    return QStringLiteral("%1 ended after %2 of its %3 bytes; it was changed while packing. Packing aborted!")
        .arg(quotedName(path), QString::number(got), QString::number(expected));
}

QString sourceChangedSize(const QString& path, quint64 was, quint64 now)
{
    return QStringLiteral("%1 changed size since packing started (%2 bytes, now %3). Packing aborted!")
        .arg(quotedName(path), QString::number(was), QString::number(now));
}

namespace {
QString keptSuffix()
{
    return QStringLiteral(" Packing aborted! The source files were kept.");
}
} // namespace

QString sourceChangedWhilePacked(const QString& path)
{
    return QStringLiteral("%1 changed while it was being packed.").arg(quotedName(path)) + keptSuffix();
}

QString outputDeleted(const QString& outputPath)
{
    return QStringLiteral("%1 was deleted while it was being packed.").arg(quotedName(outputPath)) +
           keptSuffix();
}

QString outputReplaced(const QString& outputPath)
{
    return QStringLiteral("%1 was replaced by another file while it was being packed.")
               .arg(quotedName(outputPath)) +
           keptSuffix();
}

QString outputWrongSize(const QString& outputPath, quint64 size, quint64 total)
{
    return QStringLiteral("%1 holds %2 bytes instead of %3.")
               .arg(quotedName(outputPath), QString::number(size), QString::number(total)) +
           keptSuffix();
}

QString cannotClose(const QString& outputPath, const QString& reason)
{
    return QStringLiteral("Cannot finish writing %1: %2.").arg(quotedName(outputPath), reason) + keptSuffix();
}

QString outputNotRegular(const QString& outputPath, const QString& kind, bool throughLink)
{
    return QStringLiteral("%1 %2 %3, not a regular file; a pack writes only regular files and never "
                          "replaces anything else. Packing aborted!")
        .arg(quotedName(outputPath), throughLink ? QStringLiteral("leads to") : QStringLiteral("is"), kind);
}

QString outputNameTaken(const QString& outputPath)
{
    return QStringLiteral("%1 was made again by another program each time it was deleted; it was not "
                          "replaced. Packing aborted!")
        .arg(quotedName(outputPath));
}

QString outputIsSource(const QString& outputPath)
{
    return QStringLiteral("%1 turned out to be one of the files being packed once it was opened; it was "
                          "not overwritten. Packing aborted!")
        .arg(quotedName(outputPath));
}

QString sourceBeingWritten(const QString& path)
{
    return QStringLiteral("%1 is being written by another pack. Packing aborted!").arg(quotedName(path));
}

QString tooLargeForFileSystem(const QString& outputPath, quint64 total, quint64 largest,
                              const QString& fileSystem)
{
    return QStringLiteral("%1 would hold %2 bytes, but its file system (%3) cannot hold a file larger "
                          "than %4 bytes. Packing aborted!")
        .arg(quotedName(outputPath), QString::number(total), fileSystem, QString::number(largest));
}

QString checkingFile(const QString& shownPath)
{
    return QStringLiteral("Checking %1").arg(quotedName(shownPath));
}

QString outputDiffers(const QString& outputPath, quint64 fromByte)
{
    return QStringLiteral("%1, read back from its storage, differs from the files packed from byte %2 "
                          "on: the storage did not keep what was written.")
               .arg(quotedName(outputPath), QString::number(fromByte)) +
           keptSuffix();
}

QString cannotReadBack(const QString& outputPath, const QString& reason)
{
    return QStringLiteral("Cannot read %1 back to check it: %2.").arg(quotedName(outputPath), reason) +
           keptSuffix();
}

QString checkCancelled(const QString& outputPath)
{
    return QStringLiteral("%1 was packed, but checking it was cancelled, so the source files were kept.")
        .arg(quotedName(outputPath));
}

QString outOfMemory()
{
    return QStringLiteral("There is not enough memory to go on.") + keptSuffix();
}

QString trashQuestion(const QStringList& paths)
{
    QString text = paths.size() == 1 ? QStringLiteral("Move this file to the trash?")
                                     : QStringLiteral("Move these %1 files to the trash?").arg(paths.size());
    text += QStringLiteral("\r\n");
    for (const QString& p : paths)
        text += QStringLiteral("\r\n%1").arg(quotedName(p));
    return text;
}

QString notTrashed(const QVector<TrashFailure>& failures)
{
    // A file that went to the trash without a usable record is not "left where it is".
    const auto line = [](const TrashFailure& f) {
        return f.inTrashAs.isEmpty()
                   ? QStringLiteral("%1 (%2)").arg(quotedName(f.path), f.reason)
                   : QStringLiteral("%1 (%2; it is in the trash, %3, and must be restored by hand)")
                         .arg(quotedName(f.path), f.reason, quotedName(f.inTrashAs));
    };
    if (failures.size() == 1 && failures[0].inTrashAs.isEmpty())
        return QStringLiteral("%1 could not be moved to the trash (%2). It was left where it is.")
            .arg(quotedName(failures[0].path), failures[0].reason);
    if (failures.size() == 1)
        return QStringLiteral("This file could not be moved to the trash properly:\r\n\r\n") +
               line(failures[0]);
    QString text =
        QStringLiteral("These files could not be moved to the trash and were left where they are:\r\n");
    for (const TrashFailure& f : failures)
        text += QStringLiteral("\r\n") + line(f);
    return text;
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace kt::texts
