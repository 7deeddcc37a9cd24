#include "foundation/Result.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <memory>

namespace {

Result<std::unique_ptr<int>> Make(bool fail) {
    if (fail) return SystemFailure(ENOSPC, UserText::Verbatim("no room"));
    return std::make_unique<int>(7);
}

TEST(Result, CarriesAMoveOnlyValueOrTheFailureWithItsErrno) {
    Result<std::unique_ptr<int>> made = Make(false);
    ASSERT_TRUE(made);
    std::unique_ptr<int> taken = std::move(made).value();
    EXPECT_EQ(*taken, 7);

    const Result<std::unique_ptr<int>> refused = Make(true);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().kind, FailureKind::kSystem);
    EXPECT_EQ(refused.error().error, ENOSPC);
    EXPECT_EQ(refused.error().message.SourceText(), "no room");
}

TEST(Result, VoidSucceedsByDefaultAndAFailureHandsOnToAnotherType) {
    const Result<void> done;
    EXPECT_TRUE(done);
    Result<void> failed = KindFailure(FailureKind::kBadData, UserText::Verbatim("not a WAV file"));
    ASSERT_FALSE(failed);
    const Result<int> handed = std::move(failed).error();
    ASSERT_FALSE(handed);
    EXPECT_EQ(handed.error().kind, FailureKind::kBadData);
    EXPECT_EQ(handed.value_or(-1), -1);
}

}  // namespace
