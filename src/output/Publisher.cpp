#include "output/Publisher.h"

#include <algorithm>
#include <system_error>

#include "model/DocumentFiles.h"
#include "model/Error.h"
#include "model/FileDescriptor.h"
#include "model/FileSystem.h"
#include "model/LookValues.h"
#include "model/NameFolding.h"
#include "output/PageWriter.h"
#include "model/ProgressDisplay.h"
#include "model/SafeSave.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

const std::string kRule(77, '=');
constexpr std::string_view kNotFound = "not found";

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

// An open folder with the path it was opened by.
struct OpenFolder {
    fs::path path;
    FileDescriptor descriptor;
};

OpenFolder OpenFolderOrNone(const fs::path& path) {
    std::error_code error;
    auto descriptor = os::OpenFolder(path, error);
    return {path, std::move(descriptor)};
}

// Why a sound's name keeps it from being copied into a folder; empty when it may be.
// outputNames: the other files of the publish (none when staging).
std::string RefusalOfSoundName(const std::string& name, const std::vector<std::string>& outputNames, long nameMax) {
    if (HasControlCharacter(name)) return "its name holds a control character";
    if (!IsBareFileName(name)) return "its name is a path, not a file name";
    if (static_cast<long>(name.size()) > nameMax)
        return "its name is longer than " + std::to_string(nameMax) + " bytes";
    // Letter case and Unicode form are ignored: on a folder that ignores them (a
    // Windows share, a USB stick) the copy would replace the output all the same.
    const auto folded = FoldedFileName(name);
    for (const auto& output : outputNames)
        if (folded == FoldedFileName(output)) return "its name is that of another file of the publish";
    if (IsTemporaryFileName(name) || IsTemporaryFileName(FoldedFileName(name)))
        return "its name is one this program gives its temporary files";
    return {};
}

std::string NotCopiedWarning(std::string_view what, const std::string& name, std::string_view reason) {
    return std::string(what) + " '" + PrintableName(name) + "' is not copied: " + std::string(reason);
}

// An open regular file the user named (a link is followed), or a closed descriptor
// when there is none. Opened once and checked as opened; never blocks on a pipe.
FileDescriptor OpenRegularFile(const fs::path& path) {
    std::error_code error;
    auto file = os::OpenForReading(path, error);
    if (error || os::StatusOf(file, error).kind != os::FileKind::Regular || error) return {};
    return file;
}

// A sound's source in its folder: open when it may be copied, or the reason it may
// not ("not found" when it is missing). The name is opened once, below the folder,
// following a link only while it stays inside: a project archive cannot carry a link
// to a private file out with it, and swapping the sound for such a link while it is
// being published makes no difference.
struct SoundSource {
    FileDescriptor file;
    std::string refusal;
};

SoundSource OpenSoundSource(const OpenFolder& folder, const std::string& name) {
    SoundSource source;
    if (!folder.descriptor.IsOpen()) {
        source.refusal = kNotFound;
        return source;
    }
    std::error_code error;
    const auto home = fs::canonical(folder.path, error);
    auto file = os::OpenBelow(folder.descriptor, name, error ? folder.path : home, error);
    if (error == std::errc::no_such_file_or_directory) {
        source.refusal = kNotFound;
        return source;
    }
    if (error == std::errc::cross_device_link) {
        source.refusal = "it is a link to a file outside its folder";
        return source;
    }
    if (error) {
        source.refusal = "it cannot be read: " + error.message();
        return source;
    }
    const auto status = os::StatusOf(file, error);
    if (error || status.kind != os::FileKind::Regular)
        source.refusal = "it is not a regular file";
    else if (status.size > kMaximumFileSize)
        source.refusal = "it is larger than " + std::string(kMaximumFileSizeText);
    else
        source.file = std::move(file);
    return source;
}

// True when name in folder (not following a link there) is the open file itself.
bool IsSameFile(const OpenFolder& folder, const std::string& name, const FileDescriptor& file) {
    std::error_code named, open;
    const auto entry = os::StatusAt(folder.descriptor, name, named);
    const auto status = os::StatusOf(file, open);
    return folder.descriptor.IsOpen() && !named && !open && entry.SameFileAs(status);
}

// Copies overwrite their target and never report: a target that cannot be written
// leaves the target as it was.
bool CopyQuietly(const FileDescriptor& source, const fs::path& target) {
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

// "a", "a and b", "a, b and c".
std::string NamesInWords(const std::vector<std::string>& names) {
    std::string words;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) words += i + 1 == names.size() ? " and " : ", ";
        words += PrintableName(names[i]);
    }
    return words;
}

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

    // The companion files are opened first: without the linked ones a publish for the
    // command line is refused before anything is written.
    PublishResult result;
    auto companions = OpenCompanions(agent, folders, outputNames, LongestNameIn(folder));
    result.warnings = std::move(companions.warnings);

    // Then every output is added to the save, which checks its name and what it
    // replaces: nothing is written before the whole set passes. The save renames in
    // the order of adding, the project last, so that a new project file means a whole
    // new set.
    SafeSave save;
    const auto pageFile = save.Add(page);
    const auto target = OpenFolderOrNone(folder);
    std::vector<PlannedCopy> linkedCopies, soundCopies;
    for (auto& companion : companions.files) {
        if (IsSameFile(target, companion.name, companion.source)) continue;
        const auto file = save.Add(folder / companion.name);
        (companion.isSound ? soundCopies : linkedCopies)
            .push_back({folder / companion.name, std::move(companion.source), file});
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
        save.Copy(copy.file, copy.source);
        result.written.push_back(copy.target);
    }
    {
        ProgressScope scope(progress, "Saving Data ... ...");
        save.Begin(projectFile);
        agent.WriteProject([&](std::string_view part) { save.Append(projectFile, part); });
        save.End(projectFile);
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
            save.Copy(copy.file, copy.source);
            result.written.push_back(copy.target);
        }
        save.Commit();
        const auto program = OpenFolderOrNone(folders.programFolder);
        std::error_code ignored;
        for (const auto& linked : agent.LinkedFiles())
            if (linked.DeleteAfterCopy && program.descriptor.IsOpen())
                os::Remove(program.descriptor, linked.FileName, ignored);
        progress.AdvanceProgress(50);
        progress.AdvanceProgress(50);
    }
    return result;
}

Companions OpenCompanions(TkvxAppletAgent& agent, const PublishFolders& folders,
                          const std::vector<std::string>& outputNames, long nameMax) {
    Companions companions;
    std::vector<std::string> missing;
    for (const auto& linked : agent.LinkedFiles()) {
        auto source = OpenRegularFile(folders.programFolder / linked.FileName);
        if (source.IsOpen())
            companions.files.push_back({linked.FileName, std::move(source), false});
        else
            missing.push_back(linked.FileName);
    }
    const auto programFolder = PrintableName(DisplayPath(folders.programFolder));
    if (!missing.empty() && folders.companionsRequired)
        throw Error("cannot publish: " + NamesInWords(missing) + " not found beside the program, in " + programFolder);
    for (const auto& name : missing) {
        companions.warnings.push_back(
            NotCopiedWarning("companion file", name, std::string(kNotFound) + " in " + programFolder));
        companions.notCopied.emplace_back(name, kNotFound);
    }

    const auto sounds = OpenFolderOrNone(folders.previewFolder);
    std::vector<std::string> seen;
    CollectResourceFiles(agent);
    for (const auto& sound : agent.ResourceFiles()) {
        if (std::find(seen.begin(), seen.end(), sound) != seen.end()) continue;
        seen.push_back(sound);
        auto refusal = RefusalOfSoundName(sound, outputNames, nameMax);
        SoundSource source;
        if (refusal.empty()) {
            source = OpenSoundSource(sounds, sound);
            refusal = source.refusal;
        }
        if (!refusal.empty()) {
            companions.warnings.push_back(NotCopiedWarning("sound", sound, refusal));
            companions.notCopied.emplace_back(sound, std::move(refusal));
        } else {
            companions.files.push_back({sound, std::move(source.file), true});
        }
    }
    return companions;
}

long LongestNameIn(const fs::path& folder) {
    std::error_code error;
    const auto opened = os::OpenFolder(folder, error);
    return error ? 255 : os::LongestNameIn(opened);
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
    // A file that was not copied is listed with the reason, so that nobody looks for
    // it among the files to upload.
    const auto fileLine = [&](const std::string& name) {
        const auto refused = std::find_if(notCopied.begin(), notCopied.end(),
                                          [&name](const auto& entry) { return entry.first == name; });
        if (refused == notCopied.end())
            line("  " + name);
        else
            line("  " + PrintableName(name) + " (not copied: " + refused->second + ")");
    };
    progress.SetProgressMaximum(101);
    line("[Script/Flash file(s)]:");
    for (const auto& linked : agent.LinkedFiles()) {
        fileLine(linked.FileName);
        progress.AdvanceProgress(1);
    }
    line("");
    line("[Image and/or Sound File(s)]: They should be copied along with script files!");
    CollectResourceFiles(agent);
    std::vector<std::string> listed;
    for (const auto& sound : agent.ResourceFiles()) {
        if (sound.empty() || std::find(listed.begin(), listed.end(), sound) != listed.end()) continue;
        listed.push_back(sound);
        fileLine(sound);
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
        if (const auto source = OpenRegularFile(file); source.IsOpen()) CopyQuietly(source, target);
    agent.PreviewCopiedFiles().push_back(name.string());
}

void CopyLinkedFilesToPreview(TkvxAppletAgent& agent, const fs::path& previewFolder, const fs::path& sourceFolder) {
    const auto source = OpenFolderOrNone(sourceFolder);
    std::error_code ignored;
    for (const auto& linked : agent.LinkedFiles()) {
        CopyToPreviewFolder(agent, previewFolder, sourceFolder / linked.FileName);
        if (linked.DeleteAfterCopy && source.descriptor.IsOpen()) os::Remove(source.descriptor, linked.FileName, ignored);
    }
}

std::vector<std::string> CopyResourceFilesToPreview(TkvxAppletAgent& agent, const fs::path& previewFolder,
                                                    const fs::path& sourceFolder) {
    auto& progress = agent.Progress();
    ProgressScope scope(progress, "Copying Resource Files ... ...");
    progress.SetProgressMaximum(100);
    std::vector<std::string> warnings;
    const auto source = OpenFolderOrNone(sourceFolder);
    const auto preview = OpenFolderOrNone(previewFolder);
    const long nameMax = preview.descriptor.IsOpen() ? os::LongestNameIn(preview.descriptor) : 255;
    CollectResourceFiles(agent);
    for (const auto& sound : agent.ResourceFiles()) {
        auto refusal = RefusalOfSoundName(sound, {}, nameMax);
        SoundSource opened;
        if (refusal.empty()) {
            opened = OpenSoundSource(source, sound);
            refusal = opened.refusal;
        }
        // A sound that is not there is not staged, quietly: preview looks for sounds in
        // the program's folder, where most are not; publishing reports it.
        if (!refusal.empty() && refusal != kNotFound) {
            warnings.push_back(NotCopiedWarning("sound", sound, refusal));
            continue;
        }
        if (opened.file.IsOpen() && !SamePathIgnoringCase(sourceFolder / sound, previewFolder / sound))
            CopyQuietly(opened.file, previewFolder / sound);
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
