#include "platform/runlock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

RunLock::RunLock(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int descriptor = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        m_heldByAnother = errno == EWOULDBLOCK;
        ::close(descriptor);
        return;
    }
    m_handle = descriptor;
    m_held = true;
}

RunLock::~RunLock()
{
    if (m_held)
        ::close(int(m_handle)); // closing the last descriptor releases the lock
}

} // namespace platform
