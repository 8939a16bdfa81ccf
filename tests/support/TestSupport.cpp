#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

extern char** environ;

namespace qm::test {

fs::path FixturesFolder() { return QUILLAMERE_FIXTURES; }
fs::path CompanionFolder() { return QUILLAMERE_COMPANION; }
std::string CliProgram() { return QUILLAMERE_CLI; }

TempFolder::TempFolder() {
    std::random_device random;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "quillamere-core-";
    if (info) name += std::string(info->name()).substr(0, 40) + "-";
    for (auto& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') c = '_';
    path_ = fs::temp_directory_path() / (name + std::to_string(random()));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::vector<std::string> TempFolder::Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot open " << file;
    std::ostringstream bytes;
    if (in.good() && in.peek() != std::ifstream::traits_type::eof()) bytes << in.rdbuf();
    return std::move(bytes).str();
}

void WriteBytes(const fs::path& file, std::string_view bytes) {
    std::error_code ec;
    if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << file;
}

std::string CrLfText(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    EXPECT_EQ(start, text.size()) << "the text does not end with CR LF";
    return lines;
}

DocumentSnapshot Snapshot(const TkvxAppletAgent& agent) {
    return {agent.AppletData(), agent.Items(), agent.LinkedFiles(), agent.PreviewCopiedFiles(),
            agent.ResourceFiles()};
}

namespace {
void AppendShape(const TkvxAppletAgent& agent, int node, std::string& out) {
    const auto children = agent.ChildNodes(node);
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (i > 0) out += node == kRootNode ? "; " : ", ";
        out += agent.Items()[children[i]].Text;
        if (agent.ChildCount(children[i]) > 0) {
            out += "(";
            AppendShape(agent, children[i], out);
            out += ")";
        }
    }
}
}  // namespace

std::string TreeShape(const TkvxAppletAgent& agent) {
    std::string out;
    AppendShape(agent, kRootNode, out);
    return out;
}

void RecordingProgress::SetStatusText(std::string_view text) { statusTexts.emplace_back(text); }

namespace {
pid_t Spawn(const std::vector<std::string>& arguments, const std::string& outPath, const std::string& errPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}
}  // namespace

ProcessResult RunProgram(const std::vector<std::string>& arguments) {
    TempFolder folder;
    auto result = RunProgram(arguments, folder / "stdout");
    result.out = ReadBytes(folder / "stdout");
    return result;
}

ProcessResult RunProgram(const std::vector<std::string>& arguments, const fs::path& standardOutput) {
    TempFolder folder;
    const auto outPath = standardOutput.string();
    const auto errPath = (folder / "stderr").string();
    ProcessResult result;
    const pid_t pid = Spawn(arguments, outPath, errPath);
    if (pid < 0) {
        ADD_FAILURE() << "cannot start " << arguments.front();
        return result;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.err = ReadBytes(errPath);
    return result;
}

pid_t StartProgram(const std::vector<std::string>& arguments) {
    return Spawn(arguments, "/dev/null", "/dev/null");
}

namespace {
bool EnterPrivateMountNamespace() {
    static const bool entered = [] {
        if (::geteuid() != 0) return false;
        if (::unshare(CLONE_NEWNS) != 0) return false;
        // Keep every mount of this process to itself.
        return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }();
    return entered;
}
}  // namespace

ScopedMount ScopedMount::Tmpfs(const fs::path& folder, std::string_view options) {
    ScopedMount mount(folder);
    if (!EnterPrivateMountNamespace()) return mount;
    fs::create_directories(folder);
    const std::string data(options);
    mount.mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, data.c_str()) == 0;
    return mount;
}

ScopedMount ScopedMount::Bind(const fs::path& source, const fs::path& target) {
    ScopedMount mount(target);
    if (!EnterPrivateMountNamespace()) return mount;
    mount.mounted_ = ::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0;
    return mount;
}

ScopedMount::~ScopedMount() {
    if (mounted_) ::umount2(target_.c_str(), MNT_DETACH);
}

bool ScopedMount::MakeReadOnly() {
    return mounted_ && ::mount(nullptr, target_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

}  // namespace qm::test
