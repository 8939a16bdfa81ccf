#pragma once
// What every test program shares, on the standard library alone: where the fixtures,
// the companion files and the command-line tool are, a fresh folder per test,
// byte-exact file access, a progress display that records what it was told, document
// snapshots, running programs, and the means to make a folder read-only or a disk full
// where the machine allows it.

#include <sys/types.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/MenuRecords.h"
#include "model/ProgressDisplay.h"
#include "model/TkvxAppletAgent.h"

namespace qm::test {

namespace fs = std::filesystem;

// tests/fixtures in the source tree: input files beside their expected output.
fs::path FixturesFolder();
// The companion files in the source tree (companion/).
fs::path CompanionFolder();
// The built command-line tool.
std::string CliProgram();

// A new empty folder under the system's temporary folder, removed with everything in
// it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& Path() const { return path_; }
    fs::path operator/(std::string_view name) const { return path_ / name; }
    // Names of the entries in the folder, sorted; hidden ones included.
    std::vector<std::string> Entries() const;

private:
    fs::path path_;
};

std::string ReadBytes(const fs::path& file);
// Creates the file's folder when it is missing.
void WriteBytes(const fs::path& file, std::string_view bytes);
// Lines joined, each followed by CR LF.
std::string CrLfText(const std::vector<std::string>& lines);
// A CR LF text split into its lines (an unterminated tail is reported as a failure).
std::vector<std::string> CrLfLines(const std::string& text);

// Everything the document holds, to check that a refused load changed nothing.
struct DocumentSnapshot {
    TAppletData appletData;
    TItemArray items;
    TLinkedFileInfoArray linkedFiles;
    std::vector<std::string> previewCopiedFiles;
    std::vector<std::string> resourceFiles;
    bool operator==(const DocumentSnapshot&) const = default;
};
DocumentSnapshot Snapshot(const TkvxAppletAgent& agent);

// The tree the document describes, written out from the agent's tree queries, e.g.
// "Home; Products(Prices, Stock); Contact".
std::string TreeShape(const TkvxAppletAgent& agent);

// The parameter line of the default look.
inline const std::string kDefaultParameterLine =
    "25#$@20#$@arial#$@11#$@FFFFFF#$@131313#$@92DDFA#$@15#$@arial#$@9#$@000000#$@9E9E9E#$@100#$@3#$@"
    "#$@#$@#$@600#$@40#$@1000#$@#$@#$@0#$@";

class RecordingProgress final : public IProgressDisplay {
public:
    void SetStatusText(std::string_view text) override;
    void SetProgressMaximum(int maximum) override { maximum_ = maximum; }
    void AdvanceProgress(int step) override { position_ += step; peak_ = std::max(peak_, position_); }
    void SetProgressPosition(int position) override { position_ = position; }
    void SetBusy(bool busy) override { busy_ = busy; }

    std::vector<std::string> statusTexts;  // every text set, in order ("" = cleared)
    int maximum_ = -1;
    int position_ = 0;
    int peak_ = 0;
    bool busy_ = false;
};

// Runs a program with arguments (no shell) and collects what it wrote.
struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
ProcessResult RunProgram(const std::vector<std::string>& arguments);
// The same with the standard output going to a file of the caller's (/dev/full); out
// stays empty.
ProcessResult RunProgram(const std::vector<std::string>& arguments, const fs::path& standardOutput);
// Starts a program (no shell) with its output thrown away and returns at once with its
// process id, for the caller to wait for (or kill); -1 when it cannot be started.
pid_t StartProgram(const std::vector<std::string>& arguments);

// A mount made for one test: a small memory file system (a full disk, a read-only
// folder) or a file bound over another (a file that cannot be replaced). The first
// mount moves this process into a mount namespace of its own, so nothing it mounts is
// seen outside and every mount goes when the process ends. Mounted() is false where the
// machine does not allow it (an ordinary user, a container without the right); the
// tests that need it then skip or use another way. Declare it after the TempFolder
// that holds the mount point: it must go first.
class ScopedMount {
public:
    static ScopedMount Tmpfs(const fs::path& folder, std::string_view options);
    static ScopedMount Bind(const fs::path& source, const fs::path& target);
    ScopedMount(ScopedMount&& other) noexcept : target_(std::move(other.target_)), mounted_(other.mounted_) {
        other.mounted_ = false;
    }
    ~ScopedMount();
    ScopedMount& operator=(ScopedMount&&) = delete;
    bool Mounted() const { return mounted_; }
    bool MakeReadOnly();

private:
    explicit ScopedMount(fs::path target) : target_(std::move(target)) {}
    fs::path target_;
    bool mounted_ = false;
};

}  // namespace qm::test
