#pragma once
// The window's status bar: the note on the left and, while a long operation runs, its
// text and progress bar. The document's operations report to it as their progress
// display.

#include <QStatusBar>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

#include "model/ProgressDisplay.h"

class QLabel;
class QProgressBar;

namespace qm {

class TStatusBar final : public QStatusBar, public IProgressDisplay {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent);
    ~TStatusBar() override;

    // The note (outside any operation).
    QString Note() const;
    void ShowNote(const QString& note);
    // View > Status Bar: the bar and its parts hidden or shown; the text is kept up to
    // date while hidden.
    void SetShown(bool shown);

    // --- IProgressDisplay -----------------------------------------------------------
    void SetStatusText(std::string_view text) override;
    void SetProgressMaximum(int maximum) override;
    void AdvanceProgress(int step) override;
    void SetProgressPosition(int position) override;
    void SetBusy(bool busy) override;
    void ShowProgressWhenDue();
    // The clock (in milliseconds) that decides when an operation's progress is painted;
    // tests hold it still or move it themselves.
    void SetProgressClock(std::function<qint64()> now) { progressNow_ = std::move(now); }

private:
    QLabel* stctxtHint;
    QProgressBar* prgrsbrMainFormBottom;
    bool shown_ = true;
    bool busy_ = false;
    bool progressShown_ = false;  // the running operation's text and bar are up
    QString statusText_;          // the last status text an operation set
    std::function<qint64()> progressNow_ = [] {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<qint64>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    };
    std::optional<qint64> progressPaintedAt_;  // when the operation began or was last painted
};

}  // namespace qm
