#pragma once
// Saving is publishing: the page, the movie and the script, the project file, the
// publish report and the sounds, all into the project's folder. Also the staging of a
// document's files in the per-user Preview folder.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "model/FileDescriptor.h"
#include "model/TkvxAppletAgent.h"

namespace qm {

struct PublishFolders {
    std::filesystem::path programFolder;  // where zelvanbar.swf and swfhelper.js lie
    std::filesystem::path previewFolder;  // where the document's sounds are taken from
};

struct PublishResult {
    // Every file written or copied: the page, the linked files, the project, the
    // report and the sounds, in this order.
    std::vector<std::filesystem::path> written;
    // One line for each sound that was refused: "sound 'x.mp3' is not copied: it is a
    // link to a file outside its folder".
    std::vector<std::string> warnings;
};

// A sound refused for copying: its name and why.
using NotCopiedSounds = std::vector<std::pair<std::string, std::string>>;

// The stem of a project file name: without its extension (the last "." and what
// follows) when it has one.
std::string ProjectStem(const std::string& fileName);

// Publishes into folder: stem.html, the linked files, stem.zorbel,
// stem_PublishReport.txt and the sounds. Every name of the set and every file it would
// replace are checked before anything is written; every file is then written beside
// its target and, once all are written, renamed over it (the project last), so that a
// failure or a crash leaves each output old or new. The outputs are regular files in
// the folder: a link in an output's place is replaced, except the project file when it
// is a link of the user's own. A sound is copied only from a regular file in
// folders.previewFolder (or a link that stays inside it) whose name is no path, no name
// of another output and no temporary file's; the others are listed in the report as
// not copied and in the result's warnings. A missing source (a sound or a linked file)
// is skipped silently and still listed.
// Throws qm::Error naming the file when a name is too long for the folder, an output
// is a folder or a read-only file, or a file cannot be written or renamed.
PublishResult SaveAndPublish(TkvxAppletAgent& agent, const std::filesystem::path& folder, const std::string& fileName,
                             const PublishFolders& folders);

// The files every page of the menu needs beside it, open for copying: the linked files
// found in folders.programFolder (a missing one is skipped), then each sound of the
// document once, from folders.previewFolder, under the rules SaveAndPublish follows.
// outputNames: the names of the other files of the publish, which no sound may take;
// nameMax: the longest name the target folder allows.
struct CompanionFile {
    std::string name;
    FileDescriptor source;
    bool isSound = false;
};
struct Companions {
    std::vector<CompanionFile> files;
    NotCopiedSounds notCopied;
    std::vector<std::string> warnings;  // one for each sound refused
};
Companions OpenCompanions(TkvxAppletAgent& agent, const PublishFolders& folders,
                          const std::vector<std::string>& outputNames, long nameMax);
// The longest file name the folder allows, in bytes.
long LongestNameIn(const std::filesystem::path& folder);

// ResourceFiles := the three sound names that are not blank, untrimmed, in field order.
void CollectResourceFiles(TkvxAppletAgent& agent);

// The report; a sound in notCopied is listed with the reason it was not copied.
std::string PublishReportText(TkvxAppletAgent& agent, const NotCopiedSounds& notCopied = {});
void MakePublishReport(TkvxAppletAgent& agent, const std::filesystem::path& folder, const std::string& reportName);

// Staging in the Preview folder. Only bare file names are ever copied or deleted there.
void CopyToPreviewFolder(TkvxAppletAgent& agent, const std::filesystem::path& previewFolder,
                         const std::filesystem::path& file);
void CopyLinkedFilesToPreview(TkvxAppletAgent& agent, const std::filesystem::path& previewFolder,
                              const std::filesystem::path& sourceFolder);
// Stages the document's sounds from sourceFolder under the rules publishing follows;
// returns a warning for each sound refused (neither copied nor recorded).
std::vector<std::string> CopyResourceFilesToPreview(TkvxAppletAgent& agent, const std::filesystem::path& previewFolder,
                                                    const std::filesystem::path& sourceFolder);
// Deletes the recorded files from the Preview folder and forgets them; the folder stays.
void ClearPreviewFolder(TkvxAppletAgent& agent, const std::filesystem::path& previewFolder);

}  // namespace qm
