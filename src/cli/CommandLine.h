#pragma once
// The command line of klivatarn-pack: the usual forms (-oFILE, --output=FILE, --rate=RATE,
// clustered short options, "--" before files that start with '-') and what they ask for.
#include "cli/CliPackHost.h"
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
};

struct UsageProblem
{
    QString text; // one line, no program name
};

std::variant<CommandLine, UsageProblem> parseCommandLine(const QStringList& arguments);

} // namespace kt::cli
