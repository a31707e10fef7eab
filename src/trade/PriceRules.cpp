#include "trade/PriceRules.h"

#include "platform/AsciiText.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace skarvel::trade {

std::int64_t priceAt(double basePrice, double multiplier) {
    // A little tolerance: 1.1 × 1000 is 1100.0000000000002 or 1099.9999999999998 in binary.
    return static_cast<std::int64_t>(std::floor(basePrice * multiplier + 1e-9));
}

bool baseSells(double minStock, double maxStock) {
    return minStock > 0 && maxStock > 0;
}

std::optional<double> readNumber(std::string_view text) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<MarketGoodValue> parseMarketGood(std::string_view value) {
    std::vector<std::string_view> fields;
    for (std::size_t begin = 0;;) {
        const std::size_t comma = value.find(',', begin);
        fields.push_back(trimBlanks(value.substr(begin, comma - begin)));
        if (comma == std::string_view::npos) {
            break;
        }
        begin = comma + 1;
    }
    if (fields.size() < 7 || fields[0].empty()) {
        return std::nullopt;
    }
    const auto minStock = readNumber(fields[3]);
    const auto maxStock = readNumber(fields[4]);
    const auto multiplier = readNumber(fields.back());
    if (!minStock || !maxStock || !multiplier) {
        return std::nullopt;
    }
    return MarketGoodValue{std::string(fields[0]), *minStock, *maxStock, std::string(fields.back()),
                           *multiplier};
}

std::string withLastField(std::string_view value, std::string_view field) {
    const std::size_t comma = value.rfind(',');
    const std::size_t begin = comma == std::string_view::npos ? 0 : comma + 1;
    std::size_t first = begin;
    while (first < value.size() && isBlank(value[first])) {
        ++first;
    }
    std::size_t last = value.size();
    while (last > first && isBlank(value[last - 1])) {
        --last;
    }
    return std::string(value.substr(0, first)) + std::string(field) +
           std::string(value.substr(last));
}

} // namespace skarvel::trade
