#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>

#include "model/Error.h"
#include "support/ErrorCheck.h"
#include "support/DocumentBuilder.h"
#include "output/PageWriter.h"
#include "support/TestSupport.h"

namespace qm::test {
namespace {


// The lines of the hidden link block: from the line after the support comment up to the
// container line.
std::vector<std::string> HiddenLinkBlock(TkvxAppletAgent& agent) {
    const auto lines = CrLfLines(MakeHtmlText(agent));
    std::vector<std::string> block;
    for (std::size_t i = 17; i < lines.size() && !lines[i].starts_with("<div id=\"mkvo_menu_zelvan_outer_div\""); ++i)
        block.push_back(lines[i]);
    return block;
}

TEST(PageHiddenLinkBlock, NestsSubItemsInABlockAfterTheirMainItem) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "Home", "index.html"},
                     {0, "Products", "products.html"},
                     {1, "Product A", "a.html", "_blank"},
                     {1, "Product B", "b.html", "_blank"}});
    EXPECT_EQ(HiddenLinkBlock(agent), (std::vector<std::string>{
                                          "<div id='buAj' style='position:absolute;visibility:hidden;'>",
                                          "<div><a href='index.html' target='_self'>Home</a></div>",
                                          "<div><a href='products.html' target='_self'>Products</a></div>",
                                          "<div class='mkvosub'>",
                                          "<div><a href='a.html' target='_blank'>Product+A</a></div>",
                                          "<div><a href='b.html' target='_blank'>Product+B</a></div>",
                                          "</div>",
                                          "</div>",
                                      }));
}

TEST(PageHiddenLinkBlock, ClosesBlocksByWhatEndsThere) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {});
    EXPECT_TRUE(HiddenLinkBlock(agent).empty()) << "no items: no block at all";

    MakeDocument(agent, {{0, "Only", "o.html"}});
    EXPECT_EQ(HiddenLinkBlock(agent).size(), 3u);
    EXPECT_EQ(HiddenLinkBlock(agent).back(), "</div>");

    // Sub items under a middle main item end with one "</div>"; a last main item
    // without sub items with one more for the whole block.
    MakeDocument(agent, {{0, "A", "a"}, {1, "A1", "a1"}, {1, "A2", "a2"}, {0, "B", "b"}});
    const auto block = HiddenLinkBlock(agent);
    ASSERT_EQ(block.size(), 8u);
    EXPECT_EQ(block[2], "<div class='mkvosub'>");
    EXPECT_EQ(block[4], "<div><a href='a2' target='_self'>A2</a></div>");
    EXPECT_EQ(block[5], "</div>");
    EXPECT_EQ(block[6], "<div><a href='b' target='_self'>B</a></div>");
    EXPECT_EQ(block[7], "</div>");
    int opened = 0;
    for (const auto& line : block) opened += line.starts_with("<div id=") || line == "<div class='mkvosub'>";
    EXPECT_EQ(opened, 2);
}

TEST(PageHiddenLinkBlock, AnEmptyTargetIsWrittenEmpty) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A", "a.html", ""}});
    EXPECT_EQ(HiddenLinkBlock(agent)[1], "<div><a href='a.html' target=''>A</a></div>");
}

// The page declares no character set, so a browser reads it as windows-1252, and a
// designer's page may be in any: a link's bytes beyond ASCII are written percent-encoded
// (UTF-8), which reads the same in all of them. ASCII is written as before, and so is the
// target, which names a frame rather than an address.
TEST(PageLinks, WriteBytesBeyondAsciiPercentEncodedAndAsciiAsStored) {
    const struct {
        std::string link;
        std::string written;
    } cases[] = {
        {"caf\xC3\xA9/na\xC3\xAFve \xC3\xBC.html", "caf%C3%A9/na%C3%AFve %C3%BC.html"},
        {"http://example.com/\xE6\x97\xA5\xE6\x9C\xAC?q=\xC3\xA9#\xC3\xA9", "http://example.com/%E6%97%A5%E6%9C%AC?q=%C3%A9#%C3%A9"},
        {"caf%C3%A9.html", "caf%C3%A9.html"},
        {"a b.html?x=1&y='2'#top", "a b.html?x=1&amp;y=&#39;2&#39;#top"},
        {"\xC3\xA9&\xC3\xA9<.html", "%C3%A9&amp;%C3%A9&lt;.html"},
    };
    for (const auto& c : cases) {
        TkvxAppletAgent agent;
        MakeDocument(agent, {{0, "A", c.link, "fen\xC3\xAAtre"}});
        EXPECT_EQ(HiddenLinkBlock(agent)[1], "<div><a href='" + c.written + "' target='fen\xC3\xAAtre'>A</a></div>");
        EXPECT_EQ(agent.Items()[0].Link, c.link) << "the document keeps the link as typed";
    }
    // A page staged away from the project gets its base encoded the same way.
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A", "\xC3\xA9.html"}});
    EXPECT_NE(MakeHtmlText(agent, "file:///home/jos\xC3\xA9/").find("href='file:///home/jos%C3%A9/%C3%A9.html'"),
              std::string::npos);
}

TEST(PageCaptions, KeepOnlyLettersAndDigitsAndEncodeEveryOtherByte) {
    EXPECT_EQ(EncodeCaption("Home Page"), "Home+Page");
    EXPECT_EQ(EncodeCaption("Caf\xC3\xA9"), "Caf%C3%A9");
    EXPECT_EQ(EncodeCaption("A&B"), "A%26B");
    EXPECT_EQ(EncodeCaption("a-b._~"), "a%2Db%2E%5F%7E");
    EXPECT_EQ(EncodeCaption("\\'"), "%5C%27");
    EXPECT_EQ(EncodeCaption(""), "");
}

// Letters, digits and blanks go a block at a time, the blanks made "+" in the same move:
// a blank at every place of every length up to a few blocks, and one byte that is not
// such at the end.
TEST(PageCaptions, WriteBlanksAsPlusAtEveryPlaceOfEveryLength) {
    for (std::size_t length = 1; length <= 40; ++length)
        for (std::size_t blank = 0; blank < length; ++blank)
            for (const bool odd : {false, true}) {
                std::string text, expected;
                for (std::size_t i = 0; i < length; ++i) {
                    const bool isBlank = i == blank || i % 7 == 3;
                    text += isBlank ? ' ' : "aZ09"[i % 4];
                    expected += isBlank ? '+' : "aZ09"[i % 4];
                }
                if (odd) {
                    text += '-';
                    expected += "%2D";
                }
                ASSERT_EQ(EncodeCaption(text), expected) << '"' << text << '"';
            }
}

TEST(PageTemplate, WritesTheHeadTheMovieAndTheTailLineForLine) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {});
    const auto lines = CrLfLines(MakeHtmlText(agent));
    ASSERT_EQ(lines.size(), 38u) << "17 head lines, no block, 21 tail lines";
    EXPECT_EQ(lines[0],
              "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
              "\"http://www.w3.org/TR/html4/loose.dtd\">");
    const auto& mark = lines[1];
    ASSERT_TRUE(mark.starts_with("<!-- saved from url=(0023)") && mark.ends_with(" -->")) << mark;
    EXPECT_EQ(mark.size() - std::string("<!-- saved from url=(0023)").size() - 4, 23u);
    EXPECT_EQ(lines[4], "<title>Preview</title>");
    EXPECT_EQ(lines[11], "<!-- COPY START FROM HERE -->");
    EXPECT_EQ(lines[13], "<!-- Quillamere 1.0 -->");
    EXPECT_EQ(lines[17], "<div id=\"mkvo_menu_zelvan_outer_div\"  style=\"width:600px;height:40px;\">");
    EXPECT_EQ(lines[18], "<div id=\"bjAj\" style=\"position:relative;z-index:1000\">");
    EXPECT_EQ(lines[26],
              "<param name=\"FlashVars\" value=\"flashparams=25#$@20#$@arial#$@11#$@FFFFFF#$@131313#$@92DDFA#$@15#$@"
              "arial#$@9#$@000000#$@9E9E9E#$@100#$@3#$@#$@#$@#$@\" />");
    EXPECT_EQ(lines[29], "<script>window.BeAj=600;window.BfAj=40;</script>");
    EXPECT_EQ(lines[30], "<script src='swfhelper.js'></script>");
    EXPECT_EQ(lines[34], "<!-- END OF COPYING -->");
    EXPECT_EQ(lines[37], "</html>");
}

TEST(PageParameterString, HoldsSeventeenValuesEachFollowedByTheSeparator) {
    auto look = DefaultAppletData();
    const auto text = MenuParameterString(look);
    EXPECT_EQ(text, "25#$@20#$@arial#$@11#$@FFFFFF#$@131313#$@92DDFA#$@15#$@arial#$@9#$@000000#$@9E9E9E#$@100#$@3#$@"
                    "#$@#$@#$@");
    look.itemActiveSound = "click.mp3";
    look.flMenuMaxWidth = "777";  // not part of the string
    EXPECT_TRUE(MenuParameterString(look).ends_with("3#$@#$@#$@click.mp3#$@"));
}

// The links of the hidden link block, as written.
std::vector<std::string> PageLinks(const std::string& page) {
    std::vector<std::string> links;
    for (auto at = page.find("<div><a href='"); at != std::string::npos; at = page.find("<div><a href='", at + 1)) {
        const auto start = at + 14;
        links.push_back(page.substr(start, page.find('\'', start) - start));
    }
    return links;
}

TEST(PagePathReplacement, ConvertsEveryOccurrenceIgnoringCaseAsThePageIsWritten) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A", "HTTP://Example.COM/a.html?back=http://example.com/"}, {0, "B", "file:///C|/site/b.html"}});
    const auto typed = agent.Items();
    auto look = agent.GetAppletData();
    look.InternalUse_RootDir_Local = "file:///C|/site/";
    look.InternalUse_RootDir_Remote = "http://example.com/";
    look.InternalUse_RootDir_Local_Checked = "1";  // test on the local computer
    agent.SetAppletData(look);
    EXPECT_EQ(PageLinks(MakeHtmlText(agent)),
              (std::vector<std::string>{"file:///C|/site/a.html?back=file:///C|/site/", "file:///C|/site/b.html"}));

    look.InternalUse_RootDir_Local_Checked = "0";  // upload to the web server
    agent.SetAppletData(look);
    EXPECT_EQ(PageLinks(MakeHtmlText(agent)),
              (std::vector<std::string>{"HTTP://Example.COM/a.html?back=http://example.com/", "http://example.com/b.html"}));
    EXPECT_EQ(agent.Items(), typed) << "the document keeps the links as typed";
}

TEST(PagePathReplacement, NeedsBothRootsAndUsesThemAsStored) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A", "file:///C|/site/a.html"}});
    auto look = agent.GetAppletData();
    look.InternalUse_RootDir_Local = "file:///C|/site/";
    look.InternalUse_RootDir_Remote = "   ";
    agent.SetAppletData(look);
    EXPECT_EQ(PageLinks(MakeHtmlText(agent)), std::vector<std::string>{"file:///C|/site/a.html"})
        << "a blank root changes nothing";

    look.InternalUse_RootDir_Local = " file:///C|/site/";  // the blank is part of what is replaced
    look.InternalUse_RootDir_Remote = "http://w/";
    agent.SetAppletData(look);
    EXPECT_EQ(PageLinks(MakeHtmlText(agent)), std::vector<std::string>{"file:///C|/site/a.html"});
    EXPECT_EQ(ReplaceIgnoringCase("aXbxc", "X", "--"), "a--b--c");
}

TEST(PagePreview, IsThePublishedPageAndLeavesTheDocumentAsItIs) {
    const std::vector<ItemRow> items = {
        {0, "A", "http://example.com/a.html"}, {2, "A1", "HTTP://EXAMPLE.COM/b.html"}, {0, "B", "c.html"}};
    TkvxAppletAgent previewed, published;
    for (auto* agent : {&previewed, &published}) {
        MakeDocument(*agent, items);
        auto look = agent->GetAppletData();
        look.InternalUse_RootDir_Local = "file:///C|/site/";
        look.InternalUse_RootDir_Remote = "http://example.com/";
        look.InternalUse_RootDir_Local_Checked = "1";
        agent->SetAppletData(look);
    }
    const auto before = previewed.Items();
    EXPECT_EQ(MakePreviewHtmlText(previewed), MakeHtmlText(published));
    const auto after = previewed.Items();
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].Link, before[i].Link) << i;
        EXPECT_EQ(after[i].Level, before[i].Level) << i;
    }
}

TEST(PageLinkBase, ResolvesOnlyRelativePaths) {
    const std::string base = "file:///home/ann/site%20one/";
    const std::pair<std::string, std::string> cases[] = {
        {"about.html", base + "about.html"},
        {"../index.html", base + "../index.html"},
        {"  news/today.htm", base + "news/today.htm"},
        {"a:b/c.html", "a:b/c.html"},
        {"2020:report.html", base + "2020:report.html"},
        {"docs/a:b.html", base + "docs/a:b.html"},
        {"http://example.com/", "http://example.com/"},
        {"mailto:ann@example.com", "mailto:ann@example.com"},
        {"javascript:void(0)", "javascript:void(0)"},
        {"file:///C|/site/a.htm", "file:///C|/site/a.htm"},
        {"/root.html", "/root.html"},
        {"//cdn.example.com/x", "//cdn.example.com/x"},
        {"#top", "#top"},
        {"?page=2", "?page=2"},
        {"", ""},
    };
    for (const auto& [link, resolved] : cases) EXPECT_EQ(ResolveAgainstBase(link, base), resolved) << link;

    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A", "about.html"}, {0, "B", "http://example.com/"}});
    const auto page = MakeHtmlText(agent, base);
    EXPECT_NE(page.find("href='" + base + "about.html'"), std::string::npos);
    EXPECT_NE(page.find("href='http://example.com/'"), std::string::npos);
    EXPECT_EQ(agent.Items()[0].Link, "about.html") << "the document keeps its link";
}

TEST(PageSafety, StoredTextNeverLeavesItsAttribute) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A", "x' onmouseover='alert(1)", "_self'><script>alert(2)</script>"},
                     {0, "B", "a\\'b&c\"d<e>", "_blank"}});
    auto look = agent.GetAppletData();
    look.mainItemFont = "arial\" /><script>alert(3)</script>";
    look.mov_z_index = "1\"><script>alert(4)</script>";
    look.flMenuMaxWidth = "600;alert(5)";
    look.flMenuMaxHeight = "40</script><script>alert(6)//";
    agent.SetAppletData(look);
    const auto page = MakeHtmlText(agent);
    EXPECT_EQ(page.find("<script>alert"), std::string::npos);
    EXPECT_EQ(page.find("alert(5);"), std::string::npos);
    EXPECT_NE(page.find("<a href='x&#39; onmouseover=&#39;alert(1)' target='_self&#39;&gt;&lt;script&gt;"),
              std::string::npos);
    EXPECT_NE(page.find("href='a\\&#39;b&amp;c&quot;d&lt;e&gt;'"), std::string::npos);
    EXPECT_NE(page.find("window.BeAj=\"600;alert(5)\";"), std::string::npos);
    EXPECT_NE(page.find("window.BfAj=\"40\\u003c/script\\u003e\\u003cscript\\u003ealert(6)//\";"), std::string::npos);
    EXPECT_NE(page.find("z-index:1&quot;&gt;&lt;script&gt;"), std::string::npos);
}

// The encoders step over plain runs a block of bytes at a time; what they write must be
// what the byte-by-byte rules give, wherever the special bytes fall in a block.
TEST(PageSafety, EncodersAgreeWithTheByteByByteRulesOnRandomText) {
    const auto attribute = [](std::string_view value) {
        std::string out;
        for (const char c : value) {
            switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
            }
        }
        return out;
    };
    const auto link = [&attribute](std::string_view text) {
        std::string out;
        for (const char c : text) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x80) out += attribute(std::string(1, c));
            else out += "%" + std::string(1, "0123456789ABCDEF"[u >> 4]) + "0123456789ABCDEF"[u & 0xF];
        }
        return out;
    };
    const auto caption = [](std::string_view text) {
        std::string out;
        for (const char c : text) {
            const auto u = static_cast<unsigned char>(c);
            if (std::isalnum(u) && u < 0x80) out += c;
            else if (c == ' ') out += '+';
            else out += "%" + std::string(1, "0123456789ABCDEF"[u >> 4]) + "0123456789ABCDEF"[u & 0xF];
        }
        return out;
    };
    const std::string alphabet = std::string("aZ09 &<>\"'\\-._~/:@`[{\x7F\x80\xC3\xA9\xFF") + '\0';
    std::mt19937 random(11);
    TkvxAppletAgent agent;
    for (int trial = 0; trial < 400; ++trial) {
        std::string text[3];
        for (auto& t : text)
            for (int i = std::uniform_int_distribution<int>(0, 40)(random); i > 0; --i)
                t += alphabet[random() % alphabet.size()];
        MakeDocument(agent, {{0, text[0], text[1], text[2]}});
        ASSERT_EQ(EncodeCaption(text[0]), caption(text[0]));
        ASSERT_EQ(HiddenLinkBlock(agent).at(1), "<div><a href='" + link(text[1]) + "' target='" +
                                                  attribute(text[2]) + "'>" + caption(text[0]) + "</a></div>");
    }
}

TEST(PageFile, IsWrittenSafelyAndAFailureLeavesTheOldPage) {
    TempFolder folder;
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A", "a.html"}});
    const auto page = folder / "menu.html";
    MakeHtmlCodes(agent, page);
    const auto first = ReadBytes(page);
    EXPECT_EQ(first, MakeHtmlText(agent));

    std::filesystem::create_directory(folder / "menu2.html");
    EXPECT_QM_ERROR(MakeHtmlCodes(agent, folder / "menu2.html"),
                    DisplayPath(folder / "menu2.html") + ": cannot write the file: it is a folder");
    EXPECT_QM_ERROR(MakeHtmlCodes(agent, folder / "missing" / "menu.html"),
                    DisplayPath(folder / "missing" / "menu.html") + ": cannot write the file: No such file or directory");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2) << "no temporary file left";
}

// A large page is handed on in parts as it is made. Together they are the page of one
// such item (made in one part) with its item line repeated; an item larger than a part
// comes whole. The file written from the parts holds the same bytes.
TEST(PageFile, WrittenInPartsIsTheWholePage) {
    TempFolder folder;
    for (const auto& [captionSize, count] : std::vector<std::pair<std::size_t, int>>{
             {10, 40'000}, {100'000, 40}, {700'000, 3}, {10, 1}}) {
        SCOPED_TRACE(std::to_string(count) + " items of " + std::to_string(captionSize) + " bytes");
        std::string caption;
        while (caption.size() < captionSize) caption += "Ab c";
        TkvxAppletAgent agent;
        MakeDocument(agent, {{0, caption, "a.html"}});
        auto expected = MakeHtmlText(agent);
        const auto lineStart = expected.find("<div><a href=");
        const auto line = expected.substr(lineStart, expected.find("\r\n", lineStart) + 2 - lineStart);
        std::string repeated;  // inserted at once: one insert a line moves the page's tail each time
        for (int i = 1; i < count; ++i) repeated += line;
        expected.insert(lineStart, repeated);

        MakeDocument(agent, std::vector<ItemRow>(static_cast<std::size_t>(count), {0, caption, "a.html"}));
        std::vector<std::size_t> partSizes;
        std::string page;
        WriteHtml(agent, [&](std::string_view part) {
            partSizes.push_back(part.size());
            page.append(part);
        });
        ASSERT_EQ(page, expected);
        EXPECT_GT(partSizes.size(), expected.size() >> 20) << "a part for each MiB at least";
        EXPECT_LE(*std::max_element(partSizes.begin(), partSizes.end()),
                  std::max<std::size_t>(1 << 20, 2 * line.size()));
        EXPECT_EQ(std::count(partSizes.begin(), partSizes.end(), 0u), 0) << "no empty part";
        MakeHtmlCodes(agent, folder / "menu.html");
        EXPECT_EQ(ReadBytes(folder / "menu.html"), expected);
    }
}

}  // namespace
}  // namespace qm::test
