#include "platform/heaptrim.h"

#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

namespace {

std::function<void()>& ReplacedAction() {
    static std::function<void()> action;
    return action;
}

} // namespace

void GiveBackFreedMemory() {
    if (ReplacedAction()) {
        ReplacedAction()();
        return;
    }
#if defined(__GLIBC__)
    // Free pages anywhere in the heap, not only at its end.
    malloc_trim(0);
#endif
}

void SetGiveBackFreedMemory(std::function<void()> action) {
    ReplacedAction() = std::move(action);
}

} // namespace platform
