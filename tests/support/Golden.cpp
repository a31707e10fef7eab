#include "support/Golden.h"

#include "support/TestFiles.h"

#include <cstdlib>

namespace skarvel::test {

std::string golden(const std::string& relative, const std::string& actual) {
    const auto path = fixturePath(relative);
    if (std::getenv("SKARVEL_UPDATE_GOLDEN")) {
        writeBytes(path, actual);
    }
    return readBytes(path);
}

} // namespace skarvel::test
