#pragma once
// The two file formats of the menu document, as text: the project file (.zorbel) and
// the menu structure exchange file (.gms). Writers return the whole file; parsers read
// a whole file and either return a complete document or throw qm::Error naming the
// file, the line and the reason. The agent's file operations are built on these.

#include <string>

#include "model/MenuRecords.h"
#include "model/ProgressDisplay.h"
#include "model/TextFile.h"
#include "model/TextSink.h"
#include "model/TkvxAppletAgent.h"

namespace qm {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kProjectRefusal = "This file wasn't saved by Quillamere 1.0, open failed!";
inline constexpr std::string_view kExchangeRefusal = "This file wasn't saved by specified format, open failed!";
inline constexpr std::string_view kExchangeFormatName = "General Menu Structure Description Format";

// Project file: 14 + n + 1 lines, CR LF. Drives the progress display as saving does.
std::string WriteProjectText(const TAppletData& appletData, const ItemStore& items, IProgressDisplay& progress);
// The same handed to sink in parts of about kTextPartSize, never held whole.
void WriteProjectText(const TAppletData& appletData, const ItemStore& items, IProgressDisplay& progress,
                      const TextSink& sink);
// The document keeps the file's text as its storage, so the file is taken.
ParsedDocument ParseProjectFile(TextFile file, const std::string& shownPath);

// Exchange file: 13 + n + 1 lines; levels as they stand in the items.
std::string WriteMenuStructureText(const ItemStore& items, IProgressDisplay& progress);
// The look of the result is the default look.
ParsedDocument ParseMenuStructureFile(TextFile file, const std::string& shownPath);

// What a file holds, judged by its content.
enum class DocumentFileKind { Project, MenuStructure, Unknown };
DocumentFileKind DetectDocumentFileKind(const TextFile& file);

}  // namespace qm
