// What a call throws, for tables of calls beside the errors they must raise. Qt-free.
#pragma once

#include <functional>
#include <string>

#include "core/errors.h"

namespace hvtest {

// The message of the Error that f throws, "" when it throws none. Any other exception passes
// through and fails the test.
template <typename Error = HvError>
std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

}  // namespace hvtest
