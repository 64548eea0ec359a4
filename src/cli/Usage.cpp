#include "Usage.h"

#include "platform/Program.h"

#include <QCoreApplication>
#include <cstdio>

namespace kt::cli {
namespace {
struct Packer
{
    Q_DECLARE_TR_FUNCTIONS(kt::cli::Packer)
};
} // namespace

QString usageText()
{
    return Packer::tr("Usage: klivatarn-pack --info [-z | --json] FILE...\n"
                      "       klivatarn-pack -o OUTPUT [options] [--] SOURCE...\n"
                      "\n"
                      "Joins the SOURCE files, in order, byte for byte into OUTPUT after the checks of the\n"
                      "pack command. Messages and questions go to stderr.\n"
                      "\n"
                      "  -o, --output=OUTPUT  the file to write (also -oOUTPUT, --output OUTPUT)\n"
                      "      --force          replace an existing OUTPUT without asking\n"
                      "      --yes, --no      answer every Yes/No question (--no: Cancel to Retry/Cancel\n"
                      "                       too); else asked on a terminal, and without one a question\n"
                      "                       takes No or Cancel (status 3 when that stops the pack)\n"
                      "      --rate=RATE      slow, normal, fast (default) or ufast (also --rate RATE)\n"
                      "      --no-mpeg-check  skip the MPEG validity and compatibility check\n"
                      "      --seamless       Seamless Join: clocks continue across MPEG program-stream\n"
                      "                       parts, inner MP3 tags and VBR headers are left out (off by\n"
                      "                       default)\n"
                      "      --trash          move the sources to the trash after a successful pack\n"
                      "      --trash-prompt   the same after one question\n"
                      "      --info           describe each FILE: path, video size, frame rate, with TABs\n"
                      "                       between; control characters and '\\' in the path are\n"
                      "                       escaped (\\t, \\n, \\\\, \\033)\n"
                      "  -z, --null           with --info: end each row with NUL, the path unescaped\n"
                      "      --json           with --info: one JSON array, an object per FILE: path,\n"
                      "                       bytes, kind, width, height, frame_rate, duration (seconds),\n"
                      "                       bit_rate, sample_rate, channels (null when not known)\n"
                      "  -h, --help           this text\n"
                      "      --version        the program and its version\n"
                      "  --                   end of options: what follows are files, even '-x.mpg'\n"
                      "\n"
                      "Long options may be abbreviated while unambiguous (--out=FILE, --vers).\n"
                      "A name with control characters is quoted in messages as for the shell: 'a'$'\\n''b'.\n"
                      "Ctrl-C while packing cancels and leaves the part written so far.\n"
                      "Exit status: 0 packed (or every file described), 1 refused or failed,\n"
                      "2 usage error, 3 a question without an answer stopped the pack, 4 packed but a\n"
                      "source meant for the trash stayed where it was, 130 cancelled.\n");
}

QString versionLine()
{
    return QStringLiteral("klivatarn-pack ") + kt::versionText();
}

int usageError(const QString& message)
{
    const QString text = messagePrefix() + message + QLatin1Char('\n') +
                         Packer::tr("Try 'klivatarn-pack --help' for more information.") + QLatin1Char('\n');
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    return kExitUsage;
}

} // namespace kt::cli
