#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "model/Error.h"
#include "support/ErrorCheck.h"
#include "support/TestSupport.h"
#include "model/LookValues.h"
#include "output/MenuScriptLook.h"

namespace qm::test {
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

TEST(LookValues, AValueThatCannotBeConvertedNamesItsFieldFileAndLine) {
    const struct {
        std::string TAppletData::*field;
        const char* value;
        const char* message;
    } cases[] = {
        {&TAppletData::mainItemExtWidth, "12.5", "main item extra width '12.5' is not a whole number"},
        {&TAppletData::subItemTextColor, "00GG00", "sub text colour '00GG00' is not a colour"},
        {&TAppletData::flMenuMaxHeight, "", "menu box height '' is not a whole number"},
    };
    for (const auto& c : cases) {
        auto look = DefaultAppletData();
        look.*c.field = c.value;
        EXPECT_QM_ERROR(NormalizeAppletData(look), c.message);
        EXPECT_QM_ERROR(CheckLookValues(look, "menu.zorbel", 12), std::string("menu.zorbel, line 12: ") + c.message);
    }
    CheckLookValues(DefaultAppletData(), "menu.zorbel", 12);  // passes quietly
}

// The menu script falls back to the defaults its head declares for values it cannot
// read, and names the fields by the positions the minifier sets in: both must be the
// table's, field by field.
TEST(LookValues, TheScriptsDefaultsAndPositionsAreTheTables) {
    const std::string script = MenuScriptWithLook("(()=>{})();\n");
    std::smatch head;
    ASSERT_TRUE(std::regex_match(script, head, std::regex(R"(\{const LOOK='([^'\n]*)';\n\(\(\)=>\{\}\)\(\);\n\}\n)")));
    std::vector<std::string> defaults;
    std::stringstream list(head[1].str() + ",");
    for (std::string value; std::getline(list, value, ',');) defaults.push_back(value);
    const std::string positions = MenuScriptFieldPositions();
    // The menu parameters and the box width, which the page gives the script apart.
    ASSERT_EQ(defaults.size(), kFlMenuMaxWidth + 1);
    for (std::size_t i = 0; i < defaults.size(); ++i) {
        const LookField& field = LookFieldAt(i);
        EXPECT_EQ(defaults[i], field.defaultValue) << field.codeName;
        const std::string position = "\"FIELD." + std::string(field.codeName) + "\":" + std::to_string(i);
        EXPECT_NE(positions.find(position + (i + 1 < defaults.size() ? "," : "}")), std::string::npos) << position;
    }
    EXPECT_EQ(std::count(positions.begin(), positions.end(), ':'), std::ssize(defaults)) << positions;
}

TEST(LookValues, TheTableGivesEveryFieldItsMemberNameAndDefault) {
    const TAppletData defaults = DefaultAppletData();
    for (std::size_t i = 0; i < TAppletData::kFieldCount; ++i) {
        const LookField& field = LookFieldAt(i);
        EXPECT_EQ(&(defaults.*field.member), &defaults.Field(i)) << field.codeName;
        EXPECT_EQ(TAppletData::FieldName(i), field.codeName);
        EXPECT_EQ(LookFieldOfControl(field.control), &field) << field.control;
        // Every control name ends in its field's code name.
        EXPECT_TRUE(field.control.ends_with(field.codeName)) << field.control;
        if (field.kind == LookValueKind::Integer) {
            EXPECT_LT(field.minimum, field.maximum) << field.codeName;
        }
    }
    EXPECT_EQ(LookFieldOfControl("pnl__subItemHoverColor"), nullptr) << "bound to no field";
}

}  // namespace
}  // namespace qm::test
