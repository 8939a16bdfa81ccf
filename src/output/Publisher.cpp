#include "Publisher.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "LookValues.h"
#include "PageWriter.h"
#include "ProgressDisplay.h"
#include "SafeSave.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

const std::string kRule(77, '=');

// A sound field is meant to hold a bare file name. Anything with a folder part, a
// drive or a parent reference is listed as typed but never copied or deleted, so a
// project cannot make publishing touch files outside its folders.
bool IsBareFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of("/\\:") == std::string::npos;
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

// Copies overwrite their target and never report: a missing source or a target that
// cannot be written leaves the target as it was. A copy onto itself does nothing.
bool CopyQuietly(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    if (!fs::is_regular_file(source, ec) || SameFile(source, target)) return false;
    std::ifstream in(source, std::ios::binary);
    if (!in) return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    try {
        SaveFileSafely(target, bytes);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void DeleteQuietly(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
}

bool SamePathIgnoringCase(const fs::path& a, const fs::path& b) {
    auto lower = [](std::string s) {
        s = TrimBlanks(s);
        for (auto& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    return lower(a.lexically_normal().string()) == lower(b.lexically_normal().string());
}

}  // namespace

std::string ProjectStem(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

std::vector<fs::path> SaveAndPublish(TkvxAppletAgent& agent, const fs::path& folder, const std::string& fileName,
                                     const PublishFolders& folders) {
    std::vector<fs::path> written;
    const auto stem = ProjectStem(fileName);

    // The page comes first: making it refreshes levels, parents and converted links,
    // which the project file must hold.
    const auto page = folder / (stem + ".html");
    MakeHtmlCodes(agent, page);
    written.push_back(page);

    for (const auto& linked : agent.LinkedFiles())
        if (CopyQuietly(folders.programFolder / linked.FileName, folder / linked.FileName))
            written.push_back(folder / linked.FileName);

    const auto project = folder / (stem + ".zorbel");
    agent.SaveProject(project);
    written.push_back(project);

    const auto reportName = stem + "_PublishReport.txt";
    MakePublishReport(agent, folder, reportName);
    written.push_back(folder / reportName);

    {
        auto& progress = agent.Progress();
        ProgressScope scope(progress, "Copying Publishable Files ... ...");
        progress.SetProgressMaximum(100);
        CollectResourceFiles(agent);
        for (const auto& sound : agent.ResourceFiles()) {
            const auto target = folder / sound;
            if (IsBareFileName(sound) && CopyQuietly(folders.previewFolder / sound, target) &&
                std::find(written.begin(), written.end(), target) == written.end())
                written.push_back(target);
        }
        for (const auto& linked : agent.LinkedFiles())
            if (linked.DeleteAfterCopy) DeleteQuietly(folders.programFolder / linked.FileName);
        progress.AdvanceProgress(50);
        progress.AdvanceProgress(50);
    }
    return written;
}

void CollectResourceFiles(TkvxAppletAgent& agent) {
    auto& resources = agent.ResourceFiles();
    resources.clear();
    const auto& look = agent.AppletData();
    for (const auto* sound : {&look.mainItemHoverSound, &look.subItemHoverSound, &look.itemActiveSound})
        if (!TrimBlanks(*sound).empty()) resources.push_back(*sound);
}

std::string PublishReportText(TkvxAppletAgent& agent) {
    auto& progress = agent.Progress();
    std::string out;
    const auto line = [&out](std::string_view text) {
        out += text;
        out += "\r\n";
    };
    line(kRule);
    line("This file includes a list of filename and you need to upload them to Web server");
    line("to get the script to work. All these files are saved into the same directory along");
    line("with the project file (*.zorbel) as well as this file.");
    line("");
    line(kRule);
    line("");
    progress.SetProgressMaximum(101);
    line("[Script/Flash file(s)]:");
    for (const auto& linked : agent.LinkedFiles()) {
        line("  " + linked.FileName);
        progress.AdvanceProgress(1);
    }
    line("");
    line("[Image and/or Sound File(s)]: They should be copied along with script files!");
    CollectResourceFiles(agent);
    std::vector<std::string> listed;
    for (const auto& sound : agent.ResourceFiles()) {
        if (sound.empty() || std::find(listed.begin(), listed.end(), sound) != listed.end()) continue;
        listed.push_back(sound);
        line("  " + sound);
    }
    progress.AdvanceProgress(50);
    progress.AdvanceProgress(50);
    line("");
    line("");
    line(kRule);
    line("End of Publish Report");
    line(kRule);
    return out;
}

void MakePublishReport(TkvxAppletAgent& agent, const fs::path& folder, const std::string& reportName) {
    ProgressScope scope(agent.Progress(), "Making Publish Report ... ...");
    SaveFileSafely(folder / reportName, PublishReportText(agent));
}

void CopyToPreviewFolder(TkvxAppletAgent& agent, const fs::path& previewFolder, const fs::path& file) {
    const auto name = file.filename();
    if (name.empty()) return;
    const auto target = previewFolder / name;
    if (!SamePathIgnoringCase(file, target)) CopyQuietly(file, target);
    agent.PreviewCopiedFiles().push_back(name.string());
}

void CopyLinkedFilesToPreview(TkvxAppletAgent& agent, const fs::path& previewFolder, const fs::path& sourceFolder) {
    for (const auto& linked : agent.LinkedFiles()) {
        CopyToPreviewFolder(agent, previewFolder, sourceFolder / linked.FileName);
        if (linked.DeleteAfterCopy) DeleteQuietly(sourceFolder / linked.FileName);
    }
}

void CopyResourceFilesToPreview(TkvxAppletAgent& agent, const fs::path& previewFolder, const fs::path& sourceFolder) {
    auto& progress = agent.Progress();
    ProgressScope scope(progress, "Copying Resource Files ... ...");
    progress.SetProgressMaximum(100);
    CollectResourceFiles(agent);
    for (const auto& sound : agent.ResourceFiles())
        if (IsBareFileName(sound)) CopyToPreviewFolder(agent, previewFolder, sourceFolder / sound);
    progress.AdvanceProgress(50);
    progress.AdvanceProgress(50);
}

void ClearPreviewFolder(TkvxAppletAgent& agent, const fs::path& previewFolder) {
    std::error_code ec;
    for (const auto& name : agent.PreviewCopiedFiles())
        if (IsBareFileName(name) && fs::is_regular_file(previewFolder / name, ec))
            DeleteQuietly(previewFolder / name);
    agent.PreviewCopiedFiles().clear();
    // The folder itself stays: every later staging asks for it again, and removing and
    // making it anew costs more than all the rest of opening a document.
}

}  // namespace qm
