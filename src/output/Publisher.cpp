#include "output/Publisher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <system_error>

#include "model/DocumentFiles.h"
#include "model/Error.h"
#include "model/FileDescriptor.h"
#include "model/LookValues.h"
#include "output/PageWriter.h"
#include "model/ProgressDisplay.h"
#include "model/SafeSave.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

const std::string kRule(77, '=');
constexpr long kUsualNameMax = 255;

// A sound field is meant to hold a bare file name. Anything with a folder part, a
// drive or a parent reference is listed as typed but never copied or deleted, so a
// project cannot make publishing touch files outside its folders.
bool IsBareFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of("/\\:") == std::string::npos;
}

bool HasControlCharacter(const std::string& name) {
    return std::any_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// A name as it can be shown in a message or the report: control characters as \xNN.
std::string PrintableName(const std::string& name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            out += std::string("\\x") + kHex[u >> 4] + kHex[u & 0xF];
        else
            out += c;
    }
    return out;
}

long NameMaxOf(const fs::path& folder) {
    const long most = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return most > 0 ? most : kUsualNameMax;
}

// Why a sound's name keeps it from being copied into a folder; empty when it may be.
// outputNames: the other files of the publish (none when staging).
std::string RefusalOfSoundName(const std::string& name, const std::vector<std::string>& outputNames, long nameMax) {
    if (HasControlCharacter(name)) return "its name holds a control character";
    if (!IsBareFileName(name)) return "its name is a path, not a file name";
    if (static_cast<long>(name.size()) > nameMax)
        return "its name is longer than " + std::to_string(nameMax) + " bytes";
    // Letter case is ignored: on a folder that ignores it (a Windows share) the copy
    // would replace the output all the same.
    for (const auto& output : outputNames)
        if (SameNameIgnoringCase(name, output)) return "its name is that of another file of the publish";
    if (IsTemporaryFileName(name)) return "its name is one this program gives its temporary files";
    return {};
}

std::string SoundWarning(const std::string& name, const std::string& reason) {
    return "sound '" + PrintableName(name) + "' is not copied: " + reason;
}

bool IsInside(const fs::path& path, const fs::path& folder) {
    const auto [inFolder, inPath] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return inFolder == folder.end() && inPath != path.end();
}

// An open regular file (a link is followed: the caller named the file), or a closed
// descriptor when there is none. Never blocks on a pipe or touches a device.
FileDescriptor OpenRegularFile(const fs::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsOpen() || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
    return file;
}

// A sound's source in its folder: open when it may be copied, or the reason it may
// not; neither when it is missing or cannot be read (skipped without a word, as a
// missing source always was). A link is followed only when it stays inside the
// folder: a project archive cannot carry a link to a private file out with it.
struct SoundSource {
    FileDescriptor file;
    std::string refusal;
};

SoundSource OpenSoundSource(const fs::path& folder, const std::string& name) {
    SoundSource source;
    const auto path = folder / name;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return source;
    if (S_ISLNK(status.st_mode)) {
        std::error_code ec;
        const auto home = fs::canonical(folder, ec);
        if (ec) return source;
        const auto resolved = fs::canonical(path, ec);
        if (ec) return source;  // a link to nothing: missing
        if (!IsInside(resolved, home)) {
            source.refusal = "it is a link to a file outside its folder";
            return source;
        }
        if (::stat(resolved.c_str(), &status) != 0) return source;
    }
    if (!S_ISREG(status.st_mode)) {
        source.refusal = "it is not a regular file";
        return source;
    }
    source.file = OpenRegularFile(path);
    return source;
}

// True when target (not following a link there) is the open file itself.
bool IsSameFile(const fs::path& target, int descriptor) {
    struct stat named {}, open {};
    return ::lstat(target.c_str(), &named) == 0 && ::fstat(descriptor, &open) == 0 && named.st_dev == open.st_dev &&
           named.st_ino == open.st_ino;
}

// Copies overwrite their target and never report: a target that cannot be written
// leaves the target as it was. A copy onto itself does nothing.
bool CopyQuietly(int source, const fs::path& target) {
    if (IsSameFile(target, source)) return false;
    try {
        SafeSave save;
        save.Copy(save.Add(target), source);
        save.Commit();
        return true;
    } catch (const Error&) {
        return false;
    }
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

struct PlannedCopy {
    fs::path target;
    FileDescriptor source;
    SafeSave::FileId file;
};

}  // namespace

std::string ProjectStem(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

PublishResult SaveAndPublish(TkvxAppletAgent& agent, const fs::path& folder, const std::string& fileName,
                             const PublishFolders& folders) {
    auto& progress = agent.Progress();
    const auto stem = ProjectStem(fileName);
    const auto page = folder / (stem + ".html");
    const auto project = folder / (stem + ".zorbel");
    const auto report = folder / (stem + "_PublishReport.txt");
    std::vector<std::string> outputNames = {page.filename().string(), project.filename().string(),
                                            report.filename().string()};
    for (const auto& linked : agent.LinkedFiles()) outputNames.push_back(linked.FileName);

    // First every output is added to the save, which checks its name and what it
    // replaces: nothing is written before the whole set passes. The save renames in
    // the order of adding, the project last, so that a new project file means a whole
    // new set.
    SafeSave save;
    const auto pageFile = save.Add(page);
    PublishResult result;
    auto companions = OpenCompanions(agent, folders, outputNames, NameMaxOf(folder));
    result.warnings = std::move(companions.warnings);
    std::vector<PlannedCopy> linkedCopies, soundCopies;
    for (auto& companion : companions.files) {
        const auto target = folder / companion.name;
        if (IsSameFile(target, companion.source.Get())) continue;
        const auto file = save.Add(target);
        (companion.isSound ? soundCopies : linkedCopies).push_back({target, std::move(companion.source), file});
    }
    const auto reportFile = save.Add(report);
    const auto projectFile = save.Add(project, LinkAtTarget::FollowOwnLink);

    // The page comes first: making it refreshes levels, parents and converted links,
    // which the project file must hold.
    save.Begin(pageFile);
    WriteHtml(agent, [&](std::string_view part) { save.Append(pageFile, part); });
    save.End(pageFile);
    result.written.push_back(page);
    for (auto& copy : linkedCopies) {
        save.Copy(copy.file, copy.source.Get());
        result.written.push_back(copy.target);
    }
    {
        ProgressScope scope(progress, "Saving Data ... ...");
        std::string scratch;
        save.Write(projectFile, agent.ProjectText(scratch));
    }
    result.written.push_back(project);
    {
        ProgressScope scope(progress, "Making Publish Report ... ...");
        save.Write(reportFile, PublishReportText(agent, companions.notCopied));
    }
    result.written.push_back(report);
    {
        ProgressScope scope(progress, "Copying Publishable Files ... ...");
        progress.SetProgressMaximum(100);
        for (auto& copy : soundCopies) {
            save.Copy(copy.file, copy.source.Get());
            result.written.push_back(copy.target);
        }
        save.Commit();
        for (const auto& linked : agent.LinkedFiles())
            if (linked.DeleteAfterCopy) ::unlink((folders.programFolder / linked.FileName).c_str());
        progress.AdvanceProgress(50);
        progress.AdvanceProgress(50);
    }
    return result;
}

Companions OpenCompanions(TkvxAppletAgent& agent, const PublishFolders& folders,
                          const std::vector<std::string>& outputNames, long nameMax) {
    Companions companions;
    for (const auto& linked : agent.LinkedFiles()) {
        auto source = OpenRegularFile(folders.programFolder / linked.FileName);
        if (source.IsOpen()) companions.files.push_back({linked.FileName, std::move(source), false});
    }
    std::vector<std::string> seen;
    CollectResourceFiles(agent);
    for (const auto& sound : agent.ResourceFiles()) {
        if (std::find(seen.begin(), seen.end(), sound) != seen.end()) continue;
        seen.push_back(sound);
        auto refusal = RefusalOfSoundName(sound, outputNames, nameMax);
        SoundSource source;
        if (refusal.empty()) {
            source = OpenSoundSource(folders.previewFolder, sound);
            refusal = source.refusal;
        }
        if (!refusal.empty()) {
            companions.warnings.push_back(SoundWarning(sound, refusal));
            companions.notCopied.emplace_back(sound, std::move(refusal));
        } else if (source.file.IsOpen()) {
            companions.files.push_back({sound, std::move(source.file), true});
        }
    }
    return companions;
}

long LongestNameIn(const fs::path& folder) {
    return NameMaxOf(folder);
}

void CollectResourceFiles(TkvxAppletAgent& agent) {
    auto& resources = agent.ResourceFiles();
    resources.clear();
    const auto& look = agent.AppletData();
    for (const auto* sound : {&look.mainItemHoverSound, &look.subItemHoverSound, &look.itemActiveSound})
        if (!TrimBlanks(*sound).empty()) resources.push_back(*sound);
}

std::string PublishReportText(TkvxAppletAgent& agent, const NotCopiedSounds& notCopied) {
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
        const auto refused = std::find_if(notCopied.begin(), notCopied.end(),
                                          [&sound](const auto& entry) { return entry.first == sound; });
        if (refused == notCopied.end())
            line("  " + sound);
        else
            line("  " + PrintableName(sound) + " (not copied: " + refused->second + ")");
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
    if (!SamePathIgnoringCase(file, target))
        if (const auto source = OpenRegularFile(file); source.IsOpen()) CopyQuietly(source.Get(), target);
    agent.PreviewCopiedFiles().push_back(name.string());
}

void CopyLinkedFilesToPreview(TkvxAppletAgent& agent, const fs::path& previewFolder, const fs::path& sourceFolder) {
    for (const auto& linked : agent.LinkedFiles()) {
        CopyToPreviewFolder(agent, previewFolder, sourceFolder / linked.FileName);
        if (linked.DeleteAfterCopy) ::unlink((sourceFolder / linked.FileName).c_str());
    }
}

std::vector<std::string> CopyResourceFilesToPreview(TkvxAppletAgent& agent, const fs::path& previewFolder,
                                                    const fs::path& sourceFolder) {
    auto& progress = agent.Progress();
    ProgressScope scope(progress, "Copying Resource Files ... ...");
    progress.SetProgressMaximum(100);
    std::vector<std::string> warnings;
    CollectResourceFiles(agent);
    for (const auto& sound : agent.ResourceFiles()) {
        auto refusal = RefusalOfSoundName(sound, {}, NameMaxOf(previewFolder));
        SoundSource source;
        if (refusal.empty()) {
            source = OpenSoundSource(sourceFolder, sound);
            refusal = source.refusal;
        }
        if (!refusal.empty()) {
            warnings.push_back(SoundWarning(sound, refusal));
            continue;
        }
        if (source.file.IsOpen() && !SamePathIgnoringCase(sourceFolder / sound, previewFolder / sound))
            CopyQuietly(source.file.Get(), previewFolder / sound);
        agent.PreviewCopiedFiles().push_back(sound);
    }
    progress.AdvanceProgress(50);
    progress.AdvanceProgress(50);
    return warnings;
}

void ClearPreviewFolder(TkvxAppletAgent& agent, const fs::path& previewFolder) {
    std::error_code ec;
    for (const auto& name : agent.PreviewCopiedFiles())
        if (IsBareFileName(name) && fs::is_regular_file(previewFolder / name, ec)) fs::remove(previewFolder / name, ec);
    agent.PreviewCopiedFiles().clear();
    // The folder itself stays: every later staging asks for it again, and removing and
    // making it anew costs more than all the rest of opening a document.
}

}  // namespace qm
