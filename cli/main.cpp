// velsona-rec: the headless recorder for servers, SSH sessions and systemd units.
#include <cstdio>
#include <string>
#include <vector>

#include "app/control/StopSignals.h"
#include "app/files/StepStops.h"
#include "app/language/Catalogue.h"
#include "cli/HeadlessRecorder.h"
#include "platform/RuntimeModule.h"

int main(int argc, char** argv) {
    IgnoreWriteSignals();
    InstallStepStopsForTests();
    // Without its translation the program still records; it speaks Japanese then.
    if (const Result<void> language = UseLanguage(LanguageFromEnvironment(), TranslationsFolder(ProgramFolder().str()));
        !language)
        std::fprintf(stderr, "velsona-rec: %s\n", SaidUtf8(language.error().message).c_str());
    CHeadlessRecorder recorder;
    return recorder.Run(std::vector<std::string>(argv + 1, argv + argc));
}
