// Every test program's own state and data folders: the journal of open tracks of the recordings a
// test runs (in the program or in a velsona-rec or window it starts) never reaches the home of
// whoever runs the tests, and recovery sees only what this program left there; nor does a
// recording a test deletes, which goes to the trash under the data folder.
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

#include "tests/support/TempDir.h"

namespace {

class PrivateStateHome : public testing::Environment {
public:
    void SetUp() override {
        m_dir = std::make_unique<TempDir>();
        setenv("XDG_STATE_HOME", m_dir->path().c_str(), 1);
        setenv("XDG_DATA_HOME", (*m_dir / "data").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_STATE_HOME");
        unsetenv("XDG_DATA_HOME");
        m_dir.reset();
    }

private:
    std::unique_ptr<TempDir> m_dir;
};

[[maybe_unused]] testing::Environment* const g_privateStateHome =
    testing::AddGlobalTestEnvironment(new PrivateStateHome);

}  // namespace
