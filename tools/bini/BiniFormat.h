#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace bini {

class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text form of a BINI file; throws FormatError for anything not well formed.
std::string toText(std::string_view biniBytes);
// A BINI file from the text form of a settings file.
std::string fromText(std::string_view text);

} // namespace bini
