#include "Shell.h"

#include "Trash.h"

namespace kt {
namespace {
class HeadlessShell final : public Shell
{
public:
    ShellOpenResult open(const QString&) override { return ShellOpenResult::Failed; }
    TrashResult moveToTrash(const QVector<TrashItem>& files) override { return moveFilesToTrash(files); }
};
Shell* g_shell = nullptr;
} // namespace

void installShell(Shell* shell)
{
    g_shell = shell;
}

QString noProgramToOpenText(const QString& pathOrUrl)
{
    return QStringLiteral("No program could be found to open '") + pathOrUrl +
           QStringLiteral("'. Set up a program for it in the desktop's settings and try again.");
}

Shell& shell()
{
    static HeadlessShell headless;
    return g_shell ? *g_shell : headless;
}

} // namespace kt
