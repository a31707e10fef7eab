#include "tables/EquipmentTable.h"

#include "check/ModFiles.h"
#include "check/ModIndex.h"
#include "gamedata/GameNames.h"
#include "platform/AsciiText.h"
#include "ships/Numbers.h"
#include "tables/EquipmentDerived.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>

namespace skarvel {

namespace {

using Section = ini::ParsedIni::Section;

constexpr auto kLinkPrefixes =
    std::to_array<std::string_view>({"", "munition.", "motor.", "explosion."});

class Reader {
public:
    Reader(const check::ModFiles& mod, const GameNames& names) : mod_(mod), names_(names) {}

    std::vector<EquipmentKind> read() {
        indexEquipment();
        indexPrices();
        for (std::size_t i = 0; i < kinds_.size(); ++i) {
            fill(kinds_[i], members_[i]);
        }
        return std::move(kinds_);
    }

private:
    const ini::ParsedIni& iniOf(const EquipmentSection& at) const {
        return *mod_.files[at.file].ini;
    }
    const Section& sectionOf(const EquipmentSection& at) const {
        return iniOf(at).sections()[at.section];
    }

    // Every key line of the section, in file order; none when there is no section.
    template <typename Visit> void forEachKey(const EquipmentSection& at, Visit&& visit) const {
        if (!at.found()) {
            return;
        }
        const ini::ParsedIni& parsed = iniOf(at);
        const Section& section = sectionOf(at);
        for (std::size_t k = section.firstKey; k < section.firstKey + section.keyCount; ++k) {
            visit(parsed, parsed.keys()[k]);
        }
    }

    // The value of the section's first key of that name. A section holds a few keys: a scan
    // of them spares the parse its index of every key, which a fresh parse builds first.
    std::string first(const EquipmentSection& at, std::string_view key) const {
        if (!at.found()) {
            return {};
        }
        const ini::ParsedIni& parsed = iniOf(at);
        const Section& section = sectionOf(at);
        for (std::size_t k = section.firstKey; k < section.firstKey + section.keyCount; ++k) {
            if (equalsIgnoringCase(parsed.name(parsed.keys()[k]), key)) {
                return parsed.value(parsed.keys()[k]);
            }
        }
        return {};
    }

    EquipmentSection definition(std::string_view nickname) const {
        const auto found = nicknames_.find(check::lowered(nickname));
        return found == nicknames_.end() ? EquipmentSection{} : found->second;
    }

    void indexEquipment() {
        std::unordered_map<std::string, std::size_t> kindIndex;
        for (std::size_t f = 0; f < mod_.files.size(); ++f) {
            if (mod_.files[f].role != check::FileRole::Equipment) {
                continue;
            }
            const ini::ParsedIni& parsed = *mod_.files[f].ini;
            for (std::size_t s = 0; s < parsed.sections().size(); ++s) {
                const EquipmentSection at{f, s};
                const std::string nickname = first(at, "nickname");
                if (nickname.empty()) {
                    continue;
                }
                nicknames_.try_emplace(check::lowered(nickname), at);
                const std::string_view kind = check::sectionKind(parsed.name(sectionOf(at)));
                const auto [known, added] =
                    kindIndex.try_emplace(check::lowered(kind), kinds_.size());
                if (added) {
                    kinds_.push_back({std::string(kind), {}, {}});
                    members_.emplace_back();
                }
                members_[known->second].push_back(at);
            }
        }
    }

    // The price of the first [Good] that sells each equipment.
    void indexPrices() {
        for (std::size_t f = 0; f < mod_.files.size(); ++f) {
            if (mod_.files[f].role != check::FileRole::Goods) {
                continue;
            }
            const ini::ParsedIni& parsed = *mod_.files[f].ini;
            for (std::size_t s = 0; s < parsed.sections().size(); ++s) {
                const EquipmentSection at{f, s};
                if (!equalsIgnoringCase(check::sectionKind(parsed.name(sectionOf(at))), "Good")) {
                    continue;
                }
                const std::string equipment = first(at, "equipment");
                if (!equipment.empty()) {
                    goods_.try_emplace(check::lowered(equipment), at);
                }
            }
        }
    }

    EquipmentRow rowOf(const EquipmentSection& at) const {
        EquipmentRow row;
        row.nickname = first(at, "nickname");
        row.sections[0] = at;
        const EquipmentSection munition = definition(first(at, "projectile_archetype"));
        row.sections[static_cast<std::size_t>(EquipmentLink::Munition)] = munition;
        // A launcher's motor and explosion are its munition's; a munition's or mine's its own.
        const EquipmentSection& shot = munition.found() ? munition : at;
        row.sections[static_cast<std::size_t>(EquipmentLink::Motor)] =
            definition(first(shot, "motor"));
        row.sections[static_cast<std::size_t>(EquipmentLink::Explosion)] =
            definition(first(shot, "explosion_arch"));
        if (const auto good = goods_.find(check::lowered(row.nickname)); good != goods_.end()) {
            row.good = good->second;
        }
        return row;
    }

    // The keys of the rows' sections of each link, in the order first seen.
    std::vector<EquipmentColumn> keyColumns(const std::vector<EquipmentRow>& rows) const {
        std::vector<EquipmentColumn> columns;
        for (std::size_t link = 0; link < kEquipmentLinks; ++link) {
            std::unordered_set<std::string> seen{"nickname"};
            for (const EquipmentRow& row : rows) {
                forEachKey(row.sections[link], [&](const ini::ParsedIni& parsed,
                                                   const ini::ParsedIni::Key& each) {
                    const std::string_view key = parsed.name(each);
                    if (!key.empty() && seen.insert(check::lowered(key)).second) {
                        columns.push_back({EquipmentSource::Key,
                                           std::string(kLinkPrefixes[link]) + std::string(key),
                                           std::string(key),
                                           static_cast<EquipmentLink>(link),
                                           {},
                                           false});
                    }
                });
            }
        }
        return columns;
    }

    // The cell of a column that is no key's.
    std::string cellOf(const EquipmentRow& row, const EquipmentColumn& column) const {
        switch (column.source) {
        case EquipmentSource::Nickname:
            return row.nickname;
        case EquipmentSource::Name:
            return std::string(names_.text(first(row.sections[0], "ids_name")));
        case EquipmentSource::Price:
            return first(row.good, "price");
        case EquipmentSource::Key:
        case EquipmentSource::Derived:
            break;
        }
        return {};
    }

    void fill(EquipmentKind& kind, const std::vector<EquipmentSection>& members) const {
        for (const EquipmentSection& at : members) {
            kind.rows.push_back(rowOf(at));
        }
        kind.columns = {
            {EquipmentSource::Nickname, "nickname", "nickname", EquipmentLink::Own, {}, false},
            {EquipmentSource::Name, "name", {}, EquipmentLink::Own, {}, false},
            {EquipmentSource::Price, "good.price", "price", EquipmentLink::Own, {}, false}};
        for (EquipmentColumn& column : keyColumns(kind.rows)) {
            kind.columns.push_back(std::move(column));
        }
        const auto derived = derivedValuesOf(kind.kind);
        const std::size_t firstDerived = kind.columns.size();
        for (const DerivedValue& value : derived) {
            kind.columns.push_back({EquipmentSource::Derived,
                                    "derived." + std::string(value.name),
                                    {},
                                    EquipmentLink::Own,
                                    std::string(value.formula),
                                    true});
        }
        // Each key's column by link and lowered key: a row's sections are read key by key once.
        std::array<std::unordered_map<std::string, std::size_t>, kEquipmentLinks> keyColumn;
        for (std::size_t c = 0; c < firstDerived; ++c) {
            const EquipmentColumn& column = kind.columns[c];
            if (column.source == EquipmentSource::Key) {
                keyColumn[static_cast<std::size_t>(column.link)].emplace(
                    check::lowered(column.fileKey), c);
            }
        }
        for (EquipmentRow& row : kind.rows) {
            row.cells.resize(kind.columns.size());
            row.joined.resize(kind.columns.size());
            for (std::size_t c = 0; c < firstDerived; ++c) {
                if (kind.columns[c].source != EquipmentSource::Key) {
                    row.cells[c] = cellOf(row, kind.columns[c]);
                }
            }
            std::vector<bool> seen(firstDerived);
            for (std::size_t link = 0; link < kEquipmentLinks; ++link) {
                forEachKey(row.sections[link], [&](const ini::ParsedIni& parsed,
                                                   const ini::ParsedIni::Key& key) {
                    const auto found = keyColumn[link].find(check::lowered(parsed.name(key)));
                    if (found == keyColumn[link].end()) {
                        return;
                    }
                    const std::size_t c = found->second;
                    std::string value = parsed.value(key);
                    if (seen[c]) {
                        row.joined[c] = true;
                        row.cells[c] += std::string(kJoinedValues) + value;
                    } else {
                        seen[c] = true;
                        row.cells[c] = std::move(value);
                    }
                });
            }
            // From the cells: a joined one is no single number.
            const EquipmentValue value = [&](EquipmentLink link, std::string_view key) {
                const auto& columns = keyColumn[static_cast<std::size_t>(link)];
                const auto found = columns.find(check::lowered(key));
                return found == columns.end() || row.joined[found->second]
                           ? std::optional<double>()
                           : readNumber(row.cells[found->second]);
            };
            for (std::size_t d = 0; d < derived.size(); ++d) {
                if (const std::optional<double> number = derived[d].work(value)) {
                    row.cells[firstDerived + d] = derivedText(*number);
                }
            }
        }
        for (std::size_t c = 0; c < firstDerived; ++c) {
            EquipmentColumn& column = kind.columns[c];
            bool any = false;
            bool all = true;
            for (const EquipmentRow& row : kind.rows) {
                if (!row.cells[c].empty()) {
                    any = true;
                    all = all && !row.joined[c] && readNumber(row.cells[c]).has_value();
                }
            }
            column.numeric = column.source != EquipmentSource::Nickname && any && all;
        }
    }

    const check::ModFiles& mod_;
    const GameNames& names_;
    std::unordered_map<std::string, EquipmentSection> nicknames_;
    std::unordered_map<std::string, EquipmentSection> goods_;
    std::vector<EquipmentKind> kinds_;
    std::vector<std::vector<EquipmentSection>> members_; // by kind
};

} // namespace

std::string linkPrefix(EquipmentLink link) {
    return std::string(kLinkPrefixes[static_cast<std::size_t>(link)]);
}

std::size_t EquipmentKind::columnOf(std::string_view key) const {
    const auto found = std::find_if(columns.begin(), columns.end(), [&](const EquipmentColumn& c) {
        return equalsIgnoringCase(c.key, key);
    });
    return static_cast<std::size_t>(found - columns.begin());
}

EquipmentTables EquipmentTables::read(const check::ModFiles& mod, const GameNames& names) {
    EquipmentTables tables;
    tables.kinds_ = Reader(mod, names).read();
    return tables;
}

const EquipmentKind* EquipmentTables::find(std::string_view kind) const {
    const auto found = std::find_if(kinds_.begin(), kinds_.end(), [&](const EquipmentKind& k) {
        return equalsIgnoringCase(k.kind, kind);
    });
    return found == kinds_.end() ? nullptr : &*found;
}

} // namespace skarvel
