// velsona-rec: the headless recorder for servers, SSH sessions and systemd units.
#include <string>
#include <vector>

#include "app/control/StopSignals.h"
#include "app/files/StepStops.h"
#include "cli/HeadlessRecorder.h"

int main(int argc, char** argv) {
    IgnoreWriteSignals();
    InstallStepStopsForTests();
    CHeadlessRecorder recorder;
    return recorder.Run(std::vector<std::string>(argv + 1, argv + argc));
}
