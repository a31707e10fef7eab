#include "journal/Journal.h"
#include "ships/Numbers.h"
#include "support/Errors.h"
#include "support/ManualClock.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>

namespace skarvel {
namespace {

TEST(Numbers, WholeNumbersAreSigned32BitDecimals) {
    EXPECT_EQ(parseWholeNumber("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(parseWholeNumber("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(parseWholeNumber("+7"), 7);
    EXPECT_EQ(parseWholeNumber(" 12 "), 12);
    EXPECT_EQ(parseWholeNumber("00"), 0);

    EXPECT_EQ(test::errorOf<ConversionError>([] { parseWholeNumber("2147483648"); }),
              "'2147483648' is not a valid integer value");
    EXPECT_EQ(test::errorOf<ConversionError>([] { parseWholeNumber("99999999999999999999"); }),
              "'99999999999999999999' is not a valid integer value");
    for (const char* bad : {"", "-", "1,5", "12a", "$10", "0x10", "1 2"}) {
        EXPECT_THROW(parseWholeNumber(bad), ConversionError) << bad;
    }
}

TEST(Numbers, FractionsTakeCommaOrPoint) {
    EXPECT_DOUBLE_EQ(parseFraction("0,15"), 0.15);
    EXPECT_EQ(parseFraction("0,15"), parseFraction("0.15"));
    EXPECT_DOUBLE_EQ(parseFraction("-0,5"), -0.5);
    EXPECT_DOUBLE_EQ(parseFraction("12"), 12.0);
    EXPECT_DOUBLE_EQ(parseFraction(",5"), 0.5);
    EXPECT_DOUBLE_EQ(parseFraction("1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(parseFraction(" 2,5 "), 2.5);

    EXPECT_EQ(test::errorOf<ConversionError>([] { parseFraction("1.5.2"); }),
              "'1.5.2' is not a valid floating point value");
    for (const char* bad : {"", ",", "1,000.5", "inf", "nan", "0x10", "1e", "1e999", "- 1"}) {
        EXPECT_THROW(parseFraction(bad), ConversionError) << bad;
        EXPECT_FALSE(readNumber(bad)) << bad;
    }
    EXPECT_EQ(readNumber("135.6"), 135.6);
    EXPECT_EQ(readNumber("135,6"), 135.6);
}

TEST(Numbers, RoundingTakesAnExactHalfToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(12.5), 12);
    EXPECT_EQ(roundHalfEven(17.5), 18);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
    EXPECT_EQ(roundHalfEven(5e12), 5000000000000);
    EXPECT_THROW(roundHalfEven(1e300), std::range_error);

    EXPECT_EQ(formatFraction(roundToTenth(23.0 / 80.0)), "0,3");
    EXPECT_EQ(formatFraction(roundToTenth(3.0 / 80.0)), "0");
    EXPECT_EQ(formatFraction(roundToTenth(-3.0 / 80.0)), "0");
    EXPECT_EQ(formatFraction(roundToTenth(0.25)), "0,2");
}

TEST(Numbers, FractionsAreWrittenShortWithADecimalComma) {
    EXPECT_EQ(formatFraction(0.4), "0,4");
    EXPECT_EQ(formatFraction(12.0), "12");
    EXPECT_EQ(formatFraction(-1.5), "-1,5");
    EXPECT_EQ(formatFraction(0.1 + 0.2), "0,3");
    EXPECT_EQ(formatFraction(1.0 / 3.0), "0,333333333333333");
    EXPECT_EQ(formatFraction(1234567.0), "1234567");
}

TEST(Numbers, ProductsRoundToA32BitWholeNumber) {
    EXPECT_EQ(multiplyToWhole(800, 100), 80000);
    EXPECT_EQ(multiplyToWhole(3, 135.6), 407); // 406.8
    EXPECT_EQ(multiplyToWhole(5, 0.5), 2);     // 2.5, half to even
    EXPECT_EQ(multiplyToWhole(-65536, 32768), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(test::errorOf<std::overflow_error>([] { multiplyToWhole(65536, 32768); }),
              "Integer overflow");
    EXPECT_THROW(multiplyToWhole(1e300, 1e300), std::overflow_error);
}

TEST(Numbers, ASpinnerStepKeepsTheNumberAsWritten) {
    struct Case {
        const char* text;
        int step;
        int minimum;
        int maximum;
        std::optional<std::string> stepped;
    };
    const std::optional<std::string> none;
    const Case cases[] = {
        {"5", 1, 0, 100, "6"},
        {" 7 ", -1, 0, 100, "6"},
        {"5", 5, 0, 100, "10"},
        {"98", 5, 0, 100, "100"},
        {"100", 1, 0, 100, none},
        {"0.35", 1, 0, 100, "0.36"},
        {"0,35", -1, 0, 100, "0,34"},
        {"1.50", 1, 0, 100, "1.51"},
        {"0.0", 1, 0, 100, "0.1"},
        {"0,09", 5, 0, 100, "0,10"}, // one unit of the last place, whatever the step
        {"0.0", -1, 0, 100, none},
        {"-0,1", 1, -10, 10, "0,0"},
        {"", 1, 1, 10, "2"},
        {"", -1, 1, 10, "1"},
        // Outside the range: towards it one step, away from it nothing.
        {"255", -1, 1, 10, "254"},
        {"255", 1, 1, 10, none},
        {"12,5", -1, 1, 10, "12,4"},
        {"-0.5", 1, 0, 100, "-0.4"},
        {"-0.5", -1, 0, 100, none},
        {"32000.5", 1, 0, 32000, none},
        // Not a single plain number.
        {"1, 2", 1, 0, 100, none},
        {"abc", 1, 0, 100, none},
        {"1.2.3", 1, 0, 100, none},
        {"1e3", 1, 0, 100, none},
        {"-", 1, 0, 100, none},
        {"1234567890123456789", -1, 0, 100, none},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(steppedNumber(c.text, c.step, c.minimum, c.maximum), c.stepped)
            << "'" << c.text << "' by " << c.step;
    }
}

TEST(Numbers, MathValueTurnsEveryPointIntoAComma) {
    test::TempDir dir;
    test::ManualClock clock;
    {
        TJournal journal(dir.folder(), "DebugOut", JournalIdentity{}, clock);
        EXPECT_EQ(getMathValue("1.5.2", journal), "1,5,2");
        EXPECT_EQ(getMathValue("12", journal), "12");
        EXPECT_EQ(getMathValue("0,25", journal), "0,25");
        const auto lines = test::journalLines(journal.fileName());
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
                  (std::vector<std::string>{"[Data   ] getMathValue - 1.5.2 => 1,5,2",
                                            "[Data   ] getMathValue - 12 => 12",
                                            "[Data   ] getMathValue - 0,25 => 0,25"}));
    }
}

} // namespace
} // namespace skarvel
