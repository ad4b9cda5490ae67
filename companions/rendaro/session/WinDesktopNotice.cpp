// Notices as message boxes of the program's own.
#include "companions/rendaro/session/DesktopNotice.h"

#include <windows.h>

namespace rendaro {

// Until the user has closed each box.
const std::optional<std::chrono::seconds> DesktopNotice::kSettleWithin = std::nullopt;

void DesktopNotice::send(const QString &title, const QString &text)
{
    MessageBoxW(nullptr, reinterpret_cast<LPCWSTR>(text.utf16()), reinterpret_cast<LPCWSTR>(title.utf16()),
                MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

} // namespace rendaro
