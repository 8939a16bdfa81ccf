#include "PageWriter.h"

#include <array>

#include "LookValues.h"
#include "ProgressDisplay.h"
#include "SafeSave.h"
#include "WholeNumber.h"

namespace qm {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// This product's addresses in the page's comments and on the movie object. The
// mark-of-the-web address is 23 characters long, hence "0023".
constexpr std::string_view kHomePage = "https://quillamere.app/";
constexpr std::string_view kProductPage = "https://quillamere.app/menu-builder/";
constexpr std::string_view kSupportPage = "https://quillamere.app/support/";
constexpr std::string_view kPlayerCabinet = "https://quillamere.app/player/swflash.cab";
constexpr std::string_view kPlayerDownload = "https://quillamere.app/player/";

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsAsciiAlphanumeric(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Attribute values are written with the five markup characters as character
// references: a browser reads back exactly the stored text, and no stored text can
// leave its attribute.
// The characters an attribute value cannot hold as they are.
constexpr std::array<bool, 256> kMarkup = [] {
    std::array<bool, 256> markup{};
    for (const unsigned char c : {'&', '<', '>', '"', '\''}) markup[c] = true;
    return markup;
}();

void AppendAttribute(std::string& out, std::string_view value) {
    const auto* data = value.data();
    const std::size_t size = value.size();
    std::size_t run = 0;  // start of the pending run of plain characters
    for (std::size_t i = 0; i < size; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (!kMarkup[c]) continue;
        out.append(data + run, i - run);
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += "&#39;"; break;
        }
        run = i + 1;
    }
    out.append(data + run, size - run);
}

std::string Attribute(std::string_view value) {
    std::string out;
    AppendAttribute(out, value);
    return out;
}

void AppendEncodedCaption(std::string& out, std::string_view caption) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::size_t run = 0;  // start of the pending run of letters and digits
    for (std::size_t i = 0; i < caption.size(); ++i) {
        const auto u = static_cast<unsigned char>(caption[i]);
        if (IsAsciiAlphanumeric(u)) continue;
        out.append(caption.substr(run, i - run));
        if (u == ' ') {
            out += '+';
        } else {
            const char escaped[3] = {'%', kHex[u >> 4], kHex[u & 0xF]};
            out.append(escaped, 3);
        }
        run = i + 1;
    }
    out.append(caption.substr(run));
}

// The box size inside the script line. A whole number stands as it is; anything else
// becomes a string literal with the characters that could end the literal or the
// script escaped, so an odd stored value cannot run as code.
std::string ScriptValue(std::string_view value) {
    if (ParseWholeNumber(value)) return std::string(value);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\' || c == '<' || c == '>' || c == '&' || c == '\'' || u < 0x20) {
            out += "\\u00";
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void Line(std::string& out, std::string_view text) {
    out += text;
    out += kCrLf;
}

void ApplyPathReplacement(TkvxAppletAgent& agent) {
    const auto& look = agent.AppletData();
    const auto& local = look.InternalUse_RootDir_Local;
    const auto& remote = look.InternalUse_RootDir_Remote;
    if (TrimBlanks(local).empty() || TrimBlanks(remote).empty()) return;
    const bool toLocal = look.InternalUse_RootDir_Local_Checked == "1";
    for (int i = 0; i < agent.ItemCount(); ++i) {
        auto item = agent.GetItemData(i);
        auto converted = toLocal ? ReplaceIgnoringCase(item.Link, remote, local)
                                 : ReplaceIgnoringCase(item.Link, local, remote);
        if (converted != item.Link) {
            item.Link = std::move(converted);
            agent.SetItemData(item, i);
        }
    }
}

void WriteHiddenLinkBlock(std::string& out, const TkvxAppletAgent& agent) {
    for (int node = 0; node < agent.ItemCount(); ++node) {
        const auto& item = agent.Items()[node];
        if (agent.PreviousSibling(node) == kNoNode)
            Line(out, node == 0 ? "<div id='buAj' style='position:absolute;visibility:hidden;'>"
                                : "<div class='mkvosub'>");
        out += "<div><a href='";
        AppendAttribute(out, item.Link);
        out += "' target='";
        AppendAttribute(out, item.Target);
        out += "'>";
        AppendEncodedCaption(out, item.Text);
        Line(out, "</a></div>");

        if (agent.NextSibling(node) == kNoNode && agent.ChildCount(node) == 0) {
            // Close the sub-item blocks this node ends.
            int blocks = agent.NodeLevel(node) > 1 ? 1 : 0;
            for (int up = agent.ParentNode(node);
                 up != kNoNode && up != kRootNode && agent.NextSibling(up) == kNoNode && agent.NodeLevel(up) > 1;
                 up = agent.ParentNode(up))
                ++blocks;
            for (int i = 0; i < blocks; ++i) Line(out, "</div>");
        }
        if (agent.NextNodeInPreOrder(node) == kNoNode) Line(out, "</div>");
    }
}

}  // namespace

std::string EncodeCaption(std::string_view caption) {
    std::string out;
    out.reserve(caption.size() * 3);
    AppendEncodedCaption(out, caption);
    return out;
}

std::string MenuParameterString(const TAppletData& data) {
    std::string out;
    for (std::size_t i = 0; i < TAppletData::kMenuParameterCount; ++i) {
        out += data.Field(i);
        out += "#$@";
    }
    return out;
}

std::string ReplaceIgnoringCase(std::string_view link, std::string_view from, std::string_view to) {
    if (from.empty() || link.size() < from.size()) return std::string(link);
    std::string lowerLink(link), lowerFrom(from);
    for (auto& c : lowerLink) c = ToLowerAscii(c);
    for (auto& c : lowerFrom) c = ToLowerAscii(c);
    std::string out;
    std::size_t start = 0;
    for (auto at = lowerLink.find(lowerFrom); at != std::string::npos; at = lowerLink.find(lowerFrom, start)) {
        out.append(link.substr(start, at - start));
        out.append(to);
        start = at + from.size();
    }
    out.append(link.substr(start));
    return out;
}

std::string MakeHtmlText(TkvxAppletAgent& agent) {
    ProgressScope scope(agent.Progress(), "Making HTML Codes ... ...");
    agent.RefreshLevelsAndParents();
    ApplyPathReplacement(agent);

    const auto& look = agent.AppletData();
    const auto width = Attribute(look.flMenuMaxWidth);
    const auto height = Attribute(look.flMenuMaxHeight);

    std::string out;
    std::size_t expected = 4096;
    for (const auto& item : agent.Items()) expected += 48 + item.Link.size() + item.Target.size() + item.Text.size() * 3;
    out.reserve(expected);
    Line(out, "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
              "\"http://www.w3.org/TR/html4/loose.dtd\">");
    Line(out, "<!-- saved from url=(0023)" + std::string(kHomePage) + " -->");
    for (const auto line : {"<html lang=\"en\">", "<head>", "<title>Preview</title>", "", "</head>", "", "<body>", "",
                            "<!-- Please insert the following codes into body section of the html file where you "
                            "want to include the menu! -->",
                            "<!-- COPY START FROM HERE -->", "", "<!-- Quillamere 1.0 -->"})
        Line(out, line);
    Line(out, "<!-- Quillamere 1.0, Copyright (C) 2026 Tarnwell. All rights reserved. -->");
    Line(out, "<!-- Product page: " + std::string(kProductPage) + " -->");
    Line(out, "<!-- Support: " + std::string(kSupportPage) + " -->");

    WriteHiddenLinkBlock(out, agent);

    Line(out, "<div id=\"mkvo_menu_zelvan_outer_div\"  style=\"width:" + width + "px;height:" + height + "px;\">");
    Line(out, "<div id=\"bjAj\" style=\"position:relative;z-index:" + Attribute(look.mov_z_index) + "\">");
    Line(out, "<object classid=\"clsid:d27cdb6e-ae6d-11cf-96b8-444553540000\" codebase=\"" +
                  std::string(kPlayerCabinet) + "#version=7,0,0,0\" width=\"" + width + "\" height=\"" + height +
                  "\" id=\"bAAd\" align=\"middle\">");
    Line(out, "<param name=\"allowScriptAccess\" value=\"sameDomain\" />");
    Line(out, "<param name=\"allowFullScreen\" value=\"false\" />");
    Line(out, "<param name=\"movie\" value=\"zelvanbar.swf\" />");
    Line(out, "<param name=\"quality\" value=\"high\" />");
    Line(out, "<param name=\"bgcolor\" value=\"#FFFFFF\" />");
    Line(out, "<embed src=\"zelvanbar.swf\" quality=\"high\" bgcolor=\"#cccccc\" width=\"" + width + "\" height=\"" +
                  height +
                  "\" name=\"bAAd\" align=\"middle\" allowScriptAccess=\"sameDomain\" allowFullScreen=\"false\" "
                  "type=\"application/x-shockwave-flash\" pluginspage=\"" +
                  std::string(kPlayerDownload) + "\" />");
    Line(out, "<param name=\"FlashVars\" value=\"flashparams=" + Attribute(MenuParameterString(look)) + "\" />");
    Line(out, "</object>");
    Line(out, "<noscript><p>JavaScript is not supported!</p></noscript>");
    Line(out, "<script>window.BeAj=" + ScriptValue(look.flMenuMaxWidth) + ";window.BfAj=" +
                  ScriptValue(look.flMenuMaxHeight) + ";</script>");
    for (const auto line : {"<script src='swfhelper.js'></script>", "</div>", "</div>", "", "<!-- END OF COPYING -->",
                            "", "</body>", "</html>"})
        Line(out, line);
    return out;
}

void MakeHtmlCodes(TkvxAppletAgent& agent, const std::filesystem::path& pagePath) {
    SaveFileSafely(pagePath, MakeHtmlText(agent));
}

}  // namespace qm
