// FailureText: a result's failure message for a test's failure output, empty when it succeeded.
#pragma once

#include <string>

#include "foundation/Result.h"

template <class T>
std::string FailureText(const Result<T>& result) {
    return result ? std::string() : result.error().message.SourceText();
}
