#include "tests/support/TestLocales.h"

#include <gtest/gtest.h>
#include <mutex>
#include <set>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

std::string TestLocaleFolder(const std::string& locale) {
    static TempDir folder;
    static std::mutex lock;
    static std::set<std::string> built;
    const std::lock_guard<std::mutex> guard(lock);
    if (built.count(locale)) return folder.path();
    const std::string source = locale.substr(0, locale.find('.'));
    const ProcessResult made = RunProcess("localedef -i " + source + " -f UTF-8 " + folder.path() + "/" + locale + " 2>&1");
    // localedef warns about things that do not matter here and then says so in its status.
    if (made.exitCode > 1) {
        ADD_FAILURE() << "localedef " << locale << ": " << made.output;
        return {};
    }
    built.insert(locale);
    return folder.path();
}
