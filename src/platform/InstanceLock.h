#pragma once
// One running copy per user: an advisory lock (flock) on a file in the user's private runtime
// folder, held for the program's life.
//
// The folder is derived from the user id alone, never from the start's environment, so a
// start from su, cron or a remote login without XDG_RUNTIME_DIR finds the same lock as a
// desktop start: /run/user/UID when the system made it (a folder of this user, mode 0700),
// else ~/.klivatarn in the home folder that the user database names (created 0700). A folder
// that is a link, belongs to someone else or is open to others is not used.
//
// The kernel drops the lock when its holder ends, however it ends, so what the file holds
// (nothing, junk, another program's bytes) and how old it is never matter: only a live
// holder refuses a start. A lock file that another user owns is never trusted: it is replaced.
// The descriptor is close-on-exec, so a program that this one starts (a viewer, a browser)
// does not keep the lock after this one has ended.
#include <QString>

namespace kt {

// A folder only this user can reach, or why there is none.
struct RuntimeFolder
{
    QString path;    // empty when there is none
    QString problem; // why not, for a message
};

// The user's private runtime folder (see above).
RuntimeFolder privateRuntimeFolder();
// The same from given places: systemFolder is used when it is a folder of this user with mode
// 0700; else `home`/.klivatarn, created 0700 (a folder of this user with other modes is made 0700).
RuntimeFolder privateRuntimeFolder(const QString& systemFolder, const QString& home);
// `path` when it is a folder (not a link) of this user with mode 0700.
RuntimeFolder checkedPrivateFolder(const QString& path);

class InstanceLock
{
public:
    enum class State {
        Held,        // this object holds the lock
        HeldByOther, // another live copy holds it
        Unavailable  // no lock can be had here (no folder, no locks on its file system)
    };

    // The lock file "klivatarn.lock" in `folder` (a private runtime folder).
    explicit InstanceLock(const QString& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock if it is free; Held again when this object already holds it.
    State tryAcquire();
    bool isHeld() const { return m_fd >= 0; }
    QString path() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace kt
