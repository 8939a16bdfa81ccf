#pragma once
// The one web page the program makes: the hidden link block with the items, the menu
// box and the movie object carrying the look as the menu parameter string, and the
// script include. Lines end in CR LF.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "model/TkvxAppletAgent.h"

namespace qm {

// Caption encoding: UTF-8 bytes; A-Z, a-z, 0-9 kept, space to "+", every other byte
// "%XX" in upper case.
std::string EncodeCaption(std::string_view caption);

// Fields 0..16 of the look, each followed by "#$@".
std::string MenuParameterString(const TAppletData& data);

// Replaces every occurrence of `from` in `link` by `to`, ignoring letter case (ASCII).
std::string ReplaceIgnoringCase(std::string_view link, std::string_view from, std::string_view to);

// Receives the page part by part, in order.
using PageSink = TextSink;

// Prepares the items in the document (Level, ParentIndex, the path replacement of the
// links) and hands the page to sink as it is made, in parts of a few hundred KiB at
// most (a single item may make a larger one): a page of any size costs that much
// memory and is written while it is still in the processor's cache. The document keeps
// the prepared items. What sink throws ends the page and passes on.
//
// A page staged away from the project (the preview in the user's browser) passes the
// project's folder as linkBase, a "file:" address ending in "/": its relative links are
// then written resolved against it (ResolveAgainstBase), so that they lead where the
// published page's links lead. The document keeps its links as they are.
void WriteHtml(TkvxAppletAgent& agent, const PageSink& sink, std::string_view linkBase = {});

// WriteHtml into one string.
std::string MakeHtmlText(TkvxAppletAgent& agent, std::string_view linkBase = {});

// The page MakeHtmlText makes, byte for byte, without preparing the document: the links
// are converted as they are written and the document is left as it is. For a preview
// that follows every edit.
std::string MakePreviewHtmlText(const TkvxAppletAgent& agent);

// WriteHtml straight into a safely saved pagePath. Throws qm::Error naming the file.
void MakeHtmlCodes(TkvxAppletAgent& agent, const std::filesystem::path& pagePath, std::string_view linkBase = {});

// The menu as it goes into a page of a site: the lines from "<!-- Quillamere 1.0 -->"
// to the end of the menu box, each ended by CR LF. toSiteRoot leads from the page to
// the site's root ("", "../", "../../"): the movie and the script are found there, and
// every relative link is written behind it. The links are converted by the path
// replacement as they are written; the document is left as it is.
std::string MakeMenuSnippet(const TkvxAppletAgent& agent, std::string_view toSiteRoot);

// A link that names a place relative to the page's folder: no scheme, and not a path
// from the root, a query or a fragment of the page itself.
bool IsRelativeLink(std::string_view link);

// link as seen from a page whose folder is base (ending in "/"): base followed by the
// link when it is a relative path (no scheme; not "/...", "?..." or "#..."; blanks in
// front dropped), otherwise the link unchanged.
std::string ResolveAgainstBase(std::string_view link, std::string_view base);

}  // namespace qm
