#pragma once
// Checks that a call fails with a given run-time error.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/runtime_error.h"

namespace kestro::test {

// Runs call and reports a test failure unless it throws RuntimeError number/description.
template <class Call>
void expectRuntimeError(Call&& call, std::int32_t number, const std::string& description,
                        const std::string& context) {
    try {
        call();
        ADD_FAILURE() << context << ": no error, expected " << number << " " << description;
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), number) << context;
        EXPECT_EQ(e.description(), description) << context;
    }
}

}  // namespace kestro::test
