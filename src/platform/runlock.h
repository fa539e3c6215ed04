#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// A lock held for the whole run by the copy of the program that takes it first, which the
// system releases when the holder ends, however it ends, so a holder that was killed leaves no
// lock behind. On Linux it is an advisory lock on the file at path: nothing is written to the
// file and it is left in place, so taking the lock costs a few system calls and no write to
// the disk. On Windows it is a named mutex of the session, named after path.
class RunLock
{
public:
    explicit RunLock(const QString &path);
    ~RunLock();
    Q_DISABLE_COPY_MOVE(RunLock)

    // False when another holder has the lock, or when the file cannot be opened or locked.
    bool isHeld() const { return m_held; }
    // True only when another holder has the lock. A lock that cannot be made at all (no
    // runtime directory, a full disk, no locking on the file system) tells nothing of other
    // copies, so it does not count as one.
    bool heldByAnother() const { return m_heldByAnother; }

private:
    qintptr m_handle = 0; // the file descriptor or the mutex, while held
    bool m_held = false;
    bool m_heldByAnother = false;
};

} // namespace platform
