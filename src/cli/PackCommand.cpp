#include "PackCommand.h"

#include "base/File64.h"
#include "cli/CliPackHost.h"
#include "cli/CommandLine.h"
#include "cli/Terminal.h"
#include "cli/Usage.h"
#include "engine/DoPack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace kt::cli {
namespace {

QString notUtf8Text(const QString& shownPath)
{
    return QStringLiteral("'%1' cannot be packed: its name is not valid UTF-8.").arg(shownPath);
}

} // namespace

std::optional<QString> faithfulFullPath(const QString& path, QString* problem)
{
    // A name whose bytes are not UTF-8 cannot be reached again through a QString.
    if (path.contains(QChar::ReplacementCharacter)) {
        *problem = notUtf8Text(path);
        return std::nullopt;
    }
    if (QDir::isAbsolutePath(path))
        return QFileInfo(path).absoluteFilePath();
    // Qt decodes the working folder's name; a name that is not UTF-8 would come back as
    // another folder, and the output would be written where nobody asked.
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) {
        *problem = QStringLiteral("'%1' cannot be packed: the current folder cannot be found (%2).")
                       .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    const QByteArray bytes(buffer);
    const QString folder = QFile::decodeName(bytes);
    if (QFile::encodeName(folder) != bytes) {
        *problem = notUtf8Text(folder + QLatin1Char('/') + path);
        return std::nullopt;
    }
    return QFileInfo(QDir(folder), path).absoluteFilePath();
}

int runPack(const CommandLine& line)
{
    QString problem;
    PackOptions options = line.options;
    const std::optional<QString> output = faithfulFullPath(line.output, &problem);
    if (!output) {
        printLine(problem);
        return kExitFailed;
    }
    options.output = *output;
    for (const QString& source : line.files) {
        const std::optional<QString> full = faithfulFullPath(source, &problem);
        if (!full) {
            printLine(problem);
            return kExitFailed;
        }
        options.sources << *full;
    }
    // Said before anything is checked or opened: a folder can never be replaced by the pack.
    if (QFileInfo(options.output).isDir()) {
        printLine(QStringLiteral("'%1' is a folder; -o needs the name of a file.").arg(line.output));
        return kExitFailed;
    }

    TerminalPrompt prompt(line.answers);
    CliPackHost host(options);
    File64 file;
    switch (DoPack(host, file)) {
    case PackOutcome::Packed:
        return kExitPacked;
    case PackOutcome::Cancelled:
        return kExitCancelled;
    case PackOutcome::Stopped:
    case PackOutcome::Failed:
        break;
    }
    return kExitFailed;
}

} // namespace kt::cli
