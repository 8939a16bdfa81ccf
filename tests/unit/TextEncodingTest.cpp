// Reading text files: UTF-8, with only the bytes that are not UTF-8 read as
// Windows-1252; byte-order mark, LF-only, CR-only and CR CR LF line ends and Ctrl+Z; and
// that what is written is UTF-8 with CR LF.

#include <gtest/gtest.h>

#include <random>

#include "model/Error.h"
#include "support/ErrorCheck.h"
#include "support/TestSupport.h"
#include "model/TextFile.h"
#include "model/TkvxAppletAgent.h"

namespace qm::test {
namespace {

std::vector<std::string> Lines(const TextFile& file) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < file.LineCount(); ++i) lines.emplace_back(file.Line(i));
    return lines;
}

const std::string kProjectCafe =
    "<Product_Name>\r\nQuillamere\r\n<Product_Version>\r\n1.0\r\n<Applet_Parameters>\r\n" +
    kDefaultParameterLine + "\r\n<Item_Parameters>\r\nCaf\xE9#$@#$@#$@#$@#$@#$@0#$@#$@#$@#$@\r\n</Item_Parameters>\r\n";

TEST(TextEncoding, Utf8IsReadAsItIs) {
    const auto file = TextFile::FromBytes("Caf\xC3\xA9\r\n\xE2\x82\xAC 5\r\n");
    EXPECT_EQ(Lines(file), (std::vector<std::string>{"Caf\xC3\xA9", "\xE2\x82\xAC 5"}));
    EXPECT_FALSE(file.WasWindows1252());
}

TEST(TextEncoding, ByteOrderMarkIsSkipped) {
    const auto file = TextFile::FromBytes("\xEF\xBB\xBF<Product_Name>\r\nx\r\n");
    EXPECT_EQ(Lines(file), (std::vector<std::string>{"<Product_Name>", "x"}));
    EXPECT_FALSE(file.WasWindows1252());
}

TEST(TextEncoding, OtherBytesAreWindows1252) {
    const auto file = TextFile::FromBytes("Caf\xE9\r\n\x80 \x93quoted\x94 \x81\r\n");
    EXPECT_EQ(Lines(file), (std::vector<std::string>{"Caf\xC3\xA9", "\xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D \xC2\x81"}));
    EXPECT_EQ(file.Windows1252(), (Windows1252Bytes{5, 1, 2}));
}

TEST(TextEncoding, OnlyTheBytesThatAreNotUtf8AreWindows1252) {
    // A valid "é" on line 2 stays one "é"; the lone E9 on line 3 is the Windows-1252 "é".
    const auto file = TextFile::FromBytes("plain\r\n\xC3\xA9\r\n\xE9 \xC3\xA9\r\n");
    EXPECT_EQ(Lines(file), (std::vector<std::string>{"plain", "\xC3\xA9", "\xC3\xA9 \xC3\xA9"}));
    EXPECT_EQ(file.Windows1252(), (Windows1252Bytes{1, 3, 1}));
}

TEST(TextEncoding, InvalidUtf8FormsAreNotTakenForUtf8) {
    for (const std::string& bytes : {std::string("\xC0\x80"), std::string("\xE0\x80\xAF"), std::string("\xED\xA0\x80"),
                                    std::string("\xF4\x90\x80\x80"), std::string("\xC3"), std::string("a\xE2\x82"),
                                    std::string("\xF8\x88\x80\x80\x80"), std::string("\x80")}) {
        EXPECT_FALSE(IsValidUtf8(bytes)) << testing::PrintToString(bytes);
    }
    for (const std::string& bytes : {std::string(""), std::string("plain"), std::string("\xC2\x80"),
                                    std::string("\xEF\xBF\xBD"), std::string("\xF0\x9F\x8E\xB5"),
                                    std::string("\xF4\x8F\xBF\xBF")}) {
        EXPECT_TRUE(IsValidUtf8(bytes)) << testing::PrintToString(bytes);
    }
}

TEST(TextEncoding, EveryWindows1252ByteHasItsCharacter) {
    std::string all;
    for (int c = 0x80; c <= 0xFF; ++c) all += static_cast<char>(c);
    const auto text = Windows1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_EQ(text.substr(0, 3), "\xE2\x82\xAC");                  // 80 euro sign
    EXPECT_NE(text.find("\xC5\xB8"), std::string::npos);           // 9F Y with diaeresis
    EXPECT_EQ(text.substr(text.size() - 2), "\xC3\xBF");           // FF y with diaeresis
    EXPECT_NE(text.find("\xC2\xA0"), std::string::npos);           // A0 no-break space
}

TEST(TextEncoding, LfOnlyAndMixedLineEnds) {
    EXPECT_EQ(Lines(TextFile::FromBytes("a\nb\r\nc\n")), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Lines(TextFile::FromBytes("a\n\nb")), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(Lines(TextFile::FromBytes("\r\n")), (std::vector<std::string>{""}));
    EXPECT_EQ(Lines(TextFile::FromBytes("last\r")), (std::vector<std::string>{"last"}));
    EXPECT_EQ(TextFile::FromBytes("").LineCount(), 0u);
}

TEST(TextEncoding, CrOnlyAndCrCrLfLineEnds) {
    EXPECT_EQ(Lines(TextFile::FromBytes("a\rb\r\rc\r")), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(Lines(TextFile::FromBytes("a\r\r\nb\r\r\n")), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Lines(TextFile::FromBytes("a\r\r\r\nb")), (std::vector<std::string>{"a", "", "b"}));
}

TEST(TextEncoding, CtrlZEndsTheFile) {
    EXPECT_EQ(Lines(TextFile::FromBytes("a\r\nb\x1A\r\nc\r\n")), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Lines(TextFile::FromBytes("a\r\n\x1A\xE9\xE9")), (std::vector<std::string>{"a"}));
    // Bytes after Ctrl+Z do not decide the encoding.
    EXPECT_FALSE(TextFile::FromBytes("a\r\n\x1A\xE9\xE9").WasWindows1252());
}

TEST(TextEncoding, LongLinesAreReadWhole) {
    const std::string line(3'000'000, 'x');
    const auto file = TextFile::FromBytes(line + "\r\nend");
    ASSERT_EQ(file.LineCount(), 2u);
    EXPECT_EQ(file.Line(0).size(), line.size());
}

// Well-formed UTF-8 by the table of the Unicode standard (Table 3-7), written
// independently of the reader.
bool WellFormedUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    const auto in = [](unsigned char c, int low, int high) { return c >= low && c <= high; };
    while (p < end) {
        const auto left = end - p;
        if (p[0] <= 0x7F) {
            p += 1;
        } else if (in(p[0], 0xC2, 0xDF) && left >= 2 && in(p[1], 0x80, 0xBF)) {
            p += 2;
        } else if (left >= 3 && in(p[2], 0x80, 0xBF) &&
                   ((p[0] == 0xE0 && in(p[1], 0xA0, 0xBF)) || (in(p[0], 0xE1, 0xEC) && in(p[1], 0x80, 0xBF)) ||
                    (p[0] == 0xED && in(p[1], 0x80, 0x9F)) || (in(p[0], 0xEE, 0xEF) && in(p[1], 0x80, 0xBF)))) {
            p += 3;
        } else if (left >= 4 && in(p[2], 0x80, 0xBF) && in(p[3], 0x80, 0xBF) &&
                   ((p[0] == 0xF0 && in(p[1], 0x90, 0xBF)) || (in(p[0], 0xF1, 0xF3) && in(p[1], 0x80, 0xBF)) ||
                    (p[0] == 0xF4 && in(p[1], 0x80, 0x8F)))) {
            p += 4;
        } else {
            return false;
        }
    }
    return true;
}

// What the reader must make of some bytes, the slow and obvious way: well-formed
// sequences kept, any other byte taken alone as Windows-1252; CR LF, CR CR LF, LF and CR
// end lines.
std::vector<std::string> ReferenceLines(std::string bytes, Windows1252Bytes& windows1252) {
    if (const auto eof = bytes.find('\x1A'); eof != std::string::npos) bytes.resize(eof);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    std::vector<std::string> lines;
    std::string line;
    std::size_t foreignOnLine = 0;
    const auto endLine = [&] {
        if (foreignOnLine > 0) {
            windows1252.count += foreignOnLine;
            windows1252.lines += 1;
            if (windows1252.firstLine == 0) windows1252.firstLine = static_cast<int>(lines.size()) + 1;
        }
        lines.push_back(line);
        line.clear();
        foreignOnLine = 0;
    };
    for (std::size_t i = 0; i < bytes.size();) {
        if (bytes[i] == '\n' || bytes[i] == '\r') {
            const auto rest = std::string_view(bytes).substr(i);
            i += rest.starts_with("\r\r\n") ? 3 : rest.starts_with("\r\n") ? 2 : 1;
            endLine();
            continue;
        }
        std::size_t length = 1;
        while (length <= 4 && !WellFormedUtf8(bytes.substr(i, length))) ++length;
        if (length <= 4 && i + length <= bytes.size()) {
            line += bytes.substr(i, length);
        } else {
            line += Windows1252ToUtf8(bytes.substr(i, 1));
            ++foreignOnLine;
            length = 1;
        }
        i += length;
    }
    if (!line.empty()) endLine();
    return lines;
}

TEST(TextEncoding, ReaderAgreesWithTheObviousWayOnRandomBytes) {
    std::mt19937 random(5);
    const std::vector<std::string> pieces = {
        "a",        "line of plain text", "\r\n", "\n",  "\r",   "\x1A", "\xEF\xBB\xBF", "\xC3\xA9", "\xE2\x82\xAC",
        "\xF0\x9F\x8E\xB5", "\xE9",   "\x80",  "\xC3", "\xED\xA0\x80", "\xC0\xAF", "\xF4\x90\x80\x80", "#$@"};
    int windows1252Files = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        std::string bytes;
        if (random() % 4 == 0) bytes = "\xEF\xBB\xBF";
        const int count = std::uniform_int_distribution<int>(0, 40)(random);
        for (int i = 0; i < count; ++i) {
            const auto& piece = pieces[random() % pieces.size()];
            // Rare pieces stay rare, so that many files are UTF-8 and many are not.
            const bool rare = piece == "\x1A" || (piece.size() == 1 && static_cast<unsigned char>(piece[0]) >= 0x80);
            if (rare && random() % 3)
                continue;
            bytes += piece;
        }
        Windows1252Bytes windows1252;
        const auto expected = ReferenceLines(bytes, windows1252);
        const auto file = TextFile::FromBytes(bytes);
        ASSERT_EQ(Lines(file), expected) << testing::PrintToString(bytes);
        ASSERT_EQ(file.Windows1252(), windows1252) << testing::PrintToString(bytes);
        windows1252Files += windows1252.count > 0;
    }
    EXPECT_GT(windows1252Files, 300);
    EXPECT_LT(windows1252Files, 2700);
}

TEST(TextEncoding, Windows1252ProjectLoadsAndSavesAsUtf8) {
    TempFolder folder;
    WriteBytes(folder / "old.zorbel", kProjectCafe);
    TkvxAppletAgent agent;
    const auto report = agent.LoadProject(folder / "old.zorbel");
    EXPECT_EQ(report.Warnings(), std::vector<std::string>{"1 byte that is not UTF-8 was read as Windows-1252, on line 8"});
    ASSERT_EQ(agent.ItemCount(), 1);
    EXPECT_EQ(agent.Items()[0].Text, "Caf\xC3\xA9");
    agent.SaveProject(folder / "new.zorbel");
    const auto bytes = ReadBytes(folder / "new.zorbel");
    EXPECT_NE(bytes.find("\r\nCaf\xC3\xA9#$@"), std::string::npos);
    EXPECT_EQ(bytes.find('\xE9'), std::string::npos);  // no Windows-1252 byte left
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
}

TEST(TextEncoding, LfOnlyProjectWithByteOrderMarkLoads) {
    TempFolder folder;
    std::string text = "\xEF\xBB\xBF" + kProjectCafe;
    text.replace(text.find("Caf\xE9"), 4, "Caf\xC3\xA9");
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n")) text.erase(at, 1);
    WriteBytes(folder / "unix.zorbel", text);
    TkvxAppletAgent agent;
    const auto report = agent.LoadProject(folder / "unix.zorbel");
    EXPECT_EQ(report.windows1252.count, 0u);
    ASSERT_EQ(agent.ItemCount(), 1);
    EXPECT_EQ(agent.Items()[0].Text, "Caf\xC3\xA9");
}

TEST(TextEncoding, CtrlZBeforeTheClosingTagTruncatesTheFile) {
    TempFolder folder;
    std::string text = kProjectCafe;
    text.insert(text.find("</Item_Parameters>"), "\x1A");
    WriteBytes(folder / "cut.zorbel", text);
    TkvxAppletAgent agent;
    EXPECT_QM_ERROR(agent.LoadProject(folder / "cut.zorbel"),
                    DisplayPath(folder / "cut.zorbel") + ", line 8: the file ends before \"</Item_Parameters>\"");
}

// A caller that remembers the file's content gets every byte as read, also past a Ctrl+Z
// and across the reader's parts, and the text is the same as without it.
TEST(TextEncoding, EveryByteReadReachesTheObserver) {
    TempFolder folder;
    const std::string large = std::string(1 << 20, 'x') + "\r\n" + std::string(70'000, 'y');
    for (const std::string& bytes : {std::string(), std::string("a\r\n\x1A tail past the end"), std::string("\x1A"),
                                     large, large + "\x1A" + std::string(200'000, 'z')}) {
        WriteBytes(folder / "seen.txt", bytes);
        std::string seen;
        const auto file = TextFile::Read(folder / "seen.txt", [&](std::string_view part) { seen += part; });
        EXPECT_EQ(seen, bytes) << bytes.size();
        EXPECT_EQ(file.Text(), TextFile::Read(folder / "seen.txt").Text()) << bytes.size();
    }
}

}  // namespace
}  // namespace qm::test
