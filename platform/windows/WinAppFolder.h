#pragma once

#include <string>

namespace winplat {

// The folder of the running executable, ending in exactly one backslash
// ("C:\Tools\", "C:\" at a drive's root); empty when Windows cannot say.
std::wstring applicationFolder();

// The full path of the running executable, however long (the buffer grows
// from initialCapacity characters until the path fits).
std::wstring moduleFileName(unsigned initialCapacity = 260);

// The folder part of an executable's path with exactly one backslash at the
// end: "C:\Tools\x.exe" -> "C:\Tools\", "C:\x.exe" -> "C:\"; empty when the
// path names no folder.
std::wstring folderOf(const std::wstring &modulePath);

} // namespace winplat
