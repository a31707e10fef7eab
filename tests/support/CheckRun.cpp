#include "support/CheckRun.h"

#include "check/CheckCommand.h"
#include "support/PeBuilder.h"

#include <sstream>
#include <stdexcept>

namespace skarvel::test {

CheckOutcome runCheck(const std::vector<std::string_view>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = check::runCheckCommand(arguments, out, err);
    return {exitCode, out.str(), err.str()};
}

CheckedGame::CheckedGame(const std::string& fixture) {
    copyFixture(fixture, game());
    writeBytes(game() / "EXE/resources.dll",
               buildPe({{1001, u"Elite"}, {1003, u"Gold"}, {1004, u"Silver"}}).bytes);
    std::filesystem::create_directories(outside());
}

void CheckedGame::edit(const std::string& file, std::string_view from, std::string_view to) const {
    std::string bytes = readBytes(game() / file);
    const std::size_t at = bytes.find(from);
    if (at == std::string::npos) {
        throw std::logic_error(file + " lacks " + std::string(from));
    }
    bytes.replace(at, from.size(), to);
    writeBytes(game() / file, bytes);
}

} // namespace skarvel::test
