#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// A lock held for the whole run by the copy of the program that takes it first: an advisory
// lock on a file, which the system releases when the holder ends, however it ends. Nothing is
// written to the file and it is left in place, so taking the lock costs a few system calls and
// no write to the disk, and a holder that was killed leaves no lock behind.
class RunLock
{
public:
    explicit RunLock(const QString &path);
    ~RunLock();
    Q_DISABLE_COPY_MOVE(RunLock)

    // False when another holder has the lock, or when the file cannot be opened or locked.
    bool isHeld() const { return m_descriptor >= 0; }
    // True only when another holder has the lock. A lock that cannot be made at all (no
    // runtime directory, a full disk, no locking on the file system) tells nothing of other
    // copies, so it does not count as one.
    bool heldByAnother() const { return m_heldByAnother; }

private:
    int m_descriptor = -1;
    bool m_heldByAnother = false;
};

} // namespace platform
