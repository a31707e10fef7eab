#pragma once

#include <string>
#include <string_view>

namespace skarvel {

// The numbers a table's cell may take, and the text a change of one writes. A typed number is
// written as typed; a computed one keeps as many decimals as the cell or the operand has, so
// nothing is rounded to a precision the user did not give and nothing grows decimals the file
// never had.

// What a key's values are: counts the game reads as whole numbers, or any decimal.
enum class NumberKind { Whole, Decimal };

// Why the value cannot stand in a key of that kind (out of range, not finite, too long), or
// empty when it can. text is the value as written, for its length.
std::string numberRefusal(NumberKind kind, double value, std::string_view text);

// The digits after the decimal separator ("12" 0, "0,35" 2).
int decimalsOf(std::string_view text);

// The number rounded half to even to that many decimals, with a point ("12", "0.35").
std::string roundedText(double value, int decimals);

// The text Set writes: the typed number trimmed, a whole key's rounded half to even.
std::string setNumberText(NumberKind kind, double typed, std::string_view typedText);

// The text Add writes: the sum with the decimals of the cell or the operand, whichever has more.
std::string addedNumberText(NumberKind kind, double current, std::string_view currentText,
                            double operand, std::string_view operandText);

// The text Percent writes: the cell times percent / 100, exact to the decimals of both, with
// trailing zeros dropped down to the cell's own decimals.
std::string percentNumberText(NumberKind kind, double current, std::string_view currentText,
                              double percent, std::string_view percentText);

} // namespace skarvel
