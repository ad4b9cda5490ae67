// Where no /proc tells a process's parent and session: nothing is known of them.
#include "companions/rendaro/session/ProcessFamily.h"

namespace rendaro {

std::optional<ProcessLinks> processLinks(qint64)
{
    return std::nullopt;
}

} // namespace rendaro
