#pragma once

#include <string>
#include <string_view>

namespace skarvel {

// The path with one trailing "/" (unchanged when it already ends with one; "" gives "/").
std::string makeCorrectPath(std::string_view path);

} // namespace skarvel
