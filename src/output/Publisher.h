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
    // Whether a linked file missing from programFolder refuses the publish before
    // anything is written (the command-line tool), or is reported among the warnings
    // and in the report as not copied (the window, whose save must not fail for it).
    bool companionsRequired = false;
};

struct PublishResult {
    // Every file written or copied: the page, the linked files, the project, the
    // report and the sounds, in this order.
    std::vector<std::filesystem::path> written;
    // One line for each file that was not copied: "sound 'x.mp3' is not copied: it is
    // a link to a file outside its folder", "sound 'y.mp3' is not copied: not found",
    // "companion file 'swfhelper.js' is not copied: not found in /opt/quillamere".
    std::vector<std::string> warnings;
};

// Files not copied (sounds refused or missing, linked files missing): name and why.
using NotCopiedSounds = std::vector<std::pair<std::string, std::string>>;

// The stem of a project file name: without its extension (the last "." and what
// follows) when it has one.
std::string ProjectStem(const std::string& fileName);

// Publishes into folder: stem.html, the linked files, stem.zorbel,
// stem_PublishReport.txt and the sounds. Every name of the set and every file it would
// replace are checked before anything is written; every file is then written beside
// its target and, once all are written, renamed over it (the project last) under the
// folder's commit lock, so that a failure, a crash or another publisher leaves the set
// old or new. The outputs are regular files in the folder: a link in an output's place
// is replaced, except the project file when it is a link of the user's own.
// A sound is opened once, below folders.previewFolder (links followed only while they
// stay inside it), and copied from what was opened when it is a regular file within
// the size limit whose name is no path and no name of another output or of a
// temporary file (letter case and Unicode form ignored); the others, a missing one
// too, are listed in the report as not copied and in the result's warnings.
// Throws qm::Error naming the file when a name is too long for the folder, an output
// is a folder or a file that cannot be replaced, or a file cannot be written or
// renamed; and, before anything is written, naming the missing linked files and their
// folder when folders.companionsRequired.
PublishResult SaveAndPublish(TkvxAppletAgent& agent, const std::filesystem::path& folder, const std::string& fileName,
                             const PublishFolders& folders);

// The files every page of the menu needs beside it, open for copying: the linked files
// found in folders.programFolder (a missing one is refused when
// folders.companionsRequired, as SaveAndPublish says, else listed as not copied), then
// each sound of the document once, from folders.previewFolder, under the rules
// SaveAndPublish follows.
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
    std::vector<std::string> warnings;  // one for each file not copied
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
