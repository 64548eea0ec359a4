#include "Shell.h"

#include "Trash.h"

#include <QCoreApplication>

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
    return QCoreApplication::translate("kt::Shell", "No program could be found to open '%1'. Set up a "
                                                    "program for it in the desktop's settings and "
                                                    "try again.")
        .arg(pathOrUrl);
}

Shell& shell()
{
    static HeadlessShell headless;
    return g_shell ? *g_shell : headless;
}

} // namespace kt
