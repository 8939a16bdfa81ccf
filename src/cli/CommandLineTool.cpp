#include "cli/CommandLineTool.h"
#include "cli/SiteCommands.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "model/DocumentFiles.h"
#include "model/Error.h"
#include "model/LookValues.h"
#include "output/PageWriter.h"
#include "output/Publisher.h"
#include "model/TextFile.h"
#include "model/TkvxAppletAgent.h"

namespace qm {

namespace {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

constexpr const char* kUsageText =
    "Usage: quillamere-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  check FILE...                 read each project (.zorbel) or menu structure (.gms)\n"
    "                                file, by its content, and report what it holds\n"
    "  export PROJECT.zorbel OUT.gms write the menu structure of a project\n"
    "  import MENU.gms OUT.zorbel    write a project with the default look and the\n"
    "                                items of a menu structure file\n"
    "  publish PROJECT.zorbel [--to FOLDER]\n"
    "                                publish a project as the window's Save does: the\n"
    "                                page, zelvanbar.swf, swfhelper.js, the project,\n"
    "                                the publish report and the sounds (taken from the\n"
    "                                project's folder) into FOLDER (default: the\n"
    "                                project's folder, made when missing); lists the\n"
    "                                files written\n"
    "  page PROJECT.zorbel           write the page to standard output, touching no file\n"
    "  site PROJECT.zorbel [--site DIR] [--dry-run]\n"
    "                                write the menu into every page of the site (default:\n"
    "                                the project's site folder) between the markers\n"
    "                                <!-- Quillamere menu --> and <!-- End of Quillamere\n"
    "                                menu -->, or around a menu pasted from an earlier\n"
    "                                publish, with the movie, the script and the sounds\n"
    "                                at the site's root; --dry-run writes nothing\n"
    "  site PROJECT.zorbel --undo [--site DIR]\n"
    "                                put back the pages the last site publish changed\n"
    "  check PROJECT.zorbel --links [--site DIR]\n"
    "                                report the items whose links lead to no page of the\n"
    "                                site (or no place in it)\n"
    "  from-site DIR OUT.zorbel      write a project whose items are the site's pages\n"
    "  import-nav PAGE.html OUT.zorbel\n"
    "                                write a project whose items are the page's navigation\n"
    "  --help                        show this text\n"
    "  --version                     show the version\n"
    "\n"
    "Exit status: 0 done, 1 a file was refused or could not be written, 2 wrong usage.\n";

bool leaveDocumentsToProcessEnd = false;

// The document a command was done with last, when documents are left to the end of
// the process. Reachable through a pointer that is never freed, so nothing tears it down.
std::unique_ptr<TkvxAppletAgent>& KeptDocument() {
    static auto* kept = new std::unique_ptr<TkvxAppletAgent>();
    return *kept;
}

// A command is done with a document: freed now, or kept for the end of the process
// (replacing the one kept before, so a check of many files holds one at a time).
void DoneWith(std::unique_ptr<TkvxAppletAgent> agent) {
    if (leaveDocumentsToProcessEnd) KeptDocument() = std::move(agent);
}

std::string CountsText(const TkvxAppletAgent& agent) {
    const auto& depths = agent.Depths();
    const int mains = static_cast<int>(std::count(depths.begin(), depths.end(), 0));
    const int subs = agent.ItemCount() - mains;
    return std::to_string(agent.ItemCount()) + (agent.ItemCount() == 1 ? " item" : " items") + " (" +
           std::to_string(mains) + " main, " + std::to_string(subs) + " sub)";
}

// The output cannot be written: the command stops, and the output's owner says why.
struct OutputFailed {};

void PrintWarnings(const std::string& path, const LoadReport& report, std::ostream& err) {
    for (const auto& warning : report.Warnings()) err << PrintableName(path) << ": warning: " << warning << "\n";
}

int Check(const std::vector<std::string>& files, std::ostream& out, std::ostream& err) {
    if (files.empty()) {
        err << "quillamere-cli check: no file named\n" << kUsageText;
        return kUsage;
    }
    int status = kDone;
    for (const auto& path : files) {
        try {
            auto file = TextFile::Read(path);
            const bool menuStructure = DetectDocumentFileKind(file) == DocumentFileKind::MenuStructure;
            auto document = menuStructure ? ParseMenuStructureFile(std::move(file), path)
                                          : ParseProjectFile(std::move(file), path);
            const auto report = document.report;
            auto agent = std::make_unique<TkvxAppletAgent>();
            agent->ReplaceDocument(std::move(document));
            out << PrintableName(path) << ": " << (menuStructure ? "menu structure" : "project") << ", "
                << CountsText(*agent);
            for (const auto& warning : report.Warnings()) out << "; warning: " << warning;
            out << "\n";
            DoneWith(std::move(agent));
        } catch (const Error& error) {
            err << error.what() << "\n";
            status = kRefused;
        }
    }
    return status;
}

int Export(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "quillamere-cli export: expects PROJECT.zorbel OUT.gms\n" << kUsageText;
        return kUsage;
    }
    auto agent = std::make_unique<TkvxAppletAgent>();
    PrintWarnings(args[0], agent->LoadProject(args[0]), err);
    agent->ExportMenuStructure(args[1]);
    out << PrintableName(args[1]) << "\n";
    DoneWith(std::move(agent));
    return kDone;
}

int Import(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "quillamere-cli import: expects MENU.gms OUT.zorbel\n" << kUsageText;
        return kUsage;
    }
    auto agent = std::make_unique<TkvxAppletAgent>();
    PrintWarnings(args[0], agent->ImportMenuStructure(args[0]), err);
    agent->SaveProject(args[1]);
    out << PrintableName(args[1]) << "\n";
    DoneWith(std::move(agent));
    return kDone;
}

// The target folder of publish --to, made with its parents when it is missing, as every
// publishing tool does. Only a path that is no folder and cannot become one is refused.
void MakeTargetFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return;
    if (std::filesystem::exists(folder, ec)) throw Error(DisplayPath(folder), 0, "this is a file, not a folder");
    if (!std::filesystem::create_directories(folder, ec) && ec)
        throw Error(DisplayPath(folder), 0, "cannot create the folder: " + ec.message());
}

int Publish(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const std::string& programFolder) {
    std::string project;
    std::string target;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--to" && i + 1 < args.size() && target.empty()) {
            target = args[++i];
        } else if (project.empty() && args[i] != "--to") {
            project = args[i];
        } else {
            err << "quillamere-cli publish: expects PROJECT.zorbel [--to FOLDER]\n" << kUsageText;
            return kUsage;
        }
    }
    if (project.empty()) {
        err << "quillamere-cli publish: expects PROJECT.zorbel [--to FOLDER]\n" << kUsageText;
        return kUsage;
    }
    auto agent = std::make_unique<TkvxAppletAgent>();
    LoadForPublishing(*agent, project, err);
    const auto projectPath = std::filesystem::absolute(project);
    const auto folder = target.empty() ? projectPath.parent_path() : std::filesystem::path(target);
    MakeTargetFolder(folder);
    // Without the movie and the script the published page shows no menu: refused.
    const PublishFolders folders{programFolder, projectPath.parent_path(), true};
    const auto published = SaveAndPublish(*agent, folder, projectPath.filename().string(), folders);
    for (const auto& warning : published.warnings) err << PrintableName(project) << ": warning: " << warning << "\n";
    for (const auto& file : published.written) out << PrintableName(DisplayPath(file)) << "\n";
    DoneWith(std::move(agent));
    return kDone;
}

int Page(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "quillamere-cli page: expects PROJECT.zorbel\n" << kUsageText;
        return kUsage;
    }
    auto agent = std::make_unique<TkvxAppletAgent>();
    LoadForPublishing(*agent, args[0], err);
    WriteHtml(*agent, [&out](std::string_view part) {
        // A page of millions of items is not made to the end for an output that fails.
        if (!out.write(part.data(), static_cast<std::streamsize>(part.size()))) throw OutputFailed{};
    });
    out.flush();
    DoneWith(std::move(agent));
    return kDone;
}

}  // namespace

// The reader has refused any look value that cannot be converted.
void LoadForPublishing(TkvxAppletAgent& agent, const std::string& path, std::ostream& err) {
    PrintWarnings(path, agent.LoadProject(path), err);
    agent.SetAppletData(NormalizeAppletData(agent.AppletData()));
}

void LeaveDocumentsToProcessEnd() {
    leaveDocumentsToProcessEnd = true;
}

std::string RunningProgramFolder() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}

int RunCommandLineTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                       const std::string& programFolder) {
    if (arguments.empty()) {
        err << kUsageText;
        return kUsage;
    }
    const auto& command = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsageText;
        return kDone;
    }
    if (command == "--version") {
        out << "quillamere-cli 1.0\n";
        return kDone;
    }
    using Command = std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)>;
    const std::map<std::string, Command> commands = {
        {"check",
         [](const std::vector<std::string>& args, std::ostream& o, std::ostream& e) {
             const bool links = std::find(args.begin(), args.end(), "--links") != args.end();
             return links ? CheckLinksCommand(args, o, e) : Check(args, o, e);
         }},
        {"from-site", FromSiteCommand},
        {"import-nav", ImportNavigationCommand},
        {"export", Export},
        {"import", Import},
        {"page", Page},
        {"publish",
         [&programFolder](const std::vector<std::string>& args, std::ostream& o, std::ostream& e) {
             return Publish(args, o, e, programFolder.empty() ? RunningProgramFolder() : programFolder);
         }},
        {"site",
         [&programFolder](const std::vector<std::string>& args, std::ostream& o, std::ostream& e) {
             return PublishToSiteCommand(args, o, e, programFolder.empty() ? RunningProgramFolder() : programFolder);
         }},
    };
    const auto found = commands.find(command);
    if (found == commands.end()) {
        err << "quillamere-cli: unknown command '" << PrintableName(command) << "'\n" << kUsageText;
        return kUsage;
    }
    try {
        const int status = found->second(rest, out, err);
        out.flush();
        return out ? status : kRefused;
    } catch (const OutputFailed&) {
        return kRefused;
    } catch (const Error& error) {
        err << error.what() << "\n";
        return kRefused;
    } catch (const std::exception& error) {
        err << "quillamere-cli: " << error.what() << "\n";
        return kRefused;
    }
}

}  // namespace qm
