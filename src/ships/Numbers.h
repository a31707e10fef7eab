#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace skarvel {

class TJournal;

// A text that is not the number it should be. Messages: "'%s' is not a valid integer
// value", "'%s' is not a valid floating point value".
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Signed 32-bit decimal integer (optional sign, digits only, surrounding blanks allowed).
std::int32_t parseWholeNumber(std::string_view text);
// A decimal fraction with either "," or "." as its decimal separator.
double parseFraction(std::string_view text);
// The same number as parseFraction reads, or nothing for any other text.
std::optional<double> readNumber(std::string_view text);
// Nearest whole number, an exact half to the even neighbour.
std::int64_t roundHalfEven(double value);
// Divide by 0.1, round half to even, multiply by 0.1.
double roundToTenth(double value);
// Shortest general form, at most 15 significant digits, trailing zeros dropped, decimal
// comma, no thousands separators ("0,4", "12", "-1,5").
std::string formatFraction(double value);
// The product rounded half to even to a signed 32-bit whole number; throws
// std::overflow_error "Integer overflow" beyond that range.
std::int32_t multiplyToWhole(double a, double b);

// The text a spinner click leaves in a field, or nothing when the click must leave the field
// alone. A whole number moves by step, a fraction by one unit of its last decimal place in
// the step's direction, keeping its separator and its number of decimals; an empty text
// starts from minimum. A value inside [minimum, maximum] stays inside; one outside only ever
// moves towards the range, by one step. Lists, letters and exponents are left alone.
std::optional<std::string> steppedNumber(std::string_view text, int step, int minimum, int maximum);

// Every "." becomes ","; journals "getMathValue - %s => %s" (Data).
std::string getMathValue(std::string_view text, TJournal& journal);

} // namespace skarvel
