#include "platform/Numbers.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace plat;

TEST(Numbers, RoundHalfEvenAtTheHalves)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.5000000000000004), 3);
    EXPECT_EQ(RoundHalfEven(0.49999999999999994), 0);
    EXPECT_EQ(RoundHalfEven(-2.4), -2);
    EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497.0); // above 2^52 nothing to round
}

TEST(Numbers, IntegerConversionChecksTheRangeAfterRounding)
{
    EXPECT_EQ(ToInt16(32767.4), 32767);
    EXPECT_EQ(ToInt16(32766.5), 32766);
    EXPECT_FALSE(ToInt16(32767.5)); // rounds to 32768
    EXPECT_EQ(ToInt16(-32768.5), -32768); // the even neighbour is inside
    EXPECT_FALSE(ToInt16(-32769));
    EXPECT_FALSE(ToInt16(std::nan("")));
    EXPECT_FALSE(ToInt16(std::numeric_limits<double>::infinity()));

    EXPECT_EQ(ToInt32(2147483646.5), 2147483646);
    EXPECT_FALSE(ToInt32(2147483647.5));
    EXPECT_EQ(ToInt32(-2147483648.5), std::numeric_limits<int32_t>::min());
    EXPECT_FALSE(ToInt32(-2147483649.0));
    EXPECT_EQ(ToInt32(1e9 + 0.5), 1000000000);
}

TEST(Numbers, VbBooleans)
{
    EXPECT_EQ(VbBool(true), -1);
    EXPECT_EQ(VbBool(false), 0);
    static_assert(VbTrue == -1 && VbFalse == 0);
}

TEST(Numbers, ParseWholeTextsAndLeadingNumbers)
{
    EXPECT_EQ(ParseDouble(" 1.5 "), 1.5);
    EXPECT_EQ(ParseDouble("-.5"), -0.5);
    EXPECT_EQ(ParseDouble("+2E3"), 2000);
    EXPECT_EQ(ParseDouble("7."), 7);
    EXPECT_FALSE(ParseDouble("1,5"));
    EXPECT_FALSE(ParseDouble("1.5x"));
    EXPECT_FALSE(ParseDouble(""));
    EXPECT_FALSE(ParseDouble("."));
    EXPECT_FALSE(ParseDouble("inf"));
    EXPECT_FALSE(ParseDouble("nan"));

    EXPECT_EQ(LeadingNumber("12abc"), 12);
    EXPECT_EQ(LeadingNumber("  -3.5e2x"), -350);
    EXPECT_EQ(LeadingNumber("1e"), 1);
    EXPECT_EQ(LeadingNumber(".5.7"), 0.5);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(LeadingNumber("-1e-999"), 0);
}

TEST(Numbers, HexParsing)
{
    EXPECT_EQ(ParseHex("ff"), 0xFFu);
    EXPECT_EQ(ParseHex("0A"), 0x0Au);
    EXPECT_EQ(ParseHex("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_FALSE(ParseHex("123456789"));
    EXPECT_FALSE(ParseHex("0x1"));
    EXPECT_FALSE(ParseHex(""));
    EXPECT_FALSE(ParseHex("1G"));
    EXPECT_EQ(HexDigit('c'), 12);
    EXPECT_EQ(HexDigit('g'), -1);
}

TEST(Numbers, PrintForm)
{
    EXPECT_EQ(StrForm(0.5), " .5");
    EXPECT_EQ(StrForm(-0.25), "-.25");
    EXPECT_EQ(StrForm(3), " 3");
    EXPECT_EQ(StrForm(-3), "-3");
    EXPECT_EQ(StrForm(0), " 0");
    EXPECT_EQ(StrForm(-0.0), " 0");
    EXPECT_EQ(StrForm(100), " 100");
    EXPECT_EQ(StrForm(1.05), " 1.05");
    EXPECT_EQ(StrForm(0.1 + 0.2), " .3");
    EXPECT_EQ(StrForm(1.0 / 3), " .333333333333333");
    EXPECT_EQ(StrForm(-2.0 / 3), "-.666666666666667");
    EXPECT_EQ(StrForm(123456789012345.0), " 123456789012345");
    EXPECT_EQ(StrForm(999999999999999.9), " 1E+15"); // rounding to 15 digits carries into the exponent
    EXPECT_EQ(StrForm(1e15), " 1E+15");
    EXPECT_EQ(StrForm(1234567890123456.0), " 1.23456789012346E+15");
    EXPECT_EQ(StrForm(1e20), " 1E+20");
    EXPECT_EQ(StrForm(-1e300), "-1E+300");
    EXPECT_EQ(StrForm(0.0001), " .0001");
    EXPECT_EQ(StrForm(0.00012), " .00012");
    EXPECT_EQ(StrForm(0.00001), " 1E-05");
    EXPECT_EQ(StrForm(-1.5e-7), "-1.5E-07");
    EXPECT_EQ(PrintForm(3), " 3 ");
    EXPECT_EQ(PrintForm(-0.25), "-.25 ");
}

TEST(Numbers, FormattingAndParsingIgnoreTheProcessLocale)
{
    // A locale with a decimal comma, where the system has one; C.UTF-8 keeps '.', so the test then only
    // shows that a changed locale does no harm.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name))
            break;
    EXPECT_EQ(StrForm(1.25), " 1.25");
    EXPECT_EQ(FormatFixed(2.5, 2), "2.50");
    EXPECT_EQ(ParseDouble("1.25"), 1.25);
    EXPECT_FALSE(ParseDouble("1,25"));
    std::setlocale(LC_NUMERIC, saved.c_str());

    EXPECT_EQ(FormatFixed(0.3, 1), "0.3");
    EXPECT_EQ(FormatFixed(-1.0, 0), "-1");
    EXPECT_EQ(FormatFixed(12.345, 0), "12");
}
