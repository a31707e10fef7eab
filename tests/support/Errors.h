#pragma once

#include <string>

namespace skarvel::test {

// The message of the Error that call throws, or "no error". Other exceptions pass through.
template <class Error, class Call> std::string errorOf(Call call) {
    try {
        call();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

} // namespace skarvel::test
