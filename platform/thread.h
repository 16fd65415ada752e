// Detached worker threads.
#pragma once

using PlatformThreadEntry = void (*)(void* argument);

// Starts a detached thread; false when the system refuses one.
bool platform_thread_start(PlatformThreadEntry entry, void* argument);
