#pragma once

#include "check/ModFiles.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skarvel::usage {

// One line of a data file that names a nickname.
struct Use {
    std::string file; // as SourceFile::shown: below the game folder, as spelled on disk
    check::FileRole role = check::FileRole::Equipment;
    int line = 0;                // 1-based
    std::string section;         // the section's name as the file holds it ("Gun", "Ship3")
    std::string sectionNickname; // the value of the section's nickname key, or empty
    std::string key;             // the key whose value names it ("nickname": the definition)
    std::string text;            // the whole line as the file holds it, without its line end
    bool definition = false;     // key is nickname
};

// Where each name of a mod is used: every list item of every key's value that is not a
// number, over all files of the mod. Holds the files' parses and small references into them;
// the Use values are made only when asked for.
class UsageIndex {
public:
    static UsageIndex build(const check::ModFiles& mod);

    // Every line naming it, letter case aside (the game hashes nicknames without regard to
    // case), in the order of the mod's files, then by line; a line naming it twice once.
    std::vector<Use> uses(std::string_view nickname) const;
    // Distinct names, letter case aside.
    std::size_t nameCount() const { return names_.size(); }

private:
    struct File {
        std::string shown;
        check::FileRole role = check::FileRole::Equipment;
        std::shared_ptr<const ini::ParsedIni> ini;
    };
    struct Ref {
        std::uint32_t file = 0;
        std::uint32_t key = 0; // into the parse's keys()
        std::uint32_t line = 0;
    };
    struct CaseBlindHash {
        std::size_t operator()(std::string_view name) const;
    };
    struct CaseBlindEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };

    std::vector<File> files_;
    // Name (a view into the bytes of the parse that first names it) -> its number.
    std::unordered_map<std::string_view, std::uint32_t, CaseBlindHash, CaseBlindEqual> names_;
    // The references of name n are refs_[firstRef_[n], firstRef_[n + 1]), in file and line order.
    std::vector<std::uint32_t> firstRef_;
    std::vector<Ref> refs_;
};

} // namespace skarvel::usage
