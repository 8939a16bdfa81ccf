#pragma once
// Saving is publishing: the page, the movie and the script, the project file, the
// publish report and the sounds, all into the project's folder. Also the staging of a
// document's files in the per-user Preview folder.

#include <filesystem>
#include <string>
#include <vector>

#include "TkvxAppletAgent.h"

namespace qm {

struct PublishFolders {
    std::filesystem::path programFolder;  // where zelvanbar.swf and swfhelper.js lie
    std::filesystem::path previewFolder;  // where the document's sounds are staged
};

// The stem of a project file name: without its extension (the last "." and what
// follows) when it has one.
std::string ProjectStem(const std::string& fileName);

// Writes folder/stem.html, copies the linked files, writes folder/stem.zorbel and
// folder/stem_PublishReport.txt, and copies the sounds from the Preview folder, in this
// order. Returns every file written or copied. Throws qm::Error when the page, the
// project or the report cannot be written (the files written so far stay; each of them
// is whole). Copies never fail the publish.
std::vector<std::filesystem::path> SaveAndPublish(TkvxAppletAgent& agent, const std::filesystem::path& folder,
                                                  const std::string& fileName, const PublishFolders& folders);

// ResourceFiles := the three sound names that are not blank, untrimmed, in field order.
void CollectResourceFiles(TkvxAppletAgent& agent);

std::string PublishReportText(TkvxAppletAgent& agent);
void MakePublishReport(TkvxAppletAgent& agent, const std::filesystem::path& folder, const std::string& reportName);

// Staging in the Preview folder. Only bare file names are ever copied or deleted there.
void CopyToPreviewFolder(TkvxAppletAgent& agent, const std::filesystem::path& previewFolder,
                         const std::filesystem::path& file);
void CopyLinkedFilesToPreview(TkvxAppletAgent& agent, const std::filesystem::path& previewFolder,
                              const std::filesystem::path& sourceFolder);
void CopyResourceFilesToPreview(TkvxAppletAgent& agent, const std::filesystem::path& previewFolder,
                                const std::filesystem::path& sourceFolder);
// Deletes the recorded files from the Preview folder and forgets them; the folder stays.
void ClearPreviewFolder(TkvxAppletAgent& agent, const std::filesystem::path& previewFolder);

}  // namespace qm
