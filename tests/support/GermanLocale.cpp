// The German test locale.
#include "tests/support/GermanLocale.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

const std::string& LocaleFolder() {
    static TempDir folder;
    static const bool built = [] {
        const ProcessResult made = RunProcess("localedef -i de_DE -f UTF-8 " + folder.path() + "/de_DE.UTF-8 2>&1");
        // localedef warns about things that do not matter here and then says so in its status.
        if (made.exitCode > 1) ADD_FAILURE() << "localedef: " << made.output;
        return true;
    }();
    (void)built;
    return folder.path();
}

}  // namespace

GermanLocale::GermanLocale() {
    setenv("LOCPATH", LocaleFolder().c_str(), 1);
    m_active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr && std::strcmp(localeconv()->decimal_point, ",") == 0;
    if (!m_active) ADD_FAILURE() << "the German locale could not be set";
}

GermanLocale::~GermanLocale() {
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
}
