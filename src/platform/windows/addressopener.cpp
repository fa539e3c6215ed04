#include "platform/addressopener.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

// ShellExecute opens an address with the program the user has chosen for its scheme. It
// answers a number above 32 when it has started one.
bool openAddress(const QString &address, QString *failure)
{
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open",
        reinterpret_cast<LPCWSTR>(address.utf16()), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32)
        return true;
    *failure = result == SE_ERR_NOASSOC
        ? QStringLiteral("There is no program to open it (none is set for this kind of address).")
        : QStringLiteral("The system could not open it (error %1).").arg(result);
    return false;
}

} // namespace platform
