#pragma once
// Stand-in for the shared reader until it lands; replaced at the merge.

#include <cstdint>
#include <string>
#include <string_view>

namespace skarvel {

inline constexpr std::uint64_t kDataFileSizeCap = 64ull * 1024 * 1024;

class GameFolder {
public:
    explicit GameFolder(std::string root);
    const std::string& root() const { return root_; }
    struct Resolved {
        std::string path;
        std::string shown;
        std::string refusal;
        bool found() const { return refusal.empty(); }
    };
    Resolved resolve(std::string_view base, std::string_view named) const;

private:
    std::string root_;
    std::string realRoot_;
};

} // namespace skarvel
