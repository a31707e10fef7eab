// The rules on the shape of sections: their keys and the fields of their values.
#include "check/RuleFunctions.h"
#include "check/SectionShapes.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <numeric>

namespace skarvel::check::rule {

namespace {

bool ofKind(const Definition& section, std::string_view kind) {
    return equalsIgnoringCase(sectionKind(section.ini().name(*section.section)), kind);
}

std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const bool same = lowerAscii(a[i - 1]) == lowerAscii(b[j - 1]);
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The known key a misspelt one is closest to, when it is close at all.
std::string_view nearest(std::string_view key, std::span<const std::string_view> known) {
    std::string_view best;
    std::size_t distance = 3;
    for (const std::string_view candidate : known) {
        if (const std::size_t d = editDistance(key, candidate); d < distance) {
            best = candidate;
            distance = d;
        }
    }
    return best;
}

} // namespace

void unknownKeys(const CheckContext& context, Problems& problems) {
    for (const SectionShape& shape : sectionShapes()) {
        for (const Definition& section : sectionsOf(context.mod, shape.role)) {
            if (!ofKind(section, shape.kind)) {
                continue;
            }
            const auto& keys = section.ini().keys();
            for (std::size_t k = section.section->firstKey;
                 k < section.section->firstKey + section.section->keyCount; ++k) {
                const std::string_view name = section.ini().name(keys[k]);
                const bool known = std::ranges::any_of(shape.keys, [&](std::string_view key) {
                    return equalsIgnoringCase(key, name);
                });
                if (known) {
                    continue;
                }
                std::string message =
                    "[" + std::string(shape.kind) + "] knows no key " + quoted(name);
                if (const std::string_view guess = nearest(name, shape.keys); !guess.empty()) {
                    message += "; did you mean " + std::string(guess) + "?";
                }
                problems.push_back(section.problem(Severity::Error, "unknown-key",
                                                   lineOf(section, keys[k]), std::move(message)));
            }
        }
    }
}

void missingKeys(const CheckContext& context, Problems& problems) {
    for (const RequiredKey& required : requiredKeys()) {
        for (const Definition& section : sectionsOf(context.mod, required.role)) {
            if (!ofKind(section, required.kind) ||
                (!required.category.empty() && !hasCategory(section, required.category)) ||
                !section.keys(required.key).empty()) {
                continue;
            }
            std::string what = "[" + std::string(required.kind) + "]";
            if (!required.category.empty()) {
                what = "a " + std::string(required.category) + " " + what;
            }
            problems.push_back(
                section.problem(Severity::Error, "missing-key", section.line(),
                                what + " needs the key " + std::string(required.key)));
        }
    }
}

void fieldCounts(const CheckContext& context, Problems& problems) {
    for (const FieldCount& count : check::fieldCounts()) {
        for (const Definition& section : sectionsOf(context.mod, count.role)) {
            if (!ofKind(section, count.kind)) {
                continue;
            }
            for (const auto* key : section.keys(count.key)) {
                const std::size_t fields = listItems(section.ini().value(*key)).size();
                if (fields >= count.minimum && (count.maximum == 0 || fields <= count.maximum)) {
                    continue;
                }
                const std::string wanted =
                    count.maximum == count.minimum ? std::to_string(count.minimum)
                    : count.maximum == 0
                        ? "at least " + std::to_string(count.minimum)
                        : std::to_string(count.minimum) + " to " + std::to_string(count.maximum);
                problems.push_back(
                    section.problem(Severity::Error, "field-count", lineOf(section, *key),
                                    std::string(count.key) + " has " + std::to_string(fields) +
                                        (fields == 1 ? " field" : " fields") + ", not " + wanted));
            }
        }
    }
}

} // namespace skarvel::check::rule
