// The value of a Result a test cannot go on without.
#pragma once

#include <gtest/gtest.h>
#include <utility>

#include "foundation/Result.h"

// The value; on a failure, its message is a test failure and an empty T stands in.
template <class T>
T ValueOrFail(Result<T> result) {
    if (result) return std::move(result).value();
    ADD_FAILURE() << result.error().message.SourceText();
    return T{};
}
