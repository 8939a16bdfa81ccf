#include <gtest/gtest.h>

#include "Error.h"
#include "LookValues.h"

namespace qm {
namespace {

TEST(LookValues, IntegersArePulledIntoTheRangesOfTheirControls) {
    auto look = DefaultAppletData();
    look.mainItemExtWidth = "0";
    look.mainItemFontSize = "250";
    look.subItemFontSize = "250";
    look.subItemHeight = "-30";
    look.mov_z_index = "-123456";
    look.flMenuMaxWidth = "+12000";
    const auto shown = NormalizeAppletData(look);
    EXPECT_EQ(shown.mainItemExtWidth, "1");
    EXPECT_EQ(shown.mainItemFontSize, "100");
    EXPECT_EQ(shown.subItemFontSize, "250");  // the sub font size goes up to 1000
    EXPECT_EQ(shown.subItemHeight, "-30");    // the one height that may be negative
    EXPECT_EQ(shown.mov_z_index, "-99999");
    EXPECT_EQ(shown.flMenuMaxWidth, "9999");
}

TEST(LookValues, ColoursBecomeSixUpperCaseDigits) {
    auto look = DefaultAppletData();
    look.mainItemTextColor = "Transparent";
    look.mainItemColor = "ff";
    look.mainItemHoverColor = "92ddfaEXTRA";  // past the sixth character nothing counts
    look.subItemColor = "";
    const auto shown = NormalizeAppletData(look);
    EXPECT_EQ(shown.mainItemTextColor, "000000");
    EXPECT_EQ(shown.mainItemColor, "FF0000");
    EXPECT_EQ(shown.mainItemHoverColor, "92DDFA");
    EXPECT_EQ(shown.subItemColor, "000000");
    EXPECT_EQ(ColourToText(0x123456), "123456");
    EXPECT_EQ(ParseColourText("F"), 0x0F0000u);
}

TEST(LookValues, TextIsTrimmedAndTheFlagIsOneOrZero) {
    auto look = DefaultAppletData();
    look.mainItemFont = "  Verdana \t";
    look.itemActiveSound = "  ";
    look.InternalUse_RootDir_Local_Checked = "yes";
    auto shown = NormalizeAppletData(look);
    EXPECT_EQ(shown.mainItemFont, "Verdana");
    EXPECT_EQ(shown.itemActiveSound, "");
    EXPECT_EQ(shown.InternalUse_RootDir_Local_Checked, "0");
    look.InternalUse_RootDir_Local_Checked = "1";
    EXPECT_EQ(NormalizeAppletData(look).InternalUse_RootDir_Local_Checked, "1");
}

TEST(LookValues, TheDefaultLookIsAlreadyInShownForm) {
    EXPECT_EQ(NormalizeAppletData(DefaultAppletData()), DefaultAppletData());
}

TEST(LookValues, AValueThatCannotBeConvertedNamesItsField) {
    auto look = DefaultAppletData();
    look.mainItemExtWidth = "12.5";
    try {
        NormalizeAppletData(look);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "mainItemExtWidth: '12.5' is not a valid integer value");
    }
    look = DefaultAppletData();
    look.subItemTextColor = "00GG00";
    try {
        NormalizeAppletData(look);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "subItemTextColor: '00GG00' is not a valid integer value");
    }
    look = DefaultAppletData();
    look.flMenuMaxHeight = "";
    EXPECT_THROW(NormalizeAppletData(look), Error);
}

}  // namespace
}  // namespace qm
