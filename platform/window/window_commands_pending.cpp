// Command keys and the context menu for a backend that has neither yet: the
// page's, whose menu, keys and wheel come with its own rework. The program
// runs there as before: no key becomes a command and no menu opens.
//
// Implements: WindowCommandKeysSet, ContextMenuOpen and EventCommandId as
// doing nothing (EventCommandId: 0, since no command event is ever sent).
// Leaves out: everything of the menu; a backend with one replaces this file.
// Depends on: window.h only.
#include "platform/window/window.h"

bool WindowCommandKeysSet(ObjectId, std::span<const CommandKey>) {
  return true;
}

void ContextMenuOpen(ObjectId, std::int32_t, std::int32_t, std::span<const MenuEntry>) {}

std::int32_t EventCommandId() {
  return 0;
}
