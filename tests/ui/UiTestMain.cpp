// The window tests' main: an off-screen Qt application in Japanese, and no way to the machine's
// own logind.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "app/language/Catalogue.h"
#include "tests/support/QtLeakCheck.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Tests that need logind start the stand-in and point here at it.
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/velsona-tests-no-bus", 1);
    int result;
    {
        QApplication application(argc, argv);
        (void)UseLanguage(Language::kJapanese, {});
        InstallTranslators(application);
        result = RUN_ALL_TESTS();
    }
    CheckLeaksWhileQtStands();
    return result;
}
