#include "platform/runlock.h"

#include <QCryptographicHash>

#include <windows.h>

namespace platform {

// The mutex is named after the path in the session's namespace. Paths name the same folder in
// any letter case on Windows, so the name is made from the lower-cased path; a hash keeps it
// within the length a name may have and free of backslashes, which a name may not hold.
RunLock::RunLock(const QString &path)
{
    const QByteArray key
        = QCryptographicHash::hash(path.toLower().toUtf8(), QCryptographicHash::Sha1).toHex();
    const QString name = QStringLiteral("Local\\Quorvin-") + QString::fromLatin1(key);
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(name.utf16()));
    if (!mutex)
        return;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        m_heldByAnother = true;
        ::CloseHandle(mutex);
        return;
    }
    m_handle = reinterpret_cast<qintptr>(mutex);
    m_held = true;
}

RunLock::~RunLock()
{
    if (m_held)
        ::CloseHandle(reinterpret_cast<HANDLE>(m_handle)); // the last handle ends the mutex
}

} // namespace platform
