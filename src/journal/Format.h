#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace skarvel {

// One argument of a printf-like journal format: text or a whole number.
class FormatArg {
public:
    FormatArg(std::string_view text) : value_(std::string(text)) {}
    FormatArg(const std::string& text) : value_(text) {}
    FormatArg(const char* text) : value_(std::string(text)) {}
    FormatArg(long long number) : value_(number) {}
    FormatArg(int number) : value_(static_cast<long long>(number)) {}
    FormatArg(long number) : value_(static_cast<long long>(number)) {}
    FormatArg(unsigned number) : value_(static_cast<long long>(number)) {}
    FormatArg(unsigned long number) : value_(static_cast<long long>(number)) {}
    FormatArg(bool) = delete; // write "True"/"False" explicitly

    const std::variant<std::string, long long>& value() const { return value_; }

private:
    std::variant<std::string, long long> value_;
};

// Formats "%s", "%S" (same as %s), "%d" and "%%", with optional width and precision
// ("%2.2d", "%-10s"). A directive without a matching argument, or of the wrong type,
// throws std::invalid_argument.
std::string formatText(std::string_view format, std::initializer_list<FormatArg> args);

// "True" or "False", the Boolean words of the journal.
inline const char* boolText(bool value) {
    return value ? "True" : "False";
}

} // namespace skarvel
