#pragma once
// Progress of the long file operations. The core reports through this interface; the
// window shows it in its hint text, progress bar and busy cursor, the command-line tool
// passes NullProgressDisplay.

#include <string_view>

namespace qm {

class IProgressDisplay {
public:
    virtual ~IProgressDisplay() = default;
    virtual void SetStatusText(std::string_view text) = 0;
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual void AdvanceProgress(int step) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual void SetBusy(bool busy) = 0;
};

class NullProgressDisplay final : public IProgressDisplay {
public:
    void SetStatusText(std::string_view) override {}
    void SetProgressMaximum(int) override {}
    void AdvanceProgress(int) override {}
    void SetProgressPosition(int) override {}
    void SetBusy(bool) override {}
};

// Shows a status text and the busy cursor for one operation, and restores the bar to
// 0, the text to empty and the normal cursor when it ends, also when it ends by an
// error: a failed save must not leave the window looking busy.
class ProgressScope {
public:
    // Busy first: a display may show an operation's text only once it has run a while.
    ProgressScope(IProgressDisplay& display, std::string_view statusText) : display_(display) {
        display_.SetBusy(true);
        display_.SetStatusText(statusText);
    }
    ~ProgressScope() {
        display_.SetProgressPosition(0);
        display_.SetStatusText({});
        display_.SetBusy(false);
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    IProgressDisplay& display_;
};

}  // namespace qm
