// The test stops behind the engine's step hook: the environment is read here, never in the engine.
#include "app/files/StepStops.h"

#include <csignal>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "foundation/StepHook.h"

namespace {

std::string g_steps;  // ",step,step,"

// ",step,": appended in place, since GCC 12 at -O2 takes "," + std::string&& for an overlapping copy.
std::string Delimited(const char* steps) { return std::string(1, ',').append(steps).append(1, ','); }

// Says where it stopped, on standard error, so the test knows which instant it holds.
void StopIfNamed(const char* step) {
    if (g_steps.find(Delimited(step)) == std::string::npos) return;
    const std::string line = std::string("stopped at ").append(step).append(1, '\n');  // untranslated: read by tests only
    if (write(STDERR_FILENO, line.data(), line.size()) < 0) return;
    raise(SIGSTOP);
}

}  // namespace

void InstallStepStopsForTests() {
    const char* steps = std::getenv("VELSONA_TEST_STOP_AT");
    if (!steps || !*steps) return;
    g_steps = Delimited(steps);
    SetStepHook(StopIfNamed);
}
