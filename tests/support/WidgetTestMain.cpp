// Runs widget tests inside a QApplication on the offscreen platform unless another is asked for.
#include <QApplication>
#include <gtest/gtest.h>

#include "tests/support/QtLeakCheck.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int result;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    CheckLeaksWhileQtStands();
    return result;
}
