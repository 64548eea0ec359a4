#pragma once
// The command line of klivatarn-pack, read as GNU tools read theirs (getopt_long): clustered
// short options and -oFILE, long options abbreviated while unambiguous, --output=FILE, options
// and files in any order, "--" before files that start with '-'.
#include "cli/CliPackHost.h"
#include "cli/InfoCommand.h"
#include "cli/Terminal.h"

#include <QStringList>
#include <variant>

namespace kt::cli {

enum class Command { Pack, Info, Help, Version };

struct CommandLine
{
    Command command = Command::Pack;
    QStringList files; // --info: the files as given; pack: the sources as given
    QString output;    // as given
    AnswerPolicy answers = AnswerPolicy::Ask;
    PackOptions options; // everything but the paths
    InfoFormat infoFormat = InfoFormat::Lines;
};

struct UsageProblem
{
    QString text; // one line, no program name
};

std::variant<CommandLine, UsageProblem> parseCommandLine(const QStringList& arguments);

} // namespace kt::cli
