#include "ships/Numbers.h"

#include "journal/Journal.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace skarvel {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

[[noreturn]] void notAnInteger(std::string_view text) {
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

[[noreturn]] void notAFraction(std::string_view text) {
    throw ConversionError("'" + std::string(text) + "' is not a valid floating point value");
}

// Accepts [sign] digits [sep digits] [e [sign] digits] with at least one mantissa digit and
// returns it with "." as the separator; from_chars then reads it whatever the locale.
bool normalizeFraction(std::string_view text, std::string& out) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            out += '-';
        }
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        out += text[i++];
        ++mantissaDigits;
    }
    if (i < text.size() && (text[i] == ',' || text[i] == '.')) {
        out += '.';
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            out += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        out += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            out += text[i++];
        }
        std::size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i])) {
            out += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
    }
    return i == text.size();
}

// A plain decimal number as a count of units of its last decimal place: "-0,35" is -35
// units of 0.01 with "," as its separator; a whole number has no separator.
struct PlainNumber {
    std::int64_t units = 0;
    std::size_t decimals = 0;
    char separator = 0;
};

// At most this many digits, so that the units and a step on them fit 64 bits.
constexpr std::size_t kMaxPlainDigits = 18;

std::optional<PlainNumber> plainNumber(std::string_view text) {
    PlainNumber number;
    std::size_t i = 0;
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c) && digits < kMaxPlainDigits) {
            number.units = number.units * 10 + (c - '0');
            ++digits;
            if (number.separator != 0) {
                ++number.decimals;
            }
        } else if ((c == ',' || c == '.') && number.separator == 0) {
            number.separator = c;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (negative) {
        number.units = -number.units;
    }
    return number;
}

std::string plainText(std::int64_t units, std::size_t decimals, char separator) {
    std::string digits = std::to_string(units < 0 ? -units : units);
    if (separator != 0) {
        if (digits.size() <= decimals) {
            digits.insert(0, decimals + 1 - digits.size(), '0');
        }
        digits.insert(digits.size() - decimals, 1, separator);
    }
    return units < 0 ? "-" + digits : digits;
}

// bound * scale, held at the 64-bit limits: no plain number reaches them.
std::int64_t scaledBound(int bound, std::int64_t scale) {
    const std::int64_t limit = std::numeric_limits<std::int64_t>::max() / scale;
    if (bound > limit || bound < -limit) {
        return bound < 0 ? std::numeric_limits<std::int64_t>::min()
                         : std::numeric_limits<std::int64_t>::max();
    }
    return bound * scale;
}

} // namespace

std::int32_t parseWholeNumber(std::string_view text) {
    const std::string_view trimmed = trimBlanks(text);
    std::string_view digits = trimmed;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) {
        notAnInteger(text);
    }
    std::int64_t value = 0;
    for (const char c : digits) {
        if (!isDigit(c)) {
            notAnInteger(text);
        }
        value = value * 10 + (c - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            notAnInteger(text);
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<std::int32_t>::max() ||
        value < std::numeric_limits<std::int32_t>::min()) {
        notAnInteger(text);
    }
    return static_cast<std::int32_t>(value);
}

std::optional<double> readNumber(std::string_view text) {
    std::string normalized;
    if (!normalizeFraction(trimBlanks(text), normalized)) {
        return std::nullopt;
    }
    double value = 0;
    const char* first = normalized.data();
    const char* last = first + normalized.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error != std::errc() || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

double parseFraction(std::string_view text) {
    const std::optional<double> value = readNumber(text);
    if (!value) {
        notAFraction(text);
    }
    return *value;
}

std::int64_t roundHalfEven(double value) {
    // nearbyint follows the default rounding mode: to nearest, ties to even.
    const double rounded = std::nearbyint(value);
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (!std::isfinite(rounded) || rounded >= limit || rounded < -limit) {
        throw std::range_error("Invalid floating point operation");
    }
    return static_cast<std::int64_t>(rounded);
}

double roundToTenth(double value) {
    return static_cast<double>(roundHalfEven(value / 0.1)) * 0.1;
}

std::string formatFraction(double value) {
    if (value == 0) {
        return "0"; // no "-0"
    }
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (error != std::errc()) {
        throw std::range_error("Invalid floating point operation");
    }
    std::string text(buffer, end);
    for (char& c : text) {
        if (c == '.') {
            c = ',';
        }
    }
    return text;
}

std::int32_t multiplyToWhole(double a, double b) {
    const double product = std::nearbyint(a * b);
    if (!(product >= std::numeric_limits<std::int32_t>::min() &&
          product <= std::numeric_limits<std::int32_t>::max())) {
        throw std::overflow_error("Integer overflow");
    }
    return static_cast<std::int32_t>(product);
}

std::optional<std::string> steppedNumber(std::string_view text, int step, int minimum,
                                         int maximum) {
    const std::string_view trimmed = trimBlanks(text);
    PlainNumber number{minimum, 0, 0};
    if (!trimmed.empty()) {
        const std::optional<PlainNumber> parsed = plainNumber(trimmed);
        if (!parsed) {
            return std::nullopt;
        }
        number = *parsed;
    }
    std::int64_t scale = 1;
    for (std::size_t i = 0; i < number.decimals; ++i) {
        scale *= 10;
    }
    const std::int64_t low = scaledBound(minimum, scale);
    const std::int64_t high = scaledBound(maximum, scale);
    const std::int64_t delta = number.separator == 0 ? step : (step > 0) - (step < 0);
    const std::int64_t current = number.units;
    std::int64_t next = current + delta;
    if (current < low) {
        if (delta <= 0) {
            return std::nullopt;
        }
        next = std::min(next, high);
    } else if (current > high) {
        if (delta >= 0) {
            return std::nullopt;
        }
        next = std::max(next, low);
    } else {
        next = std::clamp(next, low, std::max(low, high));
    }
    if (next == current && !trimmed.empty()) {
        return std::nullopt;
    }
    return plainText(next, number.decimals, number.separator);
}

std::string getMathValue(std::string_view text, TJournal& journal) {
    std::string result(text);
    for (char& c : result) {
        if (c == '.') {
            c = ',';
        }
    }
    journal.WriteFormatted("getMathValue - %s => %s", {text, result}, JournalEntryKind::Data);
    return result;
}

} // namespace skarvel
