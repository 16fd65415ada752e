#include "platform/thread.h"

#include <pthread.h>

#include <new>

namespace {
struct StartBlock {
    PlatformThreadEntry entry;
    void* argument;
};

void* trampoline(void* raw) {
    StartBlock block = *static_cast<StartBlock*>(raw);
    delete static_cast<StartBlock*>(raw);
    block.entry(block.argument);
    return nullptr;
}
}  // namespace

bool platform_thread_start(PlatformThreadEntry entry, void* argument) {
    auto* block = new (std::nothrow) StartBlock{entry, argument};
    if (!block) return false;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    // Translated programs recurse through GOSUB-free native frames only,
    // but some runtime paths keep large buffers on the stack.
    pthread_attr_setstacksize(&attr, 16u << 20);
    pthread_t id;
    bool ok = pthread_create(&id, &attr, trampoline, block) == 0;
    pthread_attr_destroy(&attr);
    if (!ok) delete block;
    return ok;
}
