#include "BiniFormat.h"

#include <charconv>
#include <cmath>

namespace bini {

namespace {

// Longest fixed-point text worth writing; beyond it the exponent form is easier to read.
constexpr std::size_t kMaxFixedLength = 20;

} // namespace

std::string floatText(float value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    char buffer[64];
    const auto fixed =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    std::string text(buffer, fixed.ptr);
    if (text.size() <= kMaxFixedLength) {
        if (text.find('.') == std::string::npos) {
            text += ".0";
        }
        return text;
    }
    const auto scientific =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    text.assign(buffer, scientific.ptr);
    const std::size_t exponent = text.find('e');
    if (text.find('.') == std::string::npos) {
        text.insert(exponent, ".0");
    }
    return text;
}

} // namespace bini
