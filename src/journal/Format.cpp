#include "journal/Format.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace skarvel {

namespace {

std::string padded(std::string text, int width, bool leftAlign) {
    if (width > 0 && static_cast<int>(text.size()) < width) {
        const std::string fill(static_cast<std::size_t>(width) - text.size(), ' ');
        text = leftAlign ? text + fill : fill + text;
    }
    return text;
}

std::string formatNumber(long long number, int width, int precision, bool leftAlign, bool zeroPad) {
    // Widen before negating so that the smallest value does not overflow.
    const unsigned long long magnitude = number < 0
                                             ? static_cast<unsigned long long>(-(number + 1)) + 1ULL
                                             : static_cast<unsigned long long>(number);
    std::string digits = std::to_string(magnitude);
    if (precision >= 0 && static_cast<int>(digits.size()) < precision) {
        digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
    }
    std::string text = (number < 0 ? "-" : "") + digits;
    if (zeroPad && !leftAlign && precision < 0 && width > static_cast<int>(text.size())) {
        const std::size_t fill = static_cast<std::size_t>(width) - text.size();
        text.insert(number < 0 ? 1 : 0, fill, '0');
    }
    return padded(text, width, leftAlign);
}

} // namespace

std::string formatText(std::string_view format, std::initializer_list<FormatArg> args) {
    const std::vector<FormatArg> arguments(args);
    std::size_t next = 0;
    std::string out;
    out.reserve(format.size() + 32);
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            out.push_back(c);
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out.push_back('%');
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool leftAlign = false;
        bool zeroPad = false;
        while (j < format.size() && (format[j] == '-' || format[j] == '0')) {
            (format[j] == '-' ? leftAlign : zeroPad) = true;
            ++j;
        }
        int width = 0;
        while (j < format.size() && format[j] >= '0' && format[j] <= '9') {
            width = width * 10 + (format[j++] - '0');
        }
        int precision = -1;
        if (j < format.size() && format[j] == '.') {
            precision = 0;
            ++j;
            while (j < format.size() && format[j] >= '0' && format[j] <= '9') {
                precision = precision * 10 + (format[j++] - '0');
            }
        }
        if (j >= format.size()) {
            throw std::invalid_argument("Format '" + std::string(format) + "' invalid");
        }
        const char directive = format[j];
        if (next >= arguments.size()) {
            throw std::invalid_argument("Format '" + std::string(format) +
                                        "' invalid or incompatible with argument");
        }
        const auto& value = arguments[next++].value();
        if (directive == 's' || directive == 'S') {
            const auto* text = std::get_if<std::string>(&value);
            std::string shown = text ? *text : std::to_string(std::get<long long>(value));
            if (precision >= 0 && static_cast<int>(shown.size()) > precision) {
                shown.resize(static_cast<std::size_t>(precision));
            }
            out += padded(shown, width, leftAlign);
        } else if (directive == 'd') {
            const auto* number = std::get_if<long long>(&value);
            if (!number) {
                throw std::invalid_argument("Format '" + std::string(format) +
                                            "' invalid or incompatible with argument");
            }
            out += formatNumber(*number, width, precision, leftAlign, zeroPad);
        } else {
            throw std::invalid_argument("Format '" + std::string(format) + "' invalid");
        }
        i = j;
    }
    return out;
}

} // namespace skarvel
