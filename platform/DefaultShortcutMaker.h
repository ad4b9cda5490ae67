#pragma once

#include "platform/ShortcutMaker.h"

#include <memory>

namespace platform {

// The shortcut maker of this platform.
std::unique_ptr<ShortcutMaker> makeDefaultShortcutMaker();

} // namespace platform
