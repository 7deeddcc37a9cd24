// The step hook: one process-wide function pointer, set once at start-up.
#include "foundation/StepHook.h"

#include <atomic>

namespace {
std::atomic<StepHook> g_hook{nullptr};
}

void SetStepHook(StepHook hook) { g_hook = hook; }

void ReachedStep(const char* step) {
    if (const StepHook hook = g_hook.load()) hook(step);
}
