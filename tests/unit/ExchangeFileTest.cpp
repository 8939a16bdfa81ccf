// The menu structure exchange file (.gms): its bytes, the reader's tolerance and
// refusals, and export/import round trips.

#include <gtest/gtest.h>

#include "model/DocumentFiles.h"
#include "model/Error.h"
#include "support/ErrorCheck.h"
#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"
#include "model/TkvxAppletAgent.h"

namespace qm::test {
namespace {

std::vector<std::string> Header(const std::string& generator = "Quillamere",
                                const std::string& format = "General Menu Structure Description Format") {
    return {"<Generator_Name>",  generator,   "</Generator_Name>", "<Generator_Version>", "1.0",
            "</Generator_Version>", "<Product_Name>", format,     "</Product_Name>",     "<Product_Version>",
            "1.0",               "</Product_Version>"};
}

std::string ExchangeText(const std::vector<std::string>& lines, const std::vector<std::string>& header = Header()) {
    auto all = header;
    all.push_back("<Structure_Description>");
    all.insert(all.end(), lines.begin(), lines.end());
    all.push_back("</Structure_Description>");
    return CrLfText(all);
}

class ExchangeFile : public ::testing::Test {
protected:
    void Import(const std::string& bytes) {
        WriteBytes(path_, bytes);
        report_ = agent_.ImportMenuStructure(path_);
    }
    std::string Exported() {
        const auto path = folder_ / "out.gms";
        agent_.ExportMenuStructure(path);
        return ReadBytes(path);
    }
    std::string Shown() const { return DisplayPath(path_); }

    TempFolder folder_;
    fs::path path_ = folder_ / "menu.gms";
    TkvxAppletAgent agent_;
    LoadReport report_;
};

TEST_F(ExchangeFile, EmptyMenuIsFourteenLines) {
    agent_.ResetToDefaults();
    const auto bytes = Exported();
    auto expected = Header();
    expected.push_back("<Structure_Description>");
    expected.push_back("</Structure_Description>");
    EXPECT_EQ(bytes, CrLfText(expected));
    EXPECT_EQ(CrLfLines(bytes).size(), 14u);
}

TEST_F(ExchangeFile, StructureLinesCarryFiveFieldsWithRefreshedLevels) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    auto stock = agent_.GetItemData(3);
    stock.Level = "6";  // a level the editor never makes: exported as the tree has it
    agent_.SetItemData(stock, 3);
    const auto lines = CrLfLines(Exported());
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[13], "0#$@Home#$@Home.html#$@_blank#$@r5-Home#$@");
    EXPECT_EQ(lines[14], "0#$@Products#$@Products.html#$@_blank#$@r5-Products#$@");
    EXPECT_EQ(lines[15], "1#$@Prices#$@Prices.html#$@_blank#$@r5-Prices#$@");
    EXPECT_EQ(lines[16], "1#$@Stock#$@Stock.html#$@_blank#$@r5-Stock#$@");
    EXPECT_EQ(lines[17], "0#$@Contact#$@Contact.html#$@_blank#$@r5-Contact#$@");
    EXPECT_EQ(lines[18], "</Structure_Description>");
    EXPECT_EQ(agent_.Items()[3].Level, "1");
}

TEST_F(ExchangeFile, ExampleLinesOfAMainItemAndItsSubItem) {
    ASSERT_NO_THROW(Import(ExchangeText({"0#$@Products#$@products.html#$@_self#$@#$@", "1#$@Prices#$@prices.html#$@_blank#$@#$@"})));
    EXPECT_EQ(TreeShape(agent_), "Products(Prices)");
    EXPECT_EQ(agent_.Items()[1].Target, "_blank");
    const auto lines = CrLfLines(Exported());
    EXPECT_EQ(lines[13], "0#$@Products#$@products.html#$@_self#$@#$@");
    EXPECT_EQ(lines[14], "1#$@Prices#$@prices.html#$@_blank#$@#$@");
}

TEST_F(ExchangeFile, ExportShowsProgressWithoutStepsPerItem) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    RecordingProgress progress;
    agent_.SetProgressDisplay(&progress);
    Exported();
    EXPECT_EQ(progress.maximum_, 5 * 10 + 15);
    EXPECT_EQ(progress.peak_, 15);
    EXPECT_EQ(progress.position_, 0);
    EXPECT_FALSE(progress.busy_);
    EXPECT_EQ(progress.statusTexts, (std::vector<std::string>{"Saving Data ... ...", ""}));
    agent_.SetProgressDisplay(nullptr);
}

TEST_F(ExchangeFile, ImportResetsTheLookAndKeepsOnlyTheFiveFields) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    ASSERT_NO_THROW(Import(ExchangeText({"0#$@A#$@a.html#$@_top#$@keep#$@"})));
    EXPECT_EQ(agent_.AppletData(), DefaultAppletData());
    TItemData expected;
    expected.Text = "A";
    expected.Link = "a.html";
    expected.Target = "_top";
    expected.Reserved5 = "keep";
    expected.Level = "0";
    EXPECT_EQ(agent_.Items(), TItemArray{expected});
}

TEST_F(ExchangeFile, MissingFieldsBecomeEmptyNotTheirDefaults) {
    ASSERT_NO_THROW(Import(ExchangeText({"0#$@Main#$@", "1#$@Sub#$@"})));
    ASSERT_EQ(agent_.ItemCount(), 2);
    EXPECT_EQ(TreeShape(agent_), "Main(Sub)");
    EXPECT_EQ(agent_.Items()[1].Text, "Sub");
    EXPECT_EQ(agent_.Items()[1].Link, "");
    EXPECT_EQ(agent_.Items()[1].Target, "");
    EXPECT_EQ(agent_.Items()[1].Level, "1");
}

TEST_F(ExchangeFile, OtherGeneratorsAndVersionsAreAccepted) {
    ASSERT_NO_THROW(Import(ExchangeText({"0#$@A#$@#$@#$@#$@"}, Header("Some Other Menu Maker 7"))));
    EXPECT_EQ(TreeShape(agent_), "A");
    auto header = Header();
    header[4] = "9.9";
    header[10] = "2.0";
    ASSERT_NO_THROW(Import(ExchangeText({"0#$@B#$@#$@#$@#$@"}, header)));
    EXPECT_EQ(TreeShape(agent_), "B");
}

TEST_F(ExchangeFile, MissingClosingTagsAndExtraLinesAreTolerated) {
    ASSERT_NO_THROW(Import(CrLfText({"junk", "<Product_Name>", "General Menu Structure Description Format",
                               "<Product_Version>", "1.0", "<Structure_Description>", "0#$@A#$@#$@#$@#$@",
                               "</Structure_Description>", "trailing"})));
    EXPECT_EQ(TreeShape(agent_), "A");
}

TEST_F(ExchangeFile, OddLevelsAreReattachedAndCounted) {
    ASSERT_NO_THROW(Import(ExchangeText({"2#$@A#$@#$@#$@#$@", "5#$@A1#$@#$@#$@#$@", "0#$@B#$@#$@#$@#$@",
                                   "-3#$@C#$@#$@#$@#$@"})));
    EXPECT_EQ(report_.reattachedItems, 3);
    EXPECT_EQ(TreeShape(agent_), "A(A1); B; C");
}

class RefusedExchange : public ExchangeFile {
protected:
    void SetUp() override {
        MakeDocument(agent_, kSampleMenu, Fields::Every);
        before_ = Snapshot(agent_);
    }
    DocumentSnapshot before_;
};

TEST_F(RefusedExchange, ProjectFileIsRefusedWithTheFormatMessage) {
    const std::string project =
        CrLfText({"<Warning_Info>", "Note: This file was created and maintained by Quillamere 1.0.",
                  "Do not modify it or script project may not be opened again!", "</Warning_Info>",
                  "<Product_Name>", "Quillamere", "</Product_Name>", "<Product_Version>", "1.0",
                  "</Product_Version>", "<Applet_Parameters>", "#$@", "</Applet_Parameters>", "<Item_Parameters>",
                  "</Item_Parameters>"});
    EXPECT_QM_ERROR(Import(project), Shown() + ", line 6: This file wasn't saved by specified format, open failed!");
    EXPECT_EQ(Snapshot(agent_), before_);
}

TEST_F(RefusedExchange, FormatNameMustMatchExactly) {
    EXPECT_QM_ERROR(Import(ExchangeText({}, Header("Quillamere", "General Menu Structure Description Format "))),
                    Shown() + ", line 8: This file wasn't saved by specified format, open failed!");
    EXPECT_QM_ERROR(Import(ExchangeText({}, Header("Quillamere", "general menu structure description format"))),
                    Shown() + ", line 8: This file wasn't saved by specified format, open failed!");
    EXPECT_EQ(Snapshot(agent_), before_);
}

TEST_F(RefusedExchange, EmptyFile) {
    EXPECT_QM_ERROR(Import(""), Shown() + ": the file is empty");
    EXPECT_EQ(Snapshot(agent_), before_);
}

TEST_F(RefusedExchange, FileEndsBeforeTheStructure) {
    EXPECT_QM_ERROR(Import(CrLfText(Header())),
                    Shown() + ", line 12: the file ends before \"<Structure_Description>\"");
    EXPECT_EQ(Snapshot(agent_), before_);
}

TEST_F(RefusedExchange, FileEndsInsideTheStructure) {
    auto text = ExchangeText({"0#$@A#$@#$@#$@#$@", "1#$@A1#$@#$@#$@#$@"});
    text.resize(text.size() - std::string("</Structure_Description>\r\n").size());
    EXPECT_QM_ERROR(Import(text), Shown() + ", line 15: the file ends before \"</Structure_Description>\"");
    EXPECT_EQ(Snapshot(agent_), before_);
}

TEST_F(RefusedExchange, LevelThatIsNoWholeNumber) {
    EXPECT_QM_ERROR(Import(ExchangeText({"0#$@A#$@#$@#$@#$@", "one#$@A1#$@#$@#$@#$@"})),
                    Shown() + ", line 15: level 'one' is not a whole number");
    EXPECT_QM_ERROR(Import(ExchangeText({"0#$@A#$@#$@#$@#$@", ""})),
                    Shown() + ", line 15: level '' is not a whole number");
    EXPECT_EQ(Snapshot(agent_), before_);
}

TEST_F(ExchangeFile, ExportThenImportKeepsTheCarriedFieldsAndTheTree) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    const auto original = agent_.Items();
    const auto shape = TreeShape(agent_);
    const auto path = folder_ / "trip.gms";
    agent_.ExportMenuStructure(path);
    TkvxAppletAgent imported;
    imported.ImportMenuStructure(path);
    EXPECT_EQ(imported.AppletData(), DefaultAppletData());
    EXPECT_EQ(TreeShape(imported), shape);
    ASSERT_EQ(imported.ItemCount(), static_cast<int>(original.size()));
    for (std::size_t i = 0; i < original.size(); ++i) {
        TItemData expected;
        expected.Level = original[i].Level;
        expected.Text = original[i].Text;
        expected.Link = original[i].Link;
        expected.Target = original[i].Target;
        expected.Reserved5 = original[i].Reserved5;
        EXPECT_EQ(imported.Items()[i], expected) << "item " << i;
    }
}

TEST_F(ExchangeFile, ImportShowsItsStatusAndRestoresIt) {
    RecordingProgress progress;
    agent_.SetProgressDisplay(&progress);
    ASSERT_NO_THROW(Import(ExchangeText({})));
    EXPECT_EQ(progress.statusTexts, (std::vector<std::string>{"Loading Data ... ...", ""}));
    EXPECT_FALSE(progress.busy_);
    agent_.SetProgressDisplay(nullptr);
}

}  // namespace
}  // namespace qm::test
