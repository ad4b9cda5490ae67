#include "companions/rendaro/Waiting.h"

#include <algorithm>

namespace rendaro {

std::chrono::milliseconds nextNap(const QDateTime &now, const QDateTime &target)
{
    const qint64 left = now.msecsTo(target);
    if (left <= 0)
        return std::chrono::milliseconds{0};
    return std::min(std::chrono::milliseconds{left}, kLongestNap);
}

} // namespace rendaro
