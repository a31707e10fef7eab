#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skarvel {

// The journal text of one chunk of the FTP exchange: the prefix ("->> " sent, "<<- " received
// or a status) and the chunk up to its first line end. Nothing for an empty chunk.
std::optional<std::string> ftpLogText(std::string_view prefix, std::string_view chunk);

// Keeps a flood of reply lines out of the journal: of the reply lines to one command only the
// first few are journaled, the rest are counted and reported in one line.
class ReplyLineLimit {
public:
    static constexpr std::size_t DefaultLimit = 200;
    explicit ReplyLineLimit(std::size_t limit = DefaultLimit) : limit_(limit) {}

    // One more reply line; true when it is to be journaled.
    bool admit();
    // The journal text counting the lines left out since the last command, if any; the count
    // starts anew. Called when the next command goes out and when a call to the server ends.
    std::optional<std::string> endOfReplies();

private:
    std::size_t limit_;
    std::size_t seen_ = 0;
    std::int64_t leftOut_ = 0;
};

} // namespace skarvel
