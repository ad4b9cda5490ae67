#include "platform/windows/WinAppFolder.h"

#include <windows.h>

namespace winplat {

namespace {
// Longest path Windows knows, "\\?\" form included, with room for the null.
constexpr std::size_t kLongestPath = 32768;
} // namespace

std::wstring moduleFileName(unsigned initialCapacity)
{
    std::wstring buffer(initialCapacity > 0 ? initialCapacity : 1, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        // A path that filled the buffer may have been cut short.
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        if (buffer.size() >= kLongestPath)
            return {};
        buffer.resize(buffer.size() * 2 < kLongestPath ? buffer.size() * 2 : kLongestPath);
    }
}

std::wstring folderOf(const std::wstring &modulePath)
{
    const std::size_t lastSeparator = modulePath.find_last_of(L"\\/");
    if (lastSeparator == std::wstring::npos)
        return {};
    std::wstring folder = modulePath.substr(0, lastSeparator);
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return folder + L'\\';
}

std::wstring applicationFolder()
{
    const std::wstring path = moduleFileName();
    return path.empty() ? std::wstring() : folderOf(path);
}

} // namespace winplat
