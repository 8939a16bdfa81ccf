#pragma once
// The offer of changes that a window left unsaved when it ended unexpectedly: one copy
// is named in the question itself; several are listed, one of them chosen. Restore is
// the default; Discard removes the chosen copy; closing the window keeps every copy to
// be offered again.

#include <QDateTime>
#include <QDialog>
#include <vector>

#include "gui/TRecoveryStore.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace qm {

class TRecoveryOffer final : public QDialog {
    Q_OBJECT
public:
    enum class Choice { Later, Restore, Discard };

    // copies: at least one. now decides how the times are written.
    TRecoveryOffer(std::vector<TStaleCopy> copies, const QDateTime& now, QWidget* parent = nullptr);

    // "menu.zorbel has changes that were not saved when Quillamere last closed
    // unexpectedly (kept at 14:32). Restore them?"
    static QString QuestionOf(const TStaleCopy& copy, const QDateTime& now);
    // The project's file name, "Untitled" for an untitled document.
    static QString NameOf(const TStaleCopy& copy);
    // "at 14:32" today, "on 5 Dec 2026 at 14:32" before.
    static QString KeptAtText(const QDateTime& keptAt, const QDateTime& now);

    QString Question() const;
    Choice Chosen() const { return chosen_; }
    // The copy the choice is about.
    const TStaleCopy& ChosenCopy() const;
    // As a click would choose: the copy at row, then the button.
    void Choose(int row, Choice choice);

private:
    std::vector<TStaleCopy> copies_;
    Choice chosen_ = Choice::Later;
    QLabel* question_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* restore_ = nullptr;
    QPushButton* discard_ = nullptr;
};

}  // namespace qm
