#include "ships/Numbers.h"

#include "journal/Journal.h"
#include "platform/AsciiText.h"

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
