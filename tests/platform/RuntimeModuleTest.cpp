// Run-time modules: where they are looked for, exports resolved, absence reported, and the
// record of what came from where.
#include "platform/RuntimeModule.h"

#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

bool Recorded(const char* name, ModuleLoadRecord& found) {
    for (const ModuleLoadRecord& record : ModuleLoadRecords())
        if (record.name == name) {
            found = record;
            return true;
        }
    return false;
}

}  // namespace

TEST(RuntimeModule, LoadsFromTheProgramFolder) {
    CRuntimeModule module;
    const Result<void> loaded = module.Load("test_module");
    ASSERT_TRUE(loaded) << loaded.error().message.SourceText();
    auto answer = reinterpret_cast<int (*)()>(module.Symbol("TestModule_Answer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(module.Symbol("Hidden"), nullptr) << "only default-visibility exports";
    EXPECT_EQ(module.Symbol("NoSuchExport"), nullptr);
    char resolved[PATH_MAX];
    ASSERT_NE(realpath((ProgramFolder() + "test_module.so").c_str(), resolved), nullptr);
    EXPECT_EQ(module.Path(), resolved);
    ModuleLoadRecord record;
    ASSERT_TRUE(Recorded("test_module", record));
    EXPECT_EQ(record.path, resolved);
    module.Unload();
    EXPECT_TRUE(module.Path().IsEmpty());
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_EQ(module.Symbol("TestModule_Answer"), nullptr);
}

TEST(RuntimeModule, AMissingModuleIsReportedNotFatal) {
    CRuntimeModule module;
    const Result<void> loaded = module.Load("no_such_velsona_module");
    ASSERT_FALSE(loaded);
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_EQ(loaded.error().kind, FailureKind::kMissing);
    EXPECT_FALSE(loaded.error().message.SourceText().empty());
    ModuleLoadRecord record;
    ASSERT_TRUE(Recorded("no_such_velsona_module", record));
    EXPECT_TRUE(record.path.IsEmpty());
    EXPECT_NE(loaded.error().message.SourceText().find(record.error.str()), std::string::npos) << "the loader's reason is told";
}

TEST(RuntimeModule, SearchesBesideTheProgramThenInThePrivateFolderThenByName) {
    const std::vector<CCharString> installed = ModuleSearchPaths("/opt/velsona/bin/", "lame_enc.so");
    ASSERT_EQ(installed.size(), 3u);
    EXPECT_EQ(installed[0], "/opt/velsona/bin/lame_enc.so");
    EXPECT_EQ(installed[1], "/opt/velsona/bin/" + CCharString(kInstalledModuleFolder) + "lame_enc.so");
    EXPECT_EQ(installed[2], "lame_enc.so");
    // No folder of its own known: only the loader's search is left.
    const std::vector<CCharString> unknown = ModuleSearchPaths("", "lame_enc.so");
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_EQ(unknown[0], "lame_enc.so");
}

TEST(RuntimeModule, ProgramFolderEndsWithASeparator) {
    const CCharString folder = ProgramFolder();
    ASSERT_GT(folder.GetLength(), 1);
    EXPECT_EQ(folder.c_str()[folder.GetLength() - 1], '/');
}
