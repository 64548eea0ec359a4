#pragma once
// The window's shell: the desktop opens files and addresses; files go to the trash through GIO.
#include "platform/Shell.h"

namespace kt {

class DesktopShell final : public Shell
{
public:
    ShellOpenResult open(const QString& pathOrUrl) override;
    TrashResult moveToTrash(const QStringList& paths) override;
};

} // namespace kt
