// The window tests' main: an off-screen Qt application in Japanese, and no way to the machine's
// own logind; for the schedule's timers, a private systemd user manager.
#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

#include "app/language/Catalogue.h"
#include "tests/support/QtLeakCheck.h"

#ifdef VELSONA_PRIVATE_USER_MANAGER
#include "tests/support/UserManager.h"
PrivateUserManager* g_userManager = nullptr;
#endif

int main(int argc, char** argv) {
#ifdef VELSONA_PRIVATE_USER_MANAGER
    // First, before any thread: the manager moves the whole program into a namespace of its own.
    // Listing the tests at build time needs none.
    std::unique_ptr<PrivateUserManager> manager;
    if (argc < 2 || std::strcmp(argv[1], "--gtest_list_tests") != 0) {
        manager = std::make_unique<PrivateUserManager>();
        g_userManager = manager.get();
    }
#endif
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
