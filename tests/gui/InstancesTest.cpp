// Keeping work across programs: a program killed with SIGKILL leaves its changes, which
// the next start (or opening the project) offers back byte for byte; a project that a
// running program holds opens read-only or is taken over from it.

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <csignal>
#include <functional>

#include "KeepingWorkFixture.h"
#include "app/ProgramEntry.h"
#include "env/ProjectLock.h"
#include "gui/TRecoveryOffer.h"
#include "gui/TRecoveryStore.h"
#include "gui/TTreeCommands.h"

namespace qm::test {
namespace {

// A window in a program of its own (quillamere-gui-test-child), ended when this goes.
class ChildProgram {
public:
    ChildProgram(const char* mode, const QString& project) {
        process_.setProgram(QCoreApplication::applicationDirPath() + "/quillamere-gui-test-child");
        process_.setArguments({QString::fromLatin1(mode), project});
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
    }
    ~ChildProgram() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.kill();
        process_.waitForFinished();
    }
    // The next line it prints, once it has printed it; empty when it ended first.
    QString NextLine() {
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(60000)) return {};
        return QString::fromUtf8(process_.readLine()).trimmed();
    }
    qint64 Pid() const { return process_.processId(); }
    // Ended at once: no event handler, no destructor of its runs.
    void KillHard() {
        ::kill(static_cast<pid_t>(process_.processId()), SIGKILL);
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

class InstancesTest : public KeepingWorkTest {
protected:
    // A project on disk that no window holds.
    QString ProjectOnDisk(const Strings& captions) {
        const QString path = OpenedProject(captions);
        window->Files().New1Click();  // lets it go
        return path;
    }
};

// The copy of a killed program: its locks are stale (its process is gone), so the next
// window offers it, at the start or when the project is opened.
TEST_F(InstancesTest, AKilledProgramsChangesAreOfferedAndRestoredByteForByte) {
    const struct {
        const char* when;
        std::function<void(const QString& project)> start;
    } cases[] = {
        {"at the start", [&](const QString&) { OpenAtStart(*window, {}); }},
        {"when the project is opened", [&](const QString& project) { window->Files().OpenProjectFile(project); }},
    };
    for (const auto& c : cases) {
        const QString project = ProjectOnDisk({"Home"});
        ChildProgram child("edit", project);
        const QString line = child.NextLine();
        ASSERT_TRUE(line.startsWith("written ")) << c.when << ": " << line.toStdString();
        const QString copy = line.mid(8);
        const QByteArray kept = ReadBytes(copy);
        EXPECT_TRUE(window->Keeper().Recovery().ClaimStaleCopies({}).empty()) << c.when << ": its program still runs";
        child.KillHard();

        dialogs.Clear();
        QString question;
        dialogs.modalAnswers = {[&](QDialog& dialog) {
            auto& offer = static_cast<TRecoveryOffer&>(dialog);
            question = offer.Question();
            offer.Choose(0, TRecoveryOffer::Choice::Restore);
            return int(QDialog::Accepted);
        }};
        c.start(project);
        EXPECT_EQ(question, "menu.zorbel has changes that were not saved when Quillamere last closed unexpectedly (kept at " +
                                QFileInfo(copy).lastModified().toString("HH:mm") + "). Restore them?")
            << c.when;
        EXPECT_EQ(Captions(), (Strings{"Home", "New item", "New item 2", "New item 3"})) << c.when;
        EXPECT_EQ(window->CurrentFileName(), project) << c.when;
        EXPECT_TRUE(window->Modified()) << c.when;
        EXPECT_EQ(window->Keeper().Lock().Project(), project) << c.when << ": the killed program's lock was stale";
        std::string scratch;
        EXPECT_EQ(window->Agent().ProjectText(scratch), kept.toStdString()) << c.when << ": the copy's bytes";
        window->Files().Save1Click();
        EXPECT_TRUE(ReadBytes(project).contains("New item 3")) << c.when;
        EXPECT_FALSE(QFile::exists(copy)) << c.when;
        window->Files().New1Click();
    }
}

TEST_F(InstancesTest, AProjectAnotherProgramHoldsOpensReadOnlyOrIsTakenOver) {
    const QString project = ProjectOnDisk({"Home"});
    ChildProgram child("hold", project);
    ASSERT_EQ(child.NextLine(), "holding");
    const QString question = QString("menu.zorbel is open in another Quillamere window (process %1 of %2). Open it "
                                     "read-only here, or take it over (the other window keeps it open read-only)?")
                                 .arg(child.Pid())
                                 .arg(QFileInfo(ProjectLock::LockPathOf(project)).owner());

    dialogs.choiceAnswers = {0};  // Open Read-Only
    ASSERT_TRUE(window->Files().OpenProjectFile(project));
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, question);
    EXPECT_EQ(dialogs.questions[0].choices, QStringList({"Open Read-Only", "Take Over", "Cancel"}));
    EXPECT_TRUE(window->Keeper().ReadOnly());
    EXPECT_TRUE(window->windowTitle().startsWith("menu.zorbel (read-only)"));
    Select(kRootNode);
    window->TreeCommands().Insert1Click();
    window->Files().Save1Click();
    EXPECT_EQ(dialogs.MessageTexts(),
              QStringList({QString("menu.zorbel is open in another Quillamere window (process %1 of %2). Save it under "
                                   "another name, or close it there first.")
                               .arg(child.Pid())
                               .arg(QFileInfo(ProjectLock::LockPathOf(project)).owner())}));
    EXPECT_EQ(ReadBytes(project), ProjectBytes({"Home"}));

    dialogs.Clear();
    dialogs.messageAnswers = {QMessageBox::No};  // the read-only changes are not saved
    dialogs.choiceAnswers = {1};                 // Take Over
    ASSERT_TRUE(window->Files().OpenProjectFile(project));
    EXPECT_FALSE(window->Keeper().ReadOnly());
    EXPECT_EQ(window->Keeper().Lock().Project(), project);
    qint64 pid = 0;
    QString host, application;
    QLockFile(ProjectLock::LockPathOf(project)).getLockInfo(&pid, &host, &application);
    EXPECT_EQ(pid, QCoreApplication::applicationPid());
    window->TreeCommands().Insert1Click();
    window->Files().Save1Click();
    EXPECT_TRUE(ReadBytes(project).contains("New item"));
}

}  // namespace
}  // namespace qm::test
