// The project file (.zorbel): its bytes, the reader's tolerance and refusals, levels
// that do not fit the tree, the progress it shows, and save/load round trips.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "model/DocumentFiles.h"
#include "model/Error.h"
#include "model/FieldLine.h"
#include "model/LookValues.h"
#include "support/ErrorCheck.h"
#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"
#include "model/TkvxAppletAgent.h"

namespace qm::test {
namespace {

std::vector<std::string> Header() {
    return {"<Warning_Info>",
            "Note: This file was created and maintained by Quillamere 1.0.",
            "Do not modify it or script project may not be opened again!",
            "</Warning_Info>",
            "<Product_Name>",
            "Quillamere",
            "</Product_Name>",
            "<Product_Version>",
            "1.0",
            "</Product_Version>"};
}

// A whole project file from its parameter line and item lines.
std::string ProjectText(const std::string& parameters, const std::vector<std::string>& items) {
    auto lines = Header();
    lines.push_back("<Applet_Parameters>");
    lines.push_back(parameters);
    lines.push_back("</Applet_Parameters>");
    lines.push_back("<Item_Parameters>");
    lines.insert(lines.end(), items.begin(), items.end());
    lines.push_back("</Item_Parameters>");
    return CrLfText(lines);
}

class ProjectFile : public ::testing::Test {
protected:
    // Loads the text as a file.
    void Load(const std::string& bytes) {
        WriteBytes(path_, bytes);
        report_ = agent_.LoadProject(path_);
    }
    std::string Saved() {
        const auto path = folder_ / "saved.zorbel";
        agent_.SaveProject(path);
        return ReadBytes(path);
    }
    std::string Shown() const { return DisplayPath(path_); }

    TempFolder folder_;
    fs::path path_ = folder_ / "menu.zorbel";
    TkvxAppletAgent agent_;
    LoadReport report_;
};

// --- Writing ----------------------------------------------------------------------------

TEST_F(ProjectFile, EmptyDocumentIsFifteenLines) {
    agent_.ResetToDefaults();
    const auto bytes = Saved();
    auto expected = Header();
    expected.insert(expected.end(),
                    {"<Applet_Parameters>", kDefaultParameterLine, "</Applet_Parameters>", "<Item_Parameters>",
                     "</Item_Parameters>"});
    EXPECT_EQ(bytes, CrLfText(expected));
    EXPECT_EQ(CrLfLines(bytes).size(), 15u);
}

TEST_F(ProjectFile, ItemLineHoldsTheTenFieldsInRecordOrder) {
    agent_.ResetToDefaults();
    TItemData home = TkvxAppletAgent::NewItemData();
    home.Text = "Home";
    home.Link = "index.html";
    home.Level = "0";
    home.ParentIndex = "-1";
    agent_.InsertItem(0, home);
    agent_.InsertItem(1, MakeItem(kSampleMenu[2], Fields::Every));
    const auto lines = CrLfLines(Saved());
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[11], kDefaultParameterLine);
    EXPECT_EQ(lines[14], "Home#$@#$@index.html#$@_self#$@#$@#$@0#$@#$@#$@-1#$@");
    EXPECT_EQ(lines[15], "Prices#$@r1-Prices#$@Prices.html#$@_blank#$@r4-Prices#$@r5-Prices#$@1#$@r7-Prices#$@"
                         "r8-Prices#$@p-Prices#$@");
    EXPECT_EQ(lines[16], "</Item_Parameters>");
}

TEST_F(ProjectFile, WritesUtf8WithoutByteOrderMark) {
    agent_.ResetToDefaults();
    agent_.InsertItem(0, TkvxAppletAgent::NewItemData());
    auto item = agent_.GetItemData(0);
    item.Text = "Caf\xC3\xA9";
    item.Level = "0";
    agent_.SetItemData(item, 0);
    const auto bytes = Saved();
    EXPECT_EQ(bytes.substr(0, 16), "<Warning_Info>\r\n");
    EXPECT_NE(bytes.find("\r\nCaf\xC3\xA9#$@"), std::string::npos);
}

TEST_F(ProjectFile, SavingDrivesTheProgressToItsMaximumAndRestoresIt) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    RecordingProgress progress;
    agent_.SetProgressDisplay(&progress);
    Saved();
    EXPECT_EQ(progress.maximum_, 5 * 10 + 15);
    EXPECT_EQ(progress.peak_, 5 * 10 + 15);
    EXPECT_EQ(progress.position_, 0);
    EXPECT_FALSE(progress.busy_);
    EXPECT_EQ(progress.statusTexts, (std::vector<std::string>{"Saving Data ... ...", ""}));
    agent_.SetProgressDisplay(nullptr);
}

TEST_F(ProjectFile, EmptyDocumentHasProgressMaximumFifteen) {
    agent_.ResetToDefaults();
    RecordingProgress progress;
    agent_.SetProgressDisplay(&progress);
    Saved();
    EXPECT_EQ(progress.maximum_, 15);
    EXPECT_EQ(progress.peak_, 15);
    agent_.SetProgressDisplay(nullptr);
}

TEST_F(ProjectFile, FailedSaveStillRestoresTheProgress) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    RecordingProgress progress;
    agent_.SetProgressDisplay(&progress);
    WriteBytes(folder_ / "plain", "x");
    EXPECT_QM_ERROR(agent_.SaveProject(folder_ / "plain" / "menu.zorbel"),
                    DisplayPath(folder_ / "plain" / "menu.zorbel") + ": cannot write the file: Not a directory");
    EXPECT_EQ(progress.position_, 0);
    EXPECT_FALSE(progress.busy_);
    EXPECT_EQ(progress.statusTexts.back(), "");
    agent_.SetProgressDisplay(nullptr);
}

// --- Fields -----------------------------------------------------------------------------

TEST(DelimitedField, ExamplesOfTheFieldRule) {
    EXPECT_EQ(GetDelimitedField("a#$@b#$@c", 2, "#$@"), "b");
    EXPECT_EQ(GetDelimitedField("a#$@b#$@c", 3, "#$@"), "");  // "c" has no separator after it
    EXPECT_EQ(GetDelimitedField("a#$@b#$@c", 1, "#$@"), "a");
    EXPECT_EQ(GetDelimitedField("#$@x#$@", 1, "#$@"), "");
    EXPECT_EQ(GetDelimitedField("#$@x#$@", 2, "#$@"), "x");
    EXPECT_EQ(GetDelimitedField("#$@x#$@", 0, "#$@"), "");
    EXPECT_EQ(GetDelimitedField("#$@x#$@", -1, "#$@"), "");
    EXPECT_EQ(GetDelimitedField("#$@x#$@", 3, "#$@"), "");
    EXPECT_EQ(GetDelimitedField("a#$b#$@", 1, "#$@"), "a#$b");
    EXPECT_EQ(GetDelimitedField("", 1, "#$@"), "");
}

TEST(DelimitedField, SplittingOnceGivesWhatEachFieldCallGives) {
    std::mt19937 random(99);
    const std::vector<std::string> pieces = {"#$@", "#$", "$@", "#", "@", "a", "bc", "", "\xC3\xA9", " "};
    for (int trial = 0; trial < 2000; ++trial) {
        std::string line;
        const int count = std::uniform_int_distribution<int>(0, 14)(random);
        for (int i = 0; i < count; ++i) line += pieces[random() % pieces.size()];
        const std::size_t fields = std::uniform_int_distribution<std::size_t>(0, 12)(random);
        const auto split = SplitFieldLine(line, fields);
        ASSERT_EQ(split.size(), fields);
        for (std::size_t n = 1; n <= fields; ++n)
            ASSERT_EQ(split[n - 1], GetDelimitedField(line, static_cast<int>(n), "#$@")) << "line '" << line
                                                                                         << "', field " << n;
    }
}

// --- The reader's tolerance ---------------------------------------------------------------

TEST_F(ProjectFile, CorvantisFilesLoadLikeOurOwn) {
    auto text = ProjectText(kDefaultParameterLine, {"A#$@#$@a.html#$@_self#$@#$@#$@0#$@#$@#$@-1#$@"});
    text.replace(text.find("Quillamere\r\n</Product_Name>"), 10, "Corvantis");
    ASSERT_NO_THROW(Load(text));
    EXPECT_EQ(agent_.AppletData(), DefaultAppletData());
    EXPECT_EQ(TreeShape(agent_), "A");
}

TEST_F(ProjectFile, ProductWithATrailingBlankIsRefused) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    const auto before = Snapshot(agent_);
    auto text = ProjectText(kDefaultParameterLine, {});
    text.replace(text.find("Quillamere\r\n</Product_Name>"), 10, "Quillamere ");
    EXPECT_QM_ERROR(Load(text), Shown() + ", line 6: This file wasn't saved by Quillamere 1.0, open failed!");
    EXPECT_EQ(Snapshot(agent_), before);
}

TEST_F(ProjectFile, ExchangeFileIsRefusedAsAProject) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    const auto before = Snapshot(agent_);
    const auto text = CrLfText({"<Generator_Name>", "Quillamere", "</Generator_Name>", "<Generator_Version>",
                                "1.0", "</Generator_Version>", "<Product_Name>",
                                "General Menu Structure Description Format", "</Product_Name>",
                                "<Product_Version>", "1.0", "</Product_Version>", "<Structure_Description>",
                                "</Structure_Description>"});
    EXPECT_QM_ERROR(Load(text), Shown() + ", line 8: This file wasn't saved by Quillamere 1.0, open failed!");
    EXPECT_EQ(Snapshot(agent_), before);
}

TEST_F(ProjectFile, ParameterLineOfTwentyFieldsLeavesTheLastThreeEmpty) {
    const std::string twenty = "1#$@2#$@f#$@4#$@AAAAAA#$@BBBBBB#$@CCCCCC#$@8#$@g#$@10#$@DDDDDD#$@EEEEEE#$@13#$@"
                               "14#$@a.mp3#$@b.mp3#$@c.mp3#$@18#$@19#$@20#$@";
    ASSERT_NO_THROW(Load(ProjectText(twenty, {})));
    const auto strings = AppletDataToStrings(agent_.AppletData());
    EXPECT_EQ(strings[19], "20");
    EXPECT_EQ(strings[20], "");
    EXPECT_EQ(strings[21], "");
    EXPECT_EQ(strings[22], "");
    EXPECT_EQ(agent_.AppletData().itemActiveSound, "c.mp3");
}

TEST_F(ProjectFile, ExtraFieldsAndTextAfterTheLastSeparatorAreIgnored) {
    ASSERT_NO_THROW(Load(ProjectText(kDefaultParameterLine + "extra#$@more",
                               {"A#$@#$@a.html#$@_self#$@#$@#$@0#$@#$@#$@-1#$@x#$@y",
                                "B#$@#$@b.html#$@_top#$@#$@#$@0#$@#$@#$@-1"})));
    EXPECT_EQ(agent_.AppletData(), DefaultAppletData());
    ASSERT_EQ(agent_.ItemCount(), 2);
    EXPECT_EQ(agent_.Items()[0].ParentIndex, "-1");
    EXPECT_EQ(agent_.Items()[1].ParentIndex, "");  // "-1" has no separator after it
    EXPECT_EQ(agent_.Items()[1].Target, "_top");
}

TEST_F(ProjectFile, ShortItemLinesLeaveTheMissingFieldsEmpty) {
    ASSERT_NO_THROW(Load(ProjectText(kDefaultParameterLine, {"A#$@#$@a.html#$@_top#$@#$@#$@0#$@"})));
    TItemData expected;
    expected.Text = "A";
    expected.Link = "a.html";
    expected.Target = "_top";
    expected.Level = "0";
    EXPECT_EQ(agent_.Items(), TItemArray{expected});
}

TEST_F(ProjectFile, MissingOrAlteredClosingTagsAndExtraLinesAreTolerated) {
    const std::string text = CrLfText({"junk before", "<Warning_Info>", "<Product_Name>", "Quillamere",
                                       "<Product_Version>", "2.7", "<Applet_Parameters>", kDefaultParameterLine,
                                       "<Item_Parameters>", "A#$@#$@#$@_self#$@#$@#$@0#$@#$@#$@#$@",
                                       "A1#$@#$@#$@_self#$@#$@#$@1#$@#$@#$@#$@", "</Item_Parameters>",
                                       "anything after"});
    ASSERT_NO_THROW(Load(text));
    EXPECT_EQ(agent_.AppletData(), DefaultAppletData());
    EXPECT_EQ(TreeShape(agent_), "A(A1)");

    const std::string altered =
        CrLfText({"<Product_Name>", "Corvantis", "</Product_Nam>", "noise", "<Product_Version>", "1.0",
                  "</product_version>", "noise", "<Applet_Parameters>", kDefaultParameterLine, "</Applet>",
                  "noise", "<Item_Parameters>", "B#$@#$@#$@_self#$@#$@#$@0#$@#$@#$@#$@", "</Item_Parameters>"});
    ASSERT_NO_THROW(Load(altered));
    EXPECT_EQ(TreeShape(agent_), "B");
}

TEST_F(ProjectFile, ParameterLineThatIsATagIsStillTheParameterLine) {
    // The line after <Applet_Parameters> is the parameter line whatever it holds; a tag
    // there holds no look value the window could show.
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    const auto before = Snapshot(agent_);
    EXPECT_QM_ERROR(Load(CrLfText({"<Product_Name>", "Quillamere", "<Product_Version>", "1.0", "<Applet_Parameters>",
                             "<Item_Parameters>", "A#$@#$@#$@#$@#$@#$@0#$@#$@#$@#$@", "</Item_Parameters>"})),
                    Shown() + ", line 6: main item extra width '' is not a whole number");
    EXPECT_EQ(Snapshot(agent_), before);
}

TEST_F(ProjectFile, TagsWithBlanksAreNotTags) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    const auto before = Snapshot(agent_);
    EXPECT_QM_ERROR(Load(CrLfText({" <Product_Name>", "Quillamere", "<Product_Name> "})),
                    Shown() + ", line 3: the file ends before \"<Product_Name>\"");
    EXPECT_EQ(Snapshot(agent_), before);
}

// --- Refused files leave the document as it was ----------------------------------------------

class RefusedProject : public ProjectFile {
protected:
    void SetUp() override {
        MakeDocument(agent_, kSampleMenu, Fields::Every);
        agent_.PreviewCopiedFiles() = {"hover.mp3"};
        before_ = Snapshot(agent_);
        shapeBefore_ = TreeShape(agent_);
    }
    void ExpectUnchanged() {
        EXPECT_EQ(Snapshot(agent_), before_);
        EXPECT_EQ(TreeShape(agent_), shapeBefore_);
    }
    DocumentSnapshot before_;
    std::string shapeBefore_;
};

TEST_F(RefusedProject, EmptyFile) {
    EXPECT_QM_ERROR(Load(""), Shown() + ": the file is empty");
    ExpectUnchanged();
}

TEST_F(RefusedProject, FileOfNothingButCtrlZ) {
    EXPECT_QM_ERROR(Load("\x1A<Product_Name>\r\n"), Shown() + ": the file is empty");
    ExpectUnchanged();
}

TEST_F(RefusedProject, MissingFile) {
    path_ = folder_ / "absent.zorbel";
    EXPECT_QM_ERROR(agent_.LoadProject(path_), Shown() + ": cannot open the file: No such file or directory");
    ExpectUnchanged();
}

TEST_F(RefusedProject, FolderInsteadOfAFile) {
    path_ = folder_ / "folder.zorbel";
    fs::create_directory(path_);
    EXPECT_QM_ERROR(agent_.LoadProject(path_), Shown() + ": cannot read the file: Is a directory");
    ExpectUnchanged();
}

// A device would be read until memory ran out and a pipe would block for ever: only
// regular files up to the limit are read, and nothing of them before they pass.
TEST_F(RefusedProject, AnythingButARegularFileOfAtMostTheLimit) {
    const auto pipe = folder_ / "pipe.zorbel";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto large = folder_ / "large.zorbel";
    WriteBytes(large, "");
    fs::resize_file(large, kMaximumFileSize + 1);  // sparse: takes no room on the disk
    for (const auto& [path, reason] : {std::pair{pipe, "it is not a regular file"},
                                       std::pair{fs::path("/dev/zero"), "it is not a regular file"},
                                       std::pair{large, "it is larger than 1 GiB"}}) {
        SCOPED_TRACE(path);
        const fs::path file = path;  // a structured binding cannot be captured by clang 14
        EXPECT_QM_ERROR(agent_.LoadProject(file), DisplayPath(file) + ": cannot read the file: " + reason);
        ExpectUnchanged();
    }
}

TEST_F(RefusedProject, FileWithoutAnyTag) {
    EXPECT_QM_ERROR(Load("just some text\r\nand more\r\n"),
                    Shown() + ", line 2: the file ends before \"<Product_Name>\"");
    ExpectUnchanged();
}

TEST_F(RefusedProject, FileEndsAfterTheProductTag) {
    EXPECT_QM_ERROR(Load(CrLfText({"<Warning_Info>", "<Product_Name>"})),
                    Shown() + ", line 2: the file ends before the product name");
    ExpectUnchanged();
}

TEST_F(RefusedProject, FileEndsBeforeTheParameters) {
    const auto lines = CrLfLines(ProjectText(kDefaultParameterLine, {}));
    EXPECT_QM_ERROR(Load(CrLfText({lines.begin(), lines.begin() + 10})),
                    Shown() + ", line 10: the file ends before \"<Applet_Parameters>\"");
    ExpectUnchanged();
    EXPECT_QM_ERROR(Load(CrLfText({lines.begin(), lines.begin() + 11})),
                    Shown() + ", line 11: the file ends before the parameter line");
    ExpectUnchanged();
    EXPECT_QM_ERROR(Load(CrLfText({lines.begin(), lines.begin() + 13})),
                    Shown() + ", line 13: the file ends before \"<Item_Parameters>\"");
    ExpectUnchanged();
}

TEST_F(RefusedProject, FileEndsInsideTheItems) {
    auto text = ProjectText(kDefaultParameterLine, {"A#$@#$@#$@_self#$@#$@#$@0#$@#$@#$@-1#$@",
                                                    "B#$@#$@#$@_self#$@#$@#$@0#$@#$@#$@-1#$@"});
    text.resize(text.size() - std::string("</Item_Parameters>\r\n").size());
    EXPECT_QM_ERROR(Load(text), Shown() + ", line 16: the file ends before \"</Item_Parameters>\"");
    ExpectUnchanged();
}

TEST_F(RefusedProject, LevelThatIsNoWholeNumber) {
    EXPECT_QM_ERROR(Load(ProjectText(kDefaultParameterLine, {"A#$@#$@#$@_self#$@#$@#$@0#$@#$@#$@-1#$@",
                                                       "B#$@#$@#$@_self#$@#$@#$@1#$@#$@#$@0#$@",
                                                       "C#$@#$@#$@_self#$@#$@#$@x#$@#$@#$@-1#$@"})),
                    Shown() + ", line 17: level 'x' is not a whole number");
    ExpectUnchanged();
}

TEST_F(RefusedProject, EmptyLineAmongTheItems) {
    EXPECT_QM_ERROR(Load(ProjectText(kDefaultParameterLine, {"A#$@#$@#$@_self#$@#$@#$@0#$@#$@#$@-1#$@", ""})),
                    Shown() + ", line 16: level '' is not a whole number");
    ExpectUnchanged();
}

TEST_F(RefusedProject, LevelWithBlanksOrFractions) {
    for (const std::string level : {" 1", "1 ", "1.0", "0x1", "--1", "99999999999999999999"}) {
        SCOPED_TRACE(level);
        EXPECT_QM_ERROR(Load(ProjectText(kDefaultParameterLine, {"A#$@#$@#$@_self#$@#$@#$@" + level + "#$@#$@#$@#$@"})),
                        Shown() + ", line 15: level '" + level + "' is not a whole number");
        ExpectUnchanged();
    }
}

TEST_F(RefusedProject, ProgressIsRestoredAfterARefusal) {
    RecordingProgress progress;
    agent_.SetProgressDisplay(&progress);
    EXPECT_QM_ERROR(Load(ProjectText(kDefaultParameterLine, {"A#$@#$@#$@#$@#$@#$@y#$@"})),
                    Shown() + ", line 15: level 'y' is not a whole number");
    EXPECT_FALSE(progress.busy_);
    EXPECT_EQ(progress.position_, 0);
    ASSERT_FALSE(progress.statusTexts.empty());
    EXPECT_EQ(progress.statusTexts.back(), "");
    agent_.SetProgressDisplay(nullptr);
    ExpectUnchanged();
}

// --- Levels that do not fit the tree --------------------------------------------------------

TEST_F(ProjectFile, OddLevelsAreReattachedAndCounted) {
    ASSERT_NO_THROW(Load(ProjectText(kDefaultParameterLine, {"A#$@#$@#$@#$@#$@#$@1#$@#$@#$@#$@",
                                                       "A1#$@#$@#$@#$@#$@#$@3#$@#$@#$@#$@",
                                                       "A2#$@#$@#$@#$@#$@#$@2#$@#$@#$@#$@",
                                                       "B#$@#$@#$@#$@#$@#$@-1#$@#$@#$@#$@",
                                                       "B1#$@#$@#$@#$@#$@#$@1#$@#$@#$@#$@",
                                                       "C#$@#$@#$@#$@#$@#$@0#$@#$@#$@#$@"})));
    EXPECT_EQ(report_.reattachedItems, 4);
    EXPECT_EQ(report_.Warnings(),
              std::vector<std::string>{"4 items had levels that do not fit the tree and were re-attached"});
    EXPECT_EQ(TreeShape(agent_), "A(A1, A2); B(B1); C");
    std::vector<std::string> levels;
    for (const auto& item : agent_.Items()) levels.push_back(item.Level);
    EXPECT_EQ(levels, (std::vector<std::string>{"0", "1", "1", "0", "1", "0"}));
}

TEST_F(ProjectFile, OneReattachedItemIsReportedInTheSingular) {
    ASSERT_NO_THROW(Load(ProjectText(kDefaultParameterLine, {"A#$@#$@#$@#$@#$@#$@1#$@#$@#$@#$@"})));
    EXPECT_EQ(report_.Warnings(),
              std::vector<std::string>{"1 item had a level that does not fit the tree and was re-attached"});
}

TEST_F(ProjectFile, SoundLevelsGiveNoWarning) {
    ASSERT_NO_THROW(Load(ProjectText(kDefaultParameterLine, {"A#$@#$@#$@#$@#$@#$@0#$@#$@#$@#$@",
                                                       "A1#$@#$@#$@#$@#$@#$@1#$@#$@#$@#$@"})));
    EXPECT_EQ(report_.reattachedItems, 0);
    EXPECT_TRUE(report_.Warnings().empty());
}

// --- Line ends ----------------------------------------------------------------------------

// A file whose line ends were converted for another system (CR alone) or converted twice
// (CR CR LF) loads as the file it came from.
TEST_F(ProjectFile, CrOnlyAndCrCrLfLineEndsLoadLikeCrLf) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    const auto original = Saved();
    for (const std::string lineEnd : {"\r", "\r\r\n", "\n"}) {
        SCOPED_TRACE(testing::PrintToString(lineEnd));
        std::string converted;
        for (const auto& line : CrLfLines(original)) converted += line + lineEnd;
        TkvxAppletAgent reference;
        reference.LoadProject(folder_ / "saved.zorbel");
        ASSERT_NO_THROW(Load(converted));
        EXPECT_EQ(Snapshot(agent_), Snapshot(reference));
        EXPECT_EQ(Saved(), original);
    }
}

// --- Round trips --------------------------------------------------------------------------

std::string RandomText(std::mt19937& random) {
    static const std::vector<std::string> pieces = {"a", "Z", " ", "#", "$", "@", "#$", "<", ">", "&", "\"",
                                                    "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x8E\xB5", "\t", "0",
                                                    "-1", "http://x/y?z=1", "_blank"};
    std::string text;
    const int count = std::uniform_int_distribution<int>(0, 6)(random);
    for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
    // Never the separator itself, and never a whole tag line.
    while (text.find("#$@") != std::string::npos) text.erase(text.find("#$@"), 3);
    return text;
}

// Any text where the field holds text; a whole number or up to six hexadecimal digits,
// in either case and perhaps out of range, where the window converts the value.
std::string RandomLookValue(std::size_t field, std::mt19937& random) {
    switch (LookFieldAt(field).kind) {
    case LookValueKind::Integer: return std::to_string(static_cast<int>(random() % 40000) - 20000);
    case LookValueKind::Colour: {
        static const std::string digits = "0123456789abcdefABCDEF";
        std::string colour(random() % 7, '0');
        for (auto& digit : colour) digit = digits[random() % digits.size()];
        return colour;
    }
    case LookValueKind::Text:
    case LookValueKind::Flag: break;
    }
    return RandomText(random);
}

TEST_F(ProjectFile, SaveThenLoadReproducesEveryFieldAndTheTree) {
    std::mt19937 random(1234);
    for (int trial = 0; trial < 40; ++trial) {
        TAppletData look;
        for (std::size_t i = 0; i < TAppletData::kFieldCount; ++i) look.Field(i) = RandomLookValue(i, random);
        TItemArray items;
        const int count = trial;
        for (int i = 0; i < count; ++i) {
            TItemData item;
            for (std::size_t f = 0; f < TItemData::kFieldCount; ++f) item.Field(f) = RandomText(random);
            item.Level = (i > 0 && random() % 2) ? "1" : "0";
            items.push_back(item);
        }
        TkvxAppletAgent source;
        source.ReplaceDocument(look, items);
        const auto path = folder_ / "trip.zorbel";
        source.SaveProject(path);
        TkvxAppletAgent loaded;
        loaded.LoadProject(path);
        ASSERT_EQ(loaded.AppletData(), look) << "trial " << trial;
        ASSERT_EQ(loaded.Items(), items) << "trial " << trial;
        ASSERT_EQ(TreeShape(loaded), TreeShape(source));
        loaded.SaveProject(folder_ / "again.zorbel");
        ASSERT_EQ(ReadBytes(folder_ / "again.zorbel"), ReadBytes(path));
    }
}

// A loaded project keeps the file's text as its storage and copies a field out only when
// it is edited. Whatever is done to it, it must act as the same document made in memory:
// the same records, the same tree, the same saved bytes.
TEST_F(ProjectFile, LoadedDocumentActsAsTheSameDocumentMadeInMemory) {
    std::mt19937 random(99);
    for (int trial = 0; trial < 30; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        // The reader refuses look values it cannot convert, so the look stays valid;
        // the items carry the random texts.
        const TAppletData look = DefaultAppletData();
        TItemArray items;
        for (int i = 0; i < 12; ++i) {
            TItemData item;
            for (std::size_t f = 0; f < TItemData::kFieldCount; ++f) item.Field(f) = RandomText(random);
            item.Level = (i > 0 && random() % 2) ? "1" : "0";
            items.push_back(item);
        }
        TkvxAppletAgent made;
        made.ReplaceDocument(look, items);
        made.SaveProject(path_);
        agent_.LoadProject(path_);
        for (int step = 0; step < 25; ++step) {
            const int node = std::uniform_int_distribution<int>(0, std::max(0, made.ItemCount() - 1))(random);
            const auto field = static_cast<ItemField>(random() % TItemData::kFieldCount);
            const auto text = RandomText(random);
            const int parent = random() % 2 ? kRootNode : node;
            for (auto* agent : {&made, &agent_}) {
                switch (step % 7) {
                case 0: {
                    auto item = agent->GetItemData(node);
                    item.Field(FieldIndex(field)) = text;
                    agent->SetItemData(item, node);
                    break;
                }
                case 1: agent->SetItemData(agent->GetItemData(node), node); break;  // written back unchanged
                case 2: agent->SetItemField(node, field, text); break;
                case 3: agent->InsertNewChild(parent); break;
                case 4: agent->MoveNodeUp(node); break;
                case 5: agent->RefreshLevelsAndParents(); break;
                default: agent->DeleteNode(node); break;
                }
            }
            ASSERT_EQ(agent_.Items(), made.Items()) << "step " << step;
            ASSERT_EQ(TreeShape(agent_), TreeShape(made));
            made.SaveProject(folder_ / "made.zorbel");
            ASSERT_EQ(Saved(), ReadBytes(folder_ / "made.zorbel"));
        }
    }
}

// An unchanged project is saved as the bytes it was read from only where those are what
// saving writes; a file in any other form of the same document is written out afresh.
TEST_F(ProjectFile, UnchangedProjectIsSavedInTheWrittenFormWhateverFormItWasReadIn) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    const auto written = Saved();
    const auto firstItem = written.find("Home#$@");
    const auto lineEnd = written.find("\r\n", firstItem);
    auto extraField = written;
    extraField.insert(lineEnd, "x#$@");
    auto textAfterTheFields = written;
    textAfterTheFields.insert(lineEnd, "tail");
    auto corvantis = written;
    corvantis.replace(corvantis.find("\r\nQuillamere\r\n"), 14, "\r\nCorvantis\r\n");
    std::string lfOnly;
    for (const auto& line : CrLfLines(written)) lfOnly += line + "\n";
    for (const auto& [form, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"as written", written},
             {"LF line ends", lfOnly},
             {"byte-order mark", "\xEF\xBB\xBF" + written},
             {"Ctrl+Z and more", written + "\x1A" + "junk"},
             {"a line before", "note\r\n" + written},
             {"a line after", written + "note\r\n"},
             {"an extra field", extraField},
             {"text after the fields", textAfterTheFields},
             {"the sibling product", corvantis}}) {
        SCOPED_TRACE(form);
        ASSERT_NO_THROW(Load(bytes));
        EXPECT_EQ(Saved(), written);
    }
}

TEST_F(ProjectFile, SampleDocumentRoundTripKeepsReservedFields) {
    MakeDocument(agent_, kSampleMenu, Fields::Every);
    const auto path = folder_ / "sample.zorbel";
    agent_.SaveProject(path);
    TkvxAppletAgent loaded;
    const auto report = loaded.LoadProject(path);
    EXPECT_EQ(report.reattachedItems, 0);
    EXPECT_EQ(loaded.AppletData(), agent_.AppletData());
    EXPECT_EQ(loaded.Items(), agent_.Items());
    EXPECT_EQ(loaded.Items()[3].Reserved8, "r8-Stock");
    EXPECT_EQ(TreeShape(loaded), "Home; Products(Prices, Stock); Contact");
}

TEST_F(ProjectFile, LoadingShowsItsStatusAndRestoresIt) {
    RecordingProgress progress;
    agent_.SetProgressDisplay(&progress);
    ASSERT_NO_THROW(Load(ProjectText(kDefaultParameterLine, {})));
    EXPECT_EQ(progress.statusTexts, (std::vector<std::string>{"Loading Data ... ...", ""}));
    EXPECT_FALSE(progress.busy_);
    agent_.SetProgressDisplay(nullptr);
}

}  // namespace
}  // namespace qm::test
