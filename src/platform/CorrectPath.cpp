#include "platform/CorrectPath.h"

namespace skarvel {

std::string makeCorrectPath(std::string_view path) {
    std::string result(path);
    if (result.empty() || result.back() != '/') {
        result += '/';
    }
    return result;
}

} // namespace skarvel
