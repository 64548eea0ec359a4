#pragma once
// The window's shell: the desktop opens files and addresses; files go to the trash through GIO.
#include "platform/Shell.h"

namespace kt {

// Files and addresses go to xdg-open when there is one, which says whether anything
// could open them. Its verdict is awaited for `verdictMs`: a failed start within that
// time is the open's result; "no program" that comes later (a slow desktop) is said here,
// with the same message the callers give, as long as it comes within `lateFailureMs` of
// the start. A program that started and then failed is never reported as none found.
class DesktopShell final : public Shell
{
public:
    explicit DesktopShell(int verdictMs = 2000, int lateFailureMs = 20000)
        : m_verdictMs(verdictMs), m_lateFailureMs(lateFailureMs)
    {
    }
    ShellOpenResult open(const QString& pathOrUrl) override;
    TrashResult moveToTrash(const QVector<TrashItem>& files) override;

private:
    ShellOpenResult openWithXdgOpen(const QString& opener, const QString& argument, const QString& shown);

    int m_verdictMs;
    int m_lateFailureMs;
};

} // namespace kt
