// A test seam at the named steps of finishing a track: the front end may install a function the
// engine calls there, so a test can stop the process at an exact instant. Nothing by default.
#pragma once

using StepHook = void (*)(const char* step);

void SetStepHook(StepHook hook);
// Called where finishing reaches `step`; returns at once without a hook.
void ReachedStep(const char* step);
