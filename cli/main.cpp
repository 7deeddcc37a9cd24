// velsona-rec: the headless recorder for servers, SSH sessions and systemd units.
#include <csignal>
#include <string>
#include <vector>

#include "app/files/StepStops.h"
#include "cli/HeadlessRecorder.h"

int main(int argc, char** argv) {
    // A closed log pipe or a file-size limit must end a track through the writer's error path,
    // never kill the process with the track unfinished.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    InstallStepStopsForTests();
    CHeadlessRecorder recorder;
    return recorder.Run(std::vector<std::string>(argv + 1, argv + argc));
}
