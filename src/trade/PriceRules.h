#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skarvel::trade {

// The game's price rules, one function each, so that a mod with other rules needs one change.

// The price of a good at a base: the good's base price times the base's multiplier, rounded
// down to a whole credit.
std::int64_t priceAt(double basePrice, double multiplier);

// A base sells a good when both its minimum and its maximum stock are above 0; otherwise it
// only buys it.
bool baseSells(double minStock, double maxStock);

// One "MarketGood = good, f2, f3, min, max, flag, multiplier" value.
struct MarketGoodValue {
    std::string good;
    double minStock = 0;
    double maxStock = 0;
    std::string multiplierText;
    double multiplier = 1;
};

// Null when the value has fewer than seven fields or an unreadable number.
std::optional<MarketGoodValue> parseMarketGood(std::string_view value);

// The value with its last field replaced; every other byte (spacing, comments) kept.
std::string withLastField(std::string_view value, std::string_view field);

// A number as the files write it; null when the text is not one.
std::optional<double> readNumber(std::string_view text);

} // namespace skarvel::trade
