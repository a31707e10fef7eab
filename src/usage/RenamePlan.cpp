#include "usage/RenamePlan.h"

#include "platform/AsciiText.h"
#include "usage/ValueItems.h"

#include <algorithm>

namespace skarvel::usage {

namespace {

constexpr std::size_t kMaxNicknameLength = 100;

// Why to cannot stand as a nickname in a list value, or empty.
std::string nameRefusal(std::string_view to) {
    const std::string shown(to);
    if (to.empty()) {
        return "The new name is empty.";
    }
    if (to.size() > kMaxNicknameLength) {
        return "The new name is longer than 100 characters.";
    }
    for (const char c : to) {
        if (c == '\0' || c == '\n' || c == '\r') {
            return "The new name holds a NUL or a line break, which a nickname cannot hold.";
        }
    }
    for (const char c : to) {
        if (isBlank(c)) {
            return "The new name '" + shown + "' holds a blank, which a nickname cannot hold.";
        }
        if (std::string_view(",;=[]").find(c) != std::string_view::npos) {
            return "The new name '" + shown + "' holds '" + std::string(1, c) +
                   "', which a nickname cannot hold.";
        }
    }
    if (isNumber(to)) {
        return "The new name " + shown + " is a number, which names nothing.";
    }
    return {};
}

} // namespace

std::string renamedLine(std::string_view line, std::string_view from, std::string_view to) {
    const std::string_view value = valueOfLine(line);
    std::string after;
    std::size_t copied = 0;
    forEachNamedItem(value, [&](std::string_view item) {
        if (equalsIgnoringCase(item, from)) {
            const auto at = static_cast<std::size_t>(item.data() - line.data());
            after.append(line.substr(copied, at - copied)).append(to);
            copied = at + item.size();
        }
    });
    after.append(line.substr(copied));
    return after;
}

RenamePlan planRename(const UsageIndex& index, std::string_view from, std::string_view to) {
    RenamePlan plan;
    const std::vector<Use> uses = index.uses(from);
    const std::string name(from);
    if (std::ranges::none_of(uses, &Use::definition)) {
        plan.refusal = name + " is defined nowhere: there is nothing to rename.";
        return plan;
    }
    if (to == from) {
        plan.refusal = "The new name is " + name + " already.";
        return plan;
    }
    plan.refusal = nameRefusal(to);
    if (!plan.refusal.empty()) {
        return plan;
    }
    if (!equalsIgnoringCase(to, from) && !index.uses(to).empty()) {
        plan.refusal = std::string(to) + " is already used: a rename would merge two names.";
        return plan;
    }
    plan.lines.reserve(uses.size());
    for (const Use& use : uses) {
        std::string after = renamedLine(use.text, from, to);
        plan.lines.push_back(
            {use.file, use.role, use.line, use.section, use.text, std::move(after)});
    }
    return plan;
}

} // namespace skarvel::usage
