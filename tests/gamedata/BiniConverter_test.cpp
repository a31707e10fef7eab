#include "BiniFormat.h"
#include "gamedata/IniEngine.h"
#include "platform/Process.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// A BINI file put together byte by byte, so the reader is checked against the layout and
// not against our own writer.
class BiniBytes {
public:
    // Offset of the string in the table.
    std::uint32_t string(const std::string& text) {
        const auto offset = static_cast<std::uint32_t>(strings_.size());
        strings_ += text;
        strings_ += '\0';
        return offset;
    }
    BiniBytes& section(std::uint32_t name, std::uint32_t entries) {
        put(records_, name, 2);
        put(records_, entries, 2);
        return *this;
    }
    BiniBytes& entry(std::uint32_t name, std::uint32_t values) {
        put(records_, name, 2);
        put(records_, values, 1);
        return *this;
    }
    BiniBytes& value(std::uint8_t type, std::uint32_t data) {
        put(records_, type, 1);
        put(records_, data, 4);
        return *this;
    }
    BiniBytes& integer(std::int32_t number) { return value(1, static_cast<std::uint32_t>(number)); }
    BiniBytes& real(float number) { return value(2, std::bit_cast<std::uint32_t>(number)); }
    BiniBytes& text(std::uint32_t offset) { return value(3, offset); }
    BiniBytes& boolean(std::uint32_t data) { return value(0, data); }

    std::string bytes() const {
        std::string file = "BINI";
        put(file, 1, 4);
        put(file, static_cast<std::uint32_t>(12 + records_.size()), 4);
        return file + records_ + strings_;
    }

    static void put(std::string& out, std::uint32_t value, int width) {
        for (int i = 0; i < width; ++i) {
            out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    }

private:
    std::string records_;
    std::string strings_;
};

TEST(BiniFormatTest, WritesEveryValueTypeAsText) {
    BiniBytes bini;
    const auto ship = bini.string("Ship");
    const auto nickname = bini.string("nickname");
    const auto liElite = bini.string("li_elite");
    const auto values = bini.string("values");
    const auto empty = bini.string("LODranges");
    const auto display = bini.string("Gr\xf6\xdf"
                                     "e Schiff");
    bini.section(ship, 5)
        .entry(nickname, 1)
        .text(liElite)
        .entry(values, 9)
        .integer(-5)
        .integer(2147483647)
        .real(2.5f)
        .real(100.0f)
        .real(0.1f)
        .real(-0.0f)
        .real(1e-30f)
        .boolean(1)
        .boolean(0)
        .entry(empty, 0)
        .entry(liElite, 2) // a name that is also a value
        .text(liElite + 3) // the tail of another string
        .text(display)
        .entry(nickname, 1)
        .boolean(0xFFFFFFFF);
    bini.section(empty, 0);

    EXPECT_EQ(bini::toText(bini.bytes()),
              "[Ship]\r\n"
              "nickname = li_elite\r\n"
              "values = -5, 2147483647, 2.5, 100.0, 0.1, -0.0, 1.0e-30, true, false\r\n"
              "LODranges\r\n"
              "li_elite = elite, Gr\xf6\xdf"
              "e Schiff\r\n"
              "nickname = true\r\n"
              "\r\n"
              "[LODranges]\r\n"
              "\r\n");
}

TEST(BiniFormatTest, ReadsEntriesWithManyValuesAndFilesWithoutSections) {
    BiniBytes bini;
    const auto name = bini.string("hp");
    bini.section(name, 1).entry(name, 255);
    std::string expected = "[hp]\r\nhp = ";
    for (int i = 0; i < 255; ++i) {
        bini.integer(i);
        expected += (i ? ", " : "") + std::to_string(i);
    }
    EXPECT_EQ(bini::toText(bini.bytes()), expected + "\r\n\r\n");
    EXPECT_EQ(bini::toText(BiniBytes().bytes()), "");
}

TEST(BiniFormatTest, RefusesFilesThatAreNotWellFormed) {
    BiniBytes good;
    const auto name = good.string("Ship");
    good.section(name, 1).entry(name, 1).integer(7);
    const std::string file = good.bytes(); // 12 header + 4 + 3 + 5 records, then "Ship\0"
    ASSERT_EQ(bini::toText(file), "[Ship]\r\nShip = 7\r\n\r\n");

    const auto patched = [&](std::size_t at, std::string bytes) {
        std::string copy = file;
        copy.replace(at, bytes.size(), bytes);
        return copy;
    };
    const auto tableAt = [&](std::uint32_t offset) {
        std::string bytes;
        BiniBytes::put(bytes, offset, 4);
        return patched(8, bytes);
    };
    const std::pair<const char*, std::string> broken[] = {
        {"empty", ""},
        {"short header", file.substr(0, 11)},
        {"magic", patched(0, "bini")},
        {"version", patched(4, std::string("\x02", 1))},
        {"table before header", tableAt(11)},
        {"table beyond end", tableAt(static_cast<std::uint32_t>(file.size() + 1))},
        {"truncated section", tableAt(14)},
        {"truncated entry", tableAt(18)},
        {"truncated value", tableAt(23)},
        {"string offset", patched(12, std::string("\x09\x00", 2))},
        {"string without NUL", file.substr(0, file.size() - 1)},
        {"unknown type", patched(19, "\x07")},
        {"plain text", "[Ship]\r\nnickname = x\r\n"},
    };
    for (const auto& [what, bytes] : broken) {
        EXPECT_THROW(bini::toText(bytes), bini::FormatError) << what;
    }
}

TEST(BiniFormatTest, FloatsReadBackExactlyAndAlwaysHaveAPoint) {
    const std::pair<float, const char*> known[] = {
        {1.0f, "1.0"},
        {0.1f, "0.1"},
        {-0.0f, "-0.0"},
        {123456792.0f, "123456792.0"},
        {1e20f, "1.0e+20"},
        {1e-30f, "1.0e-30"},
        {std::numeric_limits<float>::max(), "3.4028235e+38"},
        {std::numeric_limits<float>::infinity(), "inf"},
    };
    for (const auto& [value, text] : known) {
        EXPECT_EQ(bini::floatText(value), text);
    }

    std::mt19937 random(2004);
    for (int i = 0; i < 20000; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string text = bini::floatText(value);
        float back = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(result.ptr, text.data() + text.size()) << text;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(back), std::bit_cast<std::uint32_t>(value)) << text;
        ASSERT_NE(text.find('.'), std::string::npos) << text;
    }
}

TEST(BiniFormatTest, TextRoundTripsThroughBini) {
    const std::string text = "[Ship]\r\n"
                             "nickname = li_elite\r\n"
                             "ids_name = 237033\r\n"
                             "mass = 150.5, -0.25, 1.0e-30, 3.4028235e+38\r\n"
                             "LODranges\r\n"
                             "hp_type = hp_gun_special_1, HpWeapon01, , HpWeapon02\r\n"
                             "version = 1.5.2, +5, 007x, li_elite\r\n"
                             "\r\n"
                             "[Empty]\r\n"
                             "\r\n"
                             "[Ship]\r\n"
                             "nickname = li_elite2\r\n"
                             "display = Gr\xf6\xdf"
                             "e Station\r\n"
                             "\r\n";
    const std::string bini = bini::fromText(text);
    EXPECT_EQ(bini::toText(bini), text);
    // Strings are stored once: "li_elite" as a value twice, "Ship" as a section name twice.
    const std::uint32_t tableOffset = std::uint32_t{static_cast<unsigned char>(bini[8])} |
                                      std::uint32_t{static_cast<unsigned char>(bini[9])} << 8 |
                                      std::uint32_t{static_cast<unsigned char>(bini[10])} << 16;
    std::vector<std::string> table;
    for (std::size_t at = tableOffset; at < bini.size(); at = bini.find('\0', at) + 1) {
        table.push_back(bini.substr(at, bini.find('\0', at) - at));
    }
    const auto count = [&](const std::string& entry) {
        return std::count(table.begin(), table.end(), entry);
    };
    EXPECT_EQ(count("li_elite"), 1);
    EXPECT_EQ(count("Ship"), 1);
}

// A file of the size the game ships (about 100 KB compressed): the settings-file engine
// finds every section and every key of the input in the text, with its value.
TEST(BiniFormatTest, ALargeFileReadsBackWithEverySectionAndKey) {
    std::string text;
    for (int i = 0; text.size() < 240 * 1024; ++i) {
        const std::string n = std::to_string(i);
        text += "[Engine]\r\nnickname = ge_engine_" + n +
                "\r\nmax_force = " + std::to_string((i + 1) * 1000) +
                "\r\nlinear_drag = " + std::to_string(i % 900 + 1) +
                "\r\nreverse_fraction = 0.15\r\nflame_effect = gf_engine_" + n +
                ", 1, 2.5\r\nindestructible\r\n\r\n";
    }
    const std::string bini = bini::fromText(text);
    ASSERT_GT(bini.size(), 90u * 1024);
    const skarvel::ini::ParsedIni input(text);
    const skarvel::ini::ParsedIni output(bini::toText(bini));
    ASSERT_EQ(output.sections().size(), input.sections().size());
    ASSERT_EQ(output.keys().size(), input.keys().size());
    for (std::size_t i = 0; i < input.keys().size(); ++i) {
        const auto& in = input.keys()[i];
        const auto& out = output.keys()[i];
        ASSERT_EQ(output.name(out), input.name(in)) << i;
        ASSERT_EQ(output.value(out), input.value(in)) << i;
        ASSERT_EQ(output.name(output.sections()[out.section]), "Engine");
    }
}

TEST(BiniFormatTest, TextIsNormalisedOnTheWayIn) {
    const std::string text = "; shiparch\n[ Ship ] ; first\nnickname=li_elite ; comment\n"
                             "hit_pts =\t3500\n;hit_pts = 1\nempty =\n=\n = 5\n";
    EXPECT_EQ(bini::toText(bini::fromText(text)),
              "[Ship]\r\nnickname = li_elite\r\nhit_pts = 3500\r\nempty\r\n\r\n");
}

TEST(BiniFormatTest, RefusesTextThatCannotBeStored) {
    std::string manyValues = "[S]\nk = 0";
    for (int i = 1; i < 256; ++i) {
        manyValues += ", " + std::to_string(i);
    }
    EXPECT_THROW(bini::fromText("k = 1\n[S]\n"), bini::FormatError);
    EXPECT_THROW(bini::fromText(std::string("[S]\nk = a\0b\n", 12)), bini::FormatError);
    EXPECT_THROW(bini::fromText(manyValues), bini::FormatError);
}

TEST(BiniFormatTest, RefusesNamesAndStringsTheTextCannotCarry) {
    struct Case {
        const char* what;
        std::string section, key, value;
        bool carried;
    };
    const Case cases[] = {
        {"plain", "Ship", "nickname", "li_elite", true},
        {"harmless marks", "a=b;c[", "k]x", "v]=[x", true},
        {"CR in section", "Sh\rip", "k", "v", false},
        {"LF in section", "Ship\n", "k", "v", false},
        {"] in section", "Sh]ip", "k", "v", false},
        {"LF in key", "S", "ni\nck", "v", false},
        {"= in key", "S", "a=b", "v", false},
        {"; in key", "S", ";k", "v", false},
        {"[ opens key", "S", " [k", "v", false},
        {"CR LF in value", "S", "k", "li\r\nelite", false},
        {"CR in value", "S", "k", "li\relite", false},
    };
    for (const auto& c : cases) {
        BiniBytes bini;
        const auto section = bini.string(c.section);
        const auto key = bini.string(c.key);
        bini.section(section, 1).entry(key, 1).text(bini.string(c.value));
        if (c.carried) {
            const std::string text = bini::toText(bini.bytes());
            EXPECT_EQ(bini::toText(bini::fromText(text)), text) << c.what;
        } else {
            EXPECT_THROW(bini::toText(bini.bytes()), bini::FormatError) << c.what;
        }
    }
}

TEST(BiniFormatTest, BoundsTheTextByTheFileSize) {
    constexpr std::size_t mb = 1024 * 1024;
    const std::pair<std::size_t, std::size_t> limits[] = {
        {0, 0},
        {1000, 64000},
        {8 * mb, 512 * mb},
        {8 * mb + 1, 512 * mb},
        {std::numeric_limits<std::size_t>::max(), 512 * mb},
    };
    for (const auto& [size, limit] : limits) {
        EXPECT_EQ(bini::textLimit(size), limit) << size;
    }

    BiniBytes bini;
    const auto name = bini.string("Ship");
    bini.section(name, 1).entry(name, 2).text(name).integer(7);
    const std::string file = bini.bytes();
    const std::string text = "[Ship]\r\nShip = Ship, 7\r\n\r\n";
    EXPECT_EQ(bini::toText(file, text.size()), text);
    EXPECT_THROW(bini::toText(file, text.size() - 1), bini::FormatError);
}

class BiniProgramTest : public ::testing::Test {
protected:
    skarvel::ProcessResult bini(const std::vector<std::string>& arguments) {
        return skarvel::runProgram(SKARVEL_BINI_PATH, arguments, std::chrono::seconds(20));
    }
    // The program's stderr, kept outside the folder under test.
    std::string biniErrors(const std::vector<std::string>& arguments) {
        std::string command = "exec '" SKARVEL_BINI_PATH "'";
        for (const auto& argument : arguments) {
            command += " '" + argument + "'";
        }
        const auto errors = errorDir.path() / "stderr";
        command += " 2>'" + errors.string() + "'";
        const auto result =
            skarvel::runProgram("/bin/sh", {"-c", command}, std::chrono::seconds(5));
        EXPECT_FALSE(result.timedOut) << command;
        EXPECT_EQ(result.exitCode, 1) << command;
        return skarvel::test::readBytes(errors);
    }
    std::vector<std::string> filesInFolder() const {
        return skarvel::test::folderListing(dir.path());
    }

    skarvel::test::TempDir dir;
    skarvel::test::TempDir errorDir;
};

TEST_F(BiniProgramTest, ConvertsAFileBesideItself) {
    const std::string text = "[Power]\r\nnickname = li_power_01\r\ncapacity = 800\r\n\r\n";
    const std::string input = (dir.path() / "misc_equip.ini").string();
    const std::string packed = bini::fromText(text);
    skarvel::test::writeBytes(input, packed);

    const auto result = bini({input});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(skarvel::test::readBytes(input + ".txt"), text);
    EXPECT_EQ(skarvel::test::readBytes(input), packed);

    // The path in quotes, as the editor's call gives it.
    std::filesystem::remove(input + ".txt");
    EXPECT_EQ(bini({"\"" + input + "\""}).exitCode, 0);
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"misc_equip.ini", "misc_equip.ini.txt"}));
}

TEST_F(BiniProgramTest, WritesBiniFromText) {
    const std::string text = "[Engine]\r\nnickname = li_engine_01\r\nmax_force = 48000\r\n\r\n";
    const auto source = dir.path() / "engine.txt";
    const auto target = dir.path() / "engine_equip.ini";
    skarvel::test::writeBytes(source, text);

    EXPECT_EQ(bini({"-t", source.string(), target.string()}).exitCode, 0);
    EXPECT_EQ(bini::toText(skarvel::test::readBytes(target)), text);
}

TEST_F(BiniProgramTest, FailsWithoutLeavingAnyOutput) {
    const std::string garbage = (dir.path() / "goods.ini").string();
    skarvel::test::writeBytes(garbage, "[Good]\r\nnickname = not packed\r\n");

    const std::vector<std::vector<std::string>> calls = {
        {garbage},
        {(dir.path() / "missing.ini").string()},
        {"-t", (dir.path() / "missing.txt").string(), (dir.path() / "out.ini").string()},
        {"-t", garbage, (dir.path() / "no/folder/out.ini").string()},
        {},
        {"-t"},
    };
    for (const auto& arguments : calls) {
        const auto result = bini(arguments);
        ASSERT_TRUE(result.started);
        EXPECT_NE(result.exitCode, 0) << (arguments.empty() ? "" : arguments.back());
    }
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"goods.ini"});
    EXPECT_EQ(skarvel::test::readBytes(garbage), "[Good]\r\nnickname = not packed\r\n");
}

// Each input is refused at once with a message naming the cause, and nothing is written.
TEST_F(BiniProgramTest, RefusesInputsItCannotConvertSafely) {
    const auto fifo = dir.path() / "pipe.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    // About 1 MB whose values all name one 60000-byte string: some 12 GB of text.
    BiniBytes repeated;
    const auto name = repeated.string("S");
    const auto big = repeated.string(std::string(60000, 'x'));
    repeated.section(name, 800);
    for (int e = 0; e < 800; ++e) {
        repeated.entry(name, 255);
        for (int v = 0; v < 255; ++v) {
            repeated.text(big);
        }
    }
    BiniBytes lineBreak;
    lineBreak.section(lineBreak.string("S"), 1).entry(lineBreak.string("k\r\nx"), 0);
    BiniBytes bracket;
    bracket.section(bracket.string("S]x"), 0);

    const std::pair<std::string, std::string> files[] = {
        {"repeated.ini", repeated.bytes()},
        {"linebreak.ini", lineBreak.bytes()},
        {"bracket.ini", bracket.bytes()},
    };
    for (const auto& [file, bytes] : files) {
        skarvel::test::writeBytes(dir.path() / file, bytes);
    }
    const auto in = [&](const char* file) { return (dir.path() / file).string(); };
    const std::pair<std::vector<std::string>, const char*> calls[] = {
        {{fifo.string()}, "not a regular file"},
        {{"-t", fifo.string(), in("out.ini")}, "not a regular file"},
        {{in("repeated.ini")}, "would exceed"},
        {{in("linebreak.ini")}, "line break"},
        {{in("bracket.ini")}, "\"]\""},
    };
    for (const auto& [arguments, reason] : calls) {
        const auto started = std::chrono::steady_clock::now();
        EXPECT_NE(biniErrors(arguments).find(reason), std::string::npos) << reason;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3)) << reason;
    }
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"bracket.ini", "linebreak.ini", "pipe.ini",
                                                         "repeated.ini"}));
}

// An existing FILE.txt is kept unless --force, which keeps its mode; oversized and UTF-16
// inputs and overlong value lists are refused with their reason before any work.
TEST_F(BiniProgramTest, KeepsWhatIsThereAndRefusesInputsWithTheirReason) {
    const std::string input = (dir.path() / "goods.ini").string();
    const std::string text = "[Good]\r\nnickname = gold\r\n\r\n";
    skarvel::test::writeBytes(input, bini::fromText(text));
    skarvel::test::writeBytes(input + ".txt", "my notes");
    ::chmod((input + ".txt").c_str(), 0444);
    EXPECT_NE(biniErrors({input}).find("goods.ini.txt: it exists (--force replaces it)"),
              std::string::npos);
    EXPECT_EQ(skarvel::test::readBytes(input + ".txt"), "my notes");
    EXPECT_EQ(bini({"--force", input}).exitCode, 0);
    EXPECT_EQ(skarvel::test::readBytes(input + ".txt"), text);
    struct stat info {};
    ASSERT_EQ(::stat((input + ".txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);

    const auto sparse = dir.path() / "huge.ini";
    skarvel::test::writeBytes(sparse, "BINI");
    std::filesystem::resize_file(sparse, (std::uintmax_t{1} << 40)); // 1 TB, nothing stored
    skarvel::test::writeBytes(dir.path() / "unicode.txt", std::string("\xFF\xFE[\0S\0]\0", 8));
    skarvel::test::writeBytes(dir.path() / "commas.txt",
                              "[S]\r\nk = " + std::string(1 << 20, ',') + "\r\n");
    const auto in = [&](const char* file) { return (dir.path() / file).string(); };
    const std::pair<std::vector<std::string>, const char*> calls[] = {
        {{in("huge.ini")}, "larger than the 64 MB cap"},
        {{"-t", in("huge.ini"), in("out.ini")}, "larger than the 64 MB cap"},
        {{"-t", in("unicode.txt"), in("out.ini")}, "the file is UTF-16 text"},
        {{in("unicode.txt")}, "the file is UTF-16 text"},
        {{"-t", in("commas.txt"), in("out.ini")}, "line 2 holds more than 255 values"},
    };
    for (const auto& [arguments, reason] : calls) {
        EXPECT_NE(biniErrors(arguments).find(reason), std::string::npos) << reason;
    }
    EXPECT_FALSE(std::filesystem::exists(in("out.ini")));
    EXPECT_FALSE(std::filesystem::exists(in("huge.ini.txt")));
}

TEST_F(BiniProgramTest, ReadsTextWithAByteOrderMarkLikeWithout) {
    const std::string text = "[Ship]\r\nnickname = li_elite\r\n\r\n";
    const std::pair<const char*, std::string> sources[] = {
        {"plain", text},
        {"with mark", "\xEF\xBB\xBF" + text},
        {"mark only", "\xEF\xBB\xBF"},
    };
    for (const auto& [what, source] : sources) {
        const auto input = dir.path() / "in.txt";
        const auto output = dir.path() / "out.ini";
        skarvel::test::writeBytes(input, source);
        ASSERT_EQ(bini({"-t", input.string(), output.string()}).exitCode, 0) << what;
        EXPECT_EQ(skarvel::test::readBytes(output),
                  bini::fromText(source.size() > 3 ? text : std::string()))
            << what;
    }
}

} // namespace
