#pragma once
// The texts the pack command, the join and the after-pack actions show. Paths are
// quoted by quotedName(): between apostrophes, or in the shell's form when they hold
// control characters.
#include "platform/Shell.h"

#include <QString>
#include <QVector>

namespace kt::texts {

QString nothingToPack();         // "Nothing to pack."
QString atLeastTwoFiles();       // "At least 2 files are required for packing."
QString checkingFreeSpace();     // "Checking available freespace..."
QString verifyingMpeg();         // "Verifying mpeg compatibility..."
QString notCompatibleQuestion(); // the compatibility question
QString notEnoughFreeSpace();    // "Not enough free diskspace. Packing aborted!"
QString zeroByteFile(const QString& path);
QString cannotPackSaveAsFile(); // "Cannot pack Save As file!"
QString notFound(const QString& path);
QString notClosedProperly();
QString tooManyFiles(const QString& path);
QString cannotOverwrite(const QString& outputPath);
QString hiddenOutput(const QString& outputPath);
QString packingAborted(); // "Packing aborted by user"
// The join's catch-all message (one paragraph).
QString joinUnexpectedError();
// The pack command's catch-all message with the error number.
QString packUnexpectedError(int number);
QString packedSuccessfully(const QString& outputPath, quint64 totalBytes);
// Seamless Join: the question when the MPEG audio parts differ in sample rate or layer, and
// what follows the success text when parts were copied as they were (empty when none was).
QString mixedAudioQuestion();
struct UnchangedPart
{
    QString path;
    QString reason; // "not an MPEG stream", "damaged", ...
};
QString partsCopiedAsTheyWere(const QVector<UnchangedPart>& parts);

// Nothing lost silently: the messages of failures that the classic loop did not see.
QString cannotWrite(const QString& outputPath, const QString& reason); // asked with Retry/Cancel
QString cannotFlush(const QString& outputPath, const QString& reason);
QString cannotRead(const QString& path, const QString& reason);
QString sourceEndedEarly(const QString& path, quint64 got, quint64 expected);
QString sourceChangedSize(const QString& path, quint64 was, quint64 now);
// Files that changed while the pack ran: no success, no after-pack action.
QString sourceChangedWhilePacked(const QString& path);
QString outputDeleted(const QString& outputPath);
QString outputReplaced(const QString& outputPath);
QString outputWrongSize(const QString& outputPath, quint64 size, quint64 total);
QString cannotClose(const QString& outputPath, const QString& reason);

// A hostile neighbour, lying storage, odd outputs: refused or failed with the reason.
// `kind` is what stands at the output: "a pipe", "a character device", ...
QString outputNotRegular(const QString& outputPath, const QString& kind, bool throughLink);
QString outputNameTaken(const QString& outputPath); // made again each time it was deleted
QString outputIsSource(const QString& outputPath);  // found to be a source once opened
QString sourceBeingWritten(const QString& path);
QString tooLargeForFileSystem(const QString& outputPath, quint64 total, quint64 largest,
                              const QString& fileSystem);
QString checkingFile(const QString& shownPath); // the label of the read-back pass
QString outputDiffers(const QString& outputPath, quint64 fromByte);
QString cannotReadBack(const QString& outputPath, const QString& reason);
QString checkCancelled(const QString& outputPath);
QString outOfMemory();

// After-pack actions.
QString trashQuestion(const QStringList& paths);
QString notTrashed(const QVector<TrashFailure>& failures);

// The reason text of an errno ("No space left on device").
QString errnoText(int error);

} // namespace kt::texts
