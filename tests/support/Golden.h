#pragma once

#include <string>

namespace skarvel::test {

// The stored bytes of a golden file (a path below tests/data). With SKARVEL_UPDATE_GOLDEN=1
// in the environment, actual is stored first: review the diff before committing it.
std::string golden(const std::string& relative, const std::string& actual);

} // namespace skarvel::test
