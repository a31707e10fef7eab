#pragma once

#include "gamedata/TextLines.h"
#include "ships/HardpointLines.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// Guns, turrets, or the shields of one class: the lines whose levels count together.
struct MountKind {
    SpecialMount mount = SpecialMount::None;
    std::string shieldClass; // shields only, compared without regard to case
};

// One special hp_type line of the ship's section.
struct MountLine {
    std::size_t index = 0; // into the file's lines
    MountKind kind;
    int level = -1; // -1 when the line's level is not a number
    std::vector<std::string> hardpoints;

    bool names(std::string_view hardpoint) const;
};

// The special mount lines of one ship's section, edited as little as a change of level
// needs: a hardpoint is added to or removed from the lines of its kind, a line is inserted
// or deleted only when no other way keeps the levels, and every other byte of the file
// stays as it was.
class ShipSpecialLines {
public:
    // lines: the whole file; the ship's own section runs from the line after its header
    // (index header) to the next section. New lines end with newLineEnd.
    ShipSpecialLines(std::vector<EditableLine>& lines, std::size_t header,
                     std::string_view newLineEnd);

    std::vector<MountLine> mountLines() const;

    // Gives the hardpoint the level to instead of from for the kind.
    void changeLevel(const MountKind& kind, const std::string& hardpoint, int from, int to);
    // Moves the hardpoint's shield lines of class from to class to.
    void moveShieldClass(const std::string& from, const std::string& to,
                         const std::string& hardpoint);

private:
    void addAt(const MountKind& kind, int level, const std::string& hardpoint);
    void appendTo(std::size_t index, const std::string& hardpoint);
    void removeFrom(const MountLine& line, const std::string& hardpoint);
    std::size_t insertPosition(const MountKind& kind, int level) const;
    void insertLine(std::size_t at, std::string text);
    std::string newLineText(const MountKind& kind, int level, const std::string& hardpoint) const;

    std::vector<EditableLine>& lines_;
    std::size_t begin_; // first line after the header
    std::size_t end_;   // the next section's header, or the end of the file
    std::string lineEnd_;
    std::string assignment_; // "hp_type = " or "hp_type=", as the ship's lines have it
};

} // namespace skarvel
