#include "tables/CellNumbers.h"

#include "platform/AsciiText.h"
#include "ships/Numbers.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace skarvel {

namespace {

// Beyond this a double no longer holds a value's decimals, and the game's floats lose its
// digits; a count is a signed 32-bit number, as the Ship page reads it.
constexpr double kLargestDecimal = 1e15;
constexpr double kLargestWhole = std::numeric_limits<std::int32_t>::max();
constexpr double kSmallestWhole = std::numeric_limits<std::int32_t>::min();
constexpr std::size_t kLongestNumber = 32;

std::string trimmedZeros(std::string text, int keep) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) {
        return text;
    }
    const std::size_t lastKept = point + static_cast<std::size_t>(keep);
    while (text.size() - 1 > lastKept && text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

std::string wholeText(double value) {
    return std::to_string(roundHalfEven(value));
}

} // namespace

std::string numberRefusal(NumberKind kind, double value, std::string_view text) {
    if (!std::isfinite(value)) {
        return "the result is not a finite number";
    }
    if (trimBlanks(text).size() > kLongestNumber) {
        return "'" + std::string(trimBlanks(text)) + "' is too long for a number";
    }
    if (kind == NumberKind::Whole) {
        if (value > kLargestWhole + 0.5 || value < kSmallestWhole - 0.5) {
            return "'" + std::string(trimBlanks(text)) +
                   "' is out of range: this key holds a whole number from -2147483648 to "
                   "2147483647";
        }
        return {};
    }
    if (std::fabs(value) > kLargestDecimal) {
        return "'" + std::string(trimBlanks(text)) +
               "' is out of range: this key holds a number of at most 15 digits before the "
               "decimal separator";
    }
    return {};
}

int decimalsOf(std::string_view text) {
    text = trimBlanks(text);
    const std::size_t separator = text.find_first_of(".,");
    if (separator == std::string_view::npos) {
        return 0;
    }
    const std::size_t exponent = text.find_first_of("eE", separator);
    const std::size_t end = exponent == std::string_view::npos ? text.size() : exponent;
    return static_cast<int>(end - separator - 1);
}

std::string roundedText(double value, int decimals) {
    // As many decimals as the double holds: the scaled value must stay an exact integer.
    while (decimals > 0 && std::fabs(value) * std::pow(10.0, decimals) >= 9e15) {
        --decimals;
    }
    const double scale = std::pow(10.0, decimals);
    const double rounded = static_cast<double>(roundHalfEven(value * scale)) / scale;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, rounded);
    std::string text = buffer;
    return text == "-0" ? "0" : text;
}

std::string setNumberText(NumberKind kind, double typed, std::string_view typedText) {
    return kind == NumberKind::Whole ? wholeText(typed) : std::string(trimBlanks(typedText));
}

std::string addedNumberText(NumberKind kind, double current, std::string_view currentText,
                            double operand, std::string_view operandText) {
    const double sum = current + operand;
    if (kind == NumberKind::Whole) {
        return wholeText(sum);
    }
    return roundedText(sum, std::max(decimalsOf(currentText), decimalsOf(operandText)));
}

std::string percentNumberText(NumberKind kind, double current, std::string_view currentText,
                              double percent, std::string_view percentText) {
    const double product = current * percent / 100.0;
    if (kind == NumberKind::Whole) {
        return wholeText(product);
    }
    const int own = decimalsOf(currentText);
    // percent / 100 has two decimals more than the percentage.
    return trimmedZeros(roundedText(product, own + decimalsOf(percentText) + 2), own);
}

} // namespace skarvel
