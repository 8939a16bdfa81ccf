#pragma once
// The one web page the program makes: the hidden link block with the items, the menu
// box and the movie object carrying the look as the menu parameter string, and the
// script include. Lines end in CR LF.

#include <filesystem>
#include <string>
#include <string_view>

#include "TkvxAppletAgent.h"

namespace qm {

// Caption encoding: UTF-8 bytes; A-Z, a-z, 0-9 kept, space to "+", every other byte
// "%XX" in upper case.
std::string EncodeCaption(std::string_view caption);

// Fields 0..16 of the look, each followed by "#$@".
std::string MenuParameterString(const TAppletData& data);

// Replaces every occurrence of `from` in `link` by `to`, ignoring letter case (ASCII).
std::string ReplaceIgnoringCase(std::string_view link, std::string_view from, std::string_view to);

// Prepares the items in the document (Level, ParentIndex, the path replacement of the
// links) and returns the page. The document keeps the prepared items.
//
// A page staged away from the project (the preview in the user's browser) passes the
// project's folder as linkBase, a "file:" address ending in "/": its relative links are
// then written resolved against it (ResolveAgainstBase), so that they lead where the
// published page's links lead. The document keeps its links as they are.
std::string MakeHtmlText(TkvxAppletAgent& agent, std::string_view linkBase = {});

// The page MakeHtmlText makes, byte for byte, without preparing the document: the links
// are converted as they are written and the document is left as it is. For a preview
// that follows every edit.
std::string MakePreviewHtmlText(const TkvxAppletAgent& agent);

// MakeHtmlText written safely to pagePath. Throws qm::Error naming the file.
void MakeHtmlCodes(TkvxAppletAgent& agent, const std::filesystem::path& pagePath, std::string_view linkBase = {});

// link as seen from a page whose folder is base (ending in "/"): base followed by the
// link when it is a relative path (no scheme; not "/...", "?..." or "#..."; blanks in
// front dropped), otherwise the link unchanged.
std::string ResolveAgainstBase(std::string_view link, std::string_view base);

}  // namespace qm
