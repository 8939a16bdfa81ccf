#pragma once
// The two file formats of the menu document, as text: the project file (.zorbel) and
// the menu structure exchange file (.gms). Writers return the whole file; parsers read
// a whole file and either return a complete document or throw qm::Error naming the
// file, the line and the reason. The agent's file operations are built on these.

#include <cstdint>
#include <string>
#include <vector>

#include "model/MenuRecords.h"
#include "model/PathReplacement.h"
#include "model/ProgressDisplay.h"
#include "model/TextFile.h"
#include "model/TextSink.h"
#include "model/TkvxAppletAgent.h"

namespace qm {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kProjectRefusal = "This file wasn't saved by Quillamere 1.0, open failed!";
inline constexpr std::string_view kExchangeRefusal = "This file wasn't saved by specified format, open failed!";
// A file without the opening tag of its format anywhere (a picture, a document of
// another program) is refused as a whole, without a line.
inline constexpr std::string_view kNotAProject = "the file is not a Quillamere project";
inline constexpr std::string_view kNotAMenuStructure = "the file is not a menu structure file";
inline constexpr std::string_view kExchangeFormatName = "General Menu Structure Description Format";

// What a project published with its page holds in place of stored item fields, which
// the document does not keep up to date: each item's Level and ParentIndex as the tree
// says, and its Link through the path replacement.
struct PublishedItemFields {
    const std::vector<std::uint8_t>& depths;  // by item: 0 main, 1 sub
    const std::vector<int>& parents;          // by item: kRootNode or its main item
    // Every stored Level and ParentIndex says what the tree says already.
    bool levelsAndParentsFresh = false;
    PathReplacement replacement;
};

// Project file: 14 + n + 1 lines, CR LF, the items as stored, or as published when
// published is given. Drives the progress display as saving does.
std::string WriteProjectText(const TAppletData& appletData, const ItemStore& items, IProgressDisplay& progress,
                             const PublishedItemFields* published = nullptr);
// The same handed to sink in parts of about kTextPartSize, never held whole.
void WriteProjectText(const TAppletData& appletData, const ItemStore& items, IProgressDisplay& progress,
                      const TextSink& sink, const PublishedItemFields* published = nullptr);
// The document keeps the file's text as its storage, so the file is taken.
ParsedDocument ParseProjectFile(TextFile file, const std::string& shownPath);

// Exchange file: 13 + n + 1 lines; the levels as stored, or as the tree says when depths
// are given (by item: 0 main, 1 sub).
std::string WriteMenuStructureText(const ItemStore& items, IProgressDisplay& progress,
                                   const std::vector<std::uint8_t>* depths = nullptr);
// The look of the result is the default look.
ParsedDocument ParseMenuStructureFile(TextFile file, const std::string& shownPath);

// What a file holds, judged by its content.
enum class DocumentFileKind { Project, MenuStructure, Unknown };
DocumentFileKind DetectDocumentFileKind(const TextFile& file);

}  // namespace qm
