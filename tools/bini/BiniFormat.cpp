#include "BiniFormat.h"

namespace bini {

std::string toText(std::string_view) {
    throw FormatError("not implemented");
}

std::string fromText(std::string_view) {
    throw FormatError("not implemented");
}

} // namespace bini
