#pragma once
// The message of the qm::Error a call throws; a call that does not throw fails the test.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "model/Error.h"

namespace qm::test {

inline std::string MessageOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.what();
    }
    ADD_FAILURE() << "no error thrown";
    return {};
}

}  // namespace qm::test
