#include "PackCommand.h"

#include "base/File64.h"
#include "base/TextUtils.h"
#include "cli/CliPackHost.h"
#include "cli/CommandLine.h"
#include "cli/Terminal.h"
#include "cli/Usage.h"
#include "engine/DoPack.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace kt::cli {
namespace {

struct Packer
{
    Q_DECLARE_TR_FUNCTIONS(kt::cli::Packer)
};

QString notUtf8Text(const QString& shownPath)
{
    return Packer::tr("%1 cannot be packed: its name is not valid UTF-8.").arg(quotedName(shownPath));
}

} // namespace

FullPath faithfulFullPath(const QString& given)
{
    // A name whose bytes are not UTF-8 cannot be reached again through a QString.
    if (given.contains(QChar::ReplacementCharacter))
        return {{}, notUtf8Text(given)};
    if (QDir::isAbsolutePath(given))
        return {QFileInfo(given).absoluteFilePath(), {}};
    // Qt decodes the working folder's name; a name that is not UTF-8 would come back as
    // another folder, and the output would be written where nobody asked.
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        return {{},
                Packer::tr("%1 cannot be packed: the current folder cannot be found (%2).")
                    .arg(quotedName(given), reason)};
    }
    const QByteArray bytes(buffer);
    const QString folder = QFile::decodeName(bytes);
    if (QFile::encodeName(folder) != bytes)
        return {{}, notUtf8Text(folder + QLatin1Char('/') + given)};
    return {QFileInfo(QDir(folder), given).absoluteFilePath(), {}};
}

int runPack(const CommandLine& line)
{
    PackOptions options = line.options;
    QStringList full;
    for (const QString& given : QStringList{line.output} + line.files) {
        const FullPath resolved = faithfulFullPath(given);
        if (!resolved.problem.isEmpty()) {
            printLine(resolved.problem);
            return kExitFailed;
        }
        full << resolved.path;
    }
    options.output = full.takeFirst();
    options.sources = full;
    // Said before anything is checked or opened: a folder can never be replaced by the pack.
    if (QFileInfo(options.output).isDir()) {
        printLine(Packer::tr("%1 is a folder; -o needs the name of a file.").arg(quotedName(line.output)));
        return kExitFailed;
    }

    TerminalPrompt prompt(line.answers);
    CliPackHost host(options);
    File64 file;
    PackValues values;
    switch (DoPack(host, file, &values)) {
    case PackOutcome::Packed:
        return values.join.afterPack == DeleteOutcome::NotTrashed ? kExitPackedSourcesKept : kExitPacked;
    case PackOutcome::Cancelled:
        return kExitCancelled;
    case PackOutcome::Stopped:
    case PackOutcome::Failed:
        break;
    }
    // A question nobody could answer took the safe answer, which ended the pack: say that,
    // not that someone chose to stop.
    if (!prompt.unanswered().isEmpty()) {
        printLine(
            Packer::tr("Packing aborted: the question \"%1\" was not answered.").arg(prompt.unanswered()));
        return kExitUnanswered;
    }
    return kExitFailed;
}

} // namespace kt::cli
