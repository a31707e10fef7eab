#pragma once

#include "gamedata/TextLines.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "support/GameCopy.h"

#include <chrono>

namespace skarvel::test {

// The test game (tests/data/game-mixed: upper-case folders, CRLF and LF files).
class GameFolder : public GameCopy {
protected:
    GameFolder() : GameCopy("game-mixed", "converter") {}
    ~GameFolder() override { setClearReadOnlyForTesting({}); }

    // The project's converter, as "bini" in the converter folder.
    void installConverter() const {
        std::filesystem::copy_file(SKARVEL_BINI_PATH, tmp.path() / "converter" / "bini",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    // A stand-in converter: a shell script that gets the file's path as $1.
    void installScriptConverter(const std::string& body) const {
        const auto path = tmp.path() / "converter" / "bini";
        writeBytes(path, "#!/bin/sh\n" + body + "\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::group_exec);
    }
    // The file in the compressed form the game ships, made by the converter.
    void compress(const std::string& relative) const {
        const std::string path = gameFile(relative);
        const std::string text = path + ".source";
        std::filesystem::rename(path, text);
        const auto run =
            runProgram(SKARVEL_BINI_PATH, {"-t", text, path}, std::chrono::seconds(20));
        ASSERT_EQ(run.exitCode, 0) << relative;
        std::filesystem::remove(text);
        ASSERT_NE(readBytes(path).find('\0'), std::string::npos) << relative;
    }
};

} // namespace skarvel::test
