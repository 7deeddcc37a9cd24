// Run-time modules: found beside the program, exports resolved, absence reported.
#include "platform/RuntimeModule.h"

#include <gtest/gtest.h>

TEST(RuntimeModule, LoadsFromTheProgramFolder) {
    CRuntimeModule module;
    ASSERT_TRUE(module.Load("test_module")) << module.Error().c_str();
    auto answer = reinterpret_cast<int (*)()>(module.Symbol("TestModule_Answer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(module.Symbol("Hidden"), nullptr) << "only default-visibility exports";
    EXPECT_EQ(module.Symbol("NoSuchExport"), nullptr);
    module.Unload();
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_EQ(module.Symbol("TestModule_Answer"), nullptr);
}

TEST(RuntimeModule, AMissingModuleIsReportedNotFatal) {
    CRuntimeModule module;
    EXPECT_FALSE(module.Load("no_such_velsona_module"));
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_FALSE(module.Error().IsEmpty());
}

TEST(RuntimeModule, ProgramFolderEndsWithASeparator) {
    const CCharString folder = ProgramFolder();
    ASSERT_GT(folder.GetLength(), 1);
    EXPECT_EQ(folder.c_str()[folder.GetLength() - 1], '/');
}
