#pragma once
// EXPECT_QM_ERROR(statement, message): the statement throws a qm::Error whose message
// is exactly `message` (a std::string or a string literal). Fails when it throws
// nothing, another type or another message, and says which. More may be streamed
// into the failure, as with any EXPECT:
//
//   EXPECT_QM_ERROR(agent.LoadProject(path), "menu.zorbel, line 17: ...") << "a case";

#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <string>

#include "model/Error.h"

namespace qm::test {

inline ::testing::AssertionResult ThrowsQmError(const char* statementText, const std::function<void()>& statement,
                                                const std::string& expected) {
    try {
        statement();
    } catch (const Error& error) {
        if (expected == error.what()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << statementText << " throws a qm::Error with another message.\n"
                                             << "Expected: " << expected << "\n  Actual: " << error.what();
    } catch (const std::exception& error) {
        return ::testing::AssertionFailure() << statementText << " throws another exception than qm::Error: "
                                             << error.what();
    } catch (...) {
        return ::testing::AssertionFailure() << statementText << " throws something that is no exception";
    }
    return ::testing::AssertionFailure() << statementText << " throws nothing; expected a qm::Error: " << expected;
}

}  // namespace qm::test

// As GoogleTest's own checks do: a switch, so that an else after the check binds to the
// caller's if, and a failure that takes what is streamed after it.
#define EXPECT_QM_ERROR(statement, expected)                                                            \
    switch (0)                                                                                           \
    case 0:                                                                                              \
    default:                                                                                             \
        if (const ::testing::AssertionResult qm_thrown =                                                 \
                ::qm::test::ThrowsQmError(#statement, [&] { statement; }, (expected))) {                \
        } else                                                                                           \
            ADD_FAILURE() << qm_thrown.message()
