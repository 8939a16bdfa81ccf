// Keeping work within one program: the recovery copy and when it goes, copies a window
// left behind (and damaged ones), the project file changed, replaced or deleted by
// another program, the check before a save, a second window on the same project, and
// a project named at start that cannot be read.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QEventLoop>
#include <QTimer>
#include <QTest>
#include <cstdio>
#include <functional>

#include "KeepingWorkFixture.h"
#include "app/ProgramEntry.h"
#include "env/AppFolders.h"
#include "env/ProjectLock.h"
#include "gui/TDiskStateGuard.h"
#include "gui/TRecoveryOffer.h"
#include "gui/TRecoveryStore.h"
#include "gui/TStatusBar.h"
#include "gui/TTreeCommands.h"

namespace qm::test {
namespace {

// The offer answered as a click would, and its question kept.
std::function<int(QDialog&)> Answer(TRecoveryOffer::Choice choice, QString* question = nullptr) {
    return [choice, question](QDialog& dialog) {
        auto& offer = static_cast<TRecoveryOffer&>(dialog);
        if (question) *question = offer.Question();
        offer.Choose(0, choice);
        return int(QDialog::Accepted);
    };
}

class RecoveryTest : public KeepingWorkTest {
protected:
    // An edit, and the copy it leads to, written.
    QString EditAndWrite() {
        Select(kRootNode);
        window->TreeCommands().Insert1Click();
        window->Keeper().Recovery().WritePendingCopy();
        return window->Keeper().Recovery().CopyPath();
    }
};

TEST_F(RecoveryTest, TheCopyWaitsForItsMomentAndHoldsWhatSavingWrites) {
    const QString project = OpenedProject({"Home"});
    Select(kRootNode);
    window->TreeCommands().Insert1Click();
    window->TreeCommands().Insert1Click();
    EXPECT_TRUE(window->Keeper().Recovery().WritePending());
    EXPECT_TRUE(window->Keeper().Recovery().CopyPath().isEmpty()) << "nothing written while the keys are handled";
    window->Keeper().Recovery().WritePendingCopy();
    const QString copy = window->Keeper().Recovery().CopyPath();
    ASSERT_TRUE(copy.startsWith(GetAppDataFolder() + "Recovery/")) << copy.toStdString();
    std::string scratch;
    EXPECT_EQ(ReadBytes(copy).toStdString(), window->Agent().ProjectText(scratch));
    EXPECT_EQ(ReadBytes(QFileInfo(copy).path() + "/" + QFileInfo(copy).completeBaseName() + ".origin"), project.toUtf8());
    EXPECT_FALSE(window->Keeper().Recovery().WritePending()) << "two edits, one write";
}

TEST_F(RecoveryTest, TheCopyGoesWhenNothingIsLeftToRecover) {
    OpenedProject({"Home"});
    const struct {
        const char* when;
        std::function<void()> act;
    } cases[] = {
        {"saved", [&] { window->Files().Save1Click(); }},
        {"undone to the saved state", [&] { Find<QAction>("Undo1")->trigger(); }},
        {"New, not saved", [&] {
             dialogs.messageAnswers = {QMessageBox::No};
             window->Files().New1Click();
         }},
        {"closed, not saved", [&] {
             dialogs.messageAnswers = {QMessageBox::No};
             window->close();
         }},
    };
    for (const auto& c : cases) {
        const QString copy = EditAndWrite();
        ASSERT_TRUE(QFile::exists(copy)) << c.when;
        c.act();
        EXPECT_FALSE(QFile::exists(copy)) << c.when;
        EXPECT_FALSE(QFile::exists(QFileInfo(copy).path() + "/" + QFileInfo(copy).completeBaseName() + ".lock"))
            << c.when;
        EXPECT_TRUE(window->Keeper().Recovery().CopyPath().isEmpty()) << c.when;
    }
}

TEST_F(RecoveryTest, RestoredChangesKeepTheNameCountAsModifiedAndStartTheHistory) {
    const QString project = OpenedProject({"Home"});
    const QString copy = EditAndWrite();
    const QByteArray kept = ReadBytes(copy);
    window.reset();
    window = std::make_unique<TMainForm>(&dialogs);
    QString question;
    dialogs.modalAnswers = {Answer(TRecoveryOffer::Choice::Restore, &question)};
    EXPECT_TRUE(window->Keeper().OfferRecovery());
    EXPECT_EQ(question, "menu.zorbel has changes that were not saved when Quillamere last closed unexpectedly (kept at " +
                            QFileInfo(copy).lastModified().toString("HH:mm") + "). Restore them?");
    EXPECT_EQ(Captions(), (Strings{"Home", "New item"}));
    EXPECT_EQ(window->CurrentFileName(), project);
    EXPECT_TRUE(window->Modified());
    EXPECT_TRUE(Find<QAction>("Save1")->isEnabled());
    EXPECT_FALSE(window->Document().UndoStack().canUndo());
    std::string scratch;
    EXPECT_EQ(window->Agent().ProjectText(scratch), kept.toStdString()) << "the copy's bytes";
    window->Files().Save1Click();
    EXPECT_TRUE(ReadBytes(project).contains("New item"));
    EXPECT_FALSE(QFile::exists(copy));
}

TEST_F(RecoveryTest, DiscardedOrPostponedCopies) {
    OpenedProject({"Home"});
    const QString copy = EditAndWrite();
    window.reset();
    window = std::make_unique<TMainForm>(&dialogs);
    dialogs.modalAnswers = {Answer(TRecoveryOffer::Choice::Later)};
    EXPECT_FALSE(window->Keeper().OfferRecovery());
    EXPECT_TRUE(QFile::exists(copy)) << "offered again later";
    dialogs.modalAnswers = {Answer(TRecoveryOffer::Choice::Discard)};
    EXPECT_FALSE(window->Keeper().OfferRecovery());
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(dialogs.modalWindows, QStringList({"TRecoveryOffer", "TRecoveryOffer"}));
    EXPECT_TRUE(Captions().empty());
}

// A copy left by a crash in the middle of its first write has no origin; one that is
// not a project is found out when it is read. Either is named and moved aside, never
// half opened, and not offered again.
TEST_F(RecoveryTest, ADamagedCopyIsReportedAndSetAside) {
    const QString folder = TRecoveryStore::Folder();
    const struct {
        const char* id;
        QByteArray content;
        bool withOrigin;
        QString message;
    } cases[] = {
        {"no-origin", ProjectBytes({"A"}), false,
         "The recovery copy of no-origin.zorbel cannot be read; it was set aside in " +
             QDir::toNativeSeparators(folder + "Damaged/") + "."},
        {"garbage", "not a project\r\n", true,
         "The recovery copy of menu.zorbel cannot be read (" + folder +
             "garbage.zorbel: the file is not a Quillamere project); it was set aside in " +
             QDir::toNativeSeparators(folder + "Damaged/") + "."},
    };
    for (const auto& c : cases) {
        dialogs.Clear();
        WriteBytes(folder + c.id + ".zorbel", c.content);
        if (c.withOrigin) WriteBytes(folder + c.id + ".origin", "/srv/site/menu.zorbel");
        dialogs.modalAnswers = {Answer(TRecoveryOffer::Choice::Restore)};
        EXPECT_FALSE(window->Keeper().OfferRecovery()) << c.id;
        EXPECT_EQ(dialogs.MessageTexts(), QStringList({c.message}));
        EXPECT_TRUE(QFile::exists(folder + "Damaged/" + c.id + ".zorbel")) << c.id;
        EXPECT_FALSE(QFile::exists(folder + c.id + ".zorbel")) << c.id;
        EXPECT_TRUE(Captions().empty()) << c.id;
    }
    dialogs.Clear();
    EXPECT_FALSE(window->Keeper().OfferRecovery());
    EXPECT_TRUE(dialogs.modalWindows.isEmpty()) << "set aside: not offered again";
}

// --- Changes made elsewhere -------------------------------------------------------------

class ChangedOnDiskTest : public KeepingWorkTest {
protected:
    void SetUp() override {
        KeepingWorkTest::SetUp();
        project = OpenedProject({"Home", "Boats", "Map"});
        window->Keeper().DiskGuard().SetSettleDelay(0);
    }
    // What another program does to the file, the way it does it.
    enum class Way { InPlace, ReplacedByRename, Deleted };
    void ChangeOnDisk(Way way, const QByteArray& content) {
        if (way == Way::InPlace) {
            WriteBytes(project, content);
        } else if (way == Way::ReplacedByRename) {
            WriteBytes(project + ".new", content);
            ASSERT_EQ(std::rename((project + ".new").toLocal8Bit().constData(), project.toLocal8Bit().constData()), 0);
        } else {
            ASSERT_TRUE(QFile::remove(project));
        }
    }
    // Waits for the guard to notice, and for the window to have answered it.
    void WaitForNotice() {
        QEventLoop loop;
        bool noticed = false;
        const auto stop = [&] {
            noticed = true;
            loop.quit();
        };
        // Queued: the window answers first.
        QObject::connect(&window->Keeper().DiskGuard(), &TDiskStateGuard::Changed, &loop, stop, Qt::QueuedConnection);
        QObject::connect(&window->Keeper().DiskGuard(), &TDiskStateGuard::Removed, &loop, stop, Qt::QueuedConnection);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a notice that never comes fails
        loop.exec();
        EXPECT_TRUE(noticed);
    }
    const QByteArray theirs = ProjectBytes({"Home", "Prices"});
    QString project;
};

TEST_F(ChangedOnDiskTest, AnUnmodifiedDocumentIsReloadedAtOnceWithItsSelection) {
    for (Way way : {Way::InPlace, Way::ReplacedByRename, Way::InPlace}) {
        Select(1);
        const Strings before = Captions();
        const Strings expected = before == Strings{"Home", "Prices"} ? Strings{"Home", "Boats"} : Strings{"Home", "Prices"};
        ChangeOnDisk(way, ProjectBytes(expected));
        WaitForNotice();
        EXPECT_EQ(Captions(), expected);
        EXPECT_EQ(window->SelectedNode(), 1);
        EXPECT_EQ(window->StatusBar().Note(), "menu.zorbel was changed by another program and has been reloaded.");
        EXPECT_FALSE(window->Modified());
    }
    EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(ChangedOnDiskTest, AModifiedDocumentAsksOnceReloadOrKeepMine) {
    const struct {
        Way way;
        int answer;
        Strings after;
    } cases[] = {
        {Way::InPlace, 1, {"Home", "Boats", "Map", "New item"}},
        {Way::ReplacedByRename, 0, {"Home", "Prices"}},
    };
    for (const auto& c : cases) {
        dialogs.Clear();
        Select(kRootNode);
        window->TreeCommands().Insert1Click();
        ChangeOnDisk(c.way, theirs);
        dialogs.choiceAnswers = {c.answer};
        WaitForNotice();
        ASSERT_EQ(dialogs.questions.size(), 1u);
        EXPECT_EQ(dialogs.questions[0].text,
                  "menu.zorbel was changed by another program. Reload it (your changes are lost), or keep yours (Save "
                  "will replace it)?");
        EXPECT_EQ(dialogs.questions[0].choices, QStringList({"Reload", "Keep Mine"}));
        EXPECT_EQ(Captions(), c.after);
        EXPECT_EQ(window->Modified(), c.answer == 1);
        if (c.answer == 1) {
            // Kept: Save replaces their file without asking again.
            window->Files().Save1Click();
            EXPECT_EQ(dialogs.questions.size(), 1u);
            EXPECT_TRUE(ReadBytes(project).contains("New item"));
        }
        WriteBytes(project, ProjectBytes({"Home", "Boats", "Map"}));
        WaitForNotice();
    }
}

TEST_F(ChangedOnDiskTest, ADeletedFileIsNamedAndSaveWritesItAnew) {
    ChangeOnDisk(Way::Deleted, {});
    WaitForNotice();
    const QString said =
        "menu.zorbel was deleted or moved away by another program. The menu stays open here; Save writes the file anew.";
    EXPECT_EQ(dialogs.MessageTexts(), QStringList({said}));
    EXPECT_EQ(window->StatusBar().Note(), said);
    EXPECT_TRUE(window->Modified());
    window->Files().Save1Click();
    EXPECT_TRUE(ReadBytes(project).contains("Boats"));
    EXPECT_FALSE(window->Modified());
    EXPECT_TRUE(dialogs.questions.empty());
}

// The watch may not have spoken yet: the save looks for itself.
TEST_F(ChangedOnDiskTest, SaveNeverReplacesAChangedFileWithoutAsking) {
    for (int answer : {1, 0}) {
        dialogs.Clear();
        Select(kRootNode);
        window->TreeCommands().Insert1Click();
        WriteBytes(project, theirs);
        dialogs.choiceAnswers = {answer};
        window->Files().Save1Click();
        ASSERT_EQ(dialogs.questions.size(), 1u);
        EXPECT_EQ(dialogs.questions[0].text,
                  "menu.zorbel was changed by another program since it was opened or saved here. Replace it with your "
                  "version?");
        EXPECT_EQ(dialogs.questions[0].choices, QStringList({"Replace", "Cancel"}));
        EXPECT_EQ(ReadBytes(project) == theirs, answer == 1);
        EXPECT_EQ(window->Modified(), answer == 1);
    }
}

// A write that falls while the window reads the project (here: as the document is
// replaced) is another program's, whether the project is opened or reloaded.
TEST_F(ChangedOnDiskTest, AWriteWhileTheProjectIsReadCountsAsAnotherProgramsChange) {
    const struct {
        const char* how;
        std::function<bool()> load;
    } loads[] = {
        {"opened", [&] { return window->Files().OpenProjectFile(project); }},
        {"reloaded", [&] { return window->Files().Reload(project); }},
    };
    for (const auto& load : loads) {
        WriteBytes(project, ProjectBytes({"Home"}));
        const auto writer =
            QObject::connect(&window->Document(), &TMenuDocument::Replaced, [&] { WriteBytes(project, theirs); });
        ASSERT_TRUE(load.load()) << load.how;
        QObject::disconnect(writer);
        EXPECT_EQ(Captions(), Strings{"Home"}) << load.how;
        EXPECT_TRUE(window->Keeper().DiskGuard().ChangedOnDisk()) << load.how;
    }
}

// An open hashes the bytes as the document is read from them, in the reader's parts: the
// same hash as the file's, whatever the parts, and what the guard remembers.
TEST_F(ChangedOnDiskTest, TheHashOfTheBytesReadIsTheFilesHash) {
    QByteArray bytes = ProjectBytes({"Home"});
    while (bytes.size() < 200'000) bytes += "\x1A past the end ";
    WriteBytes(project, bytes);
    const TDiskState file = TDiskState::Of(project);
    for (const qsizetype part : {qsizetype{1}, qsizetype{1000}, qsizetype{65536}, qsizetype{65537}, bytes.size()}) {
        TDiskState::ContentHash content;
        for (qsizetype at = 0; at < bytes.size(); at += part)
            content.Add(std::string_view(bytes.constData() + at, static_cast<std::size_t>(std::min(part, bytes.size() - at))));
        EXPECT_EQ(std::pair(content.Result(), content.Size()), std::pair(file.hash, file.size)) << part;
    }
    ASSERT_TRUE(window->Files().OpenProjectFile(project));
    EXPECT_TRUE(window->Keeper().DiskGuard().Remembered().SameContent(file));
}

// --- One project, one window; the start ---------------------------------------------------

TEST_F(KeepingWorkTest, ASecondWindowOfTheProgramLeavesTheProjectToTheFirst) {
    const QString project = OpenedProject({"Home"});
    EXPECT_TRUE(QFile::exists(ProjectLock::LockPathOf(project)));
    TMainForm& second = OtherWindow();
    EXPECT_FALSE(second.Files().OpenProjectFile(project));
    EXPECT_EQ(second.Agent().ItemCount(), 0);
    EXPECT_TRUE(second.CurrentFileName().isEmpty());
    EXPECT_TRUE(dialogs.questions.empty());
    window->Files().New1Click();
    EXPECT_FALSE(QFile::exists(ProjectLock::LockPathOf(project))) << "let go";
    EXPECT_TRUE(second.Files().OpenProjectFile(project));
}

// Yes to "Save changes to files?" and then no save (the name not given): the command
// stops, and the changes stay.
TEST_F(KeepingWorkTest, ACommandWhoseSaveDidNotHappenKeepsTheChanges) {
    const QString other = NewFolder("other") + "/other.zorbel";
    WriteBytes(other, ProjectBytes({"Elsewhere"}));
    const struct {
        const char* command;
        std::function<void()> run;
    } cases[] = {
        {"New", [&] { window->Files().New1Click(); }},
        {"Open", [&] { window->Files().OpenProjectFile(other); }},
    };
    for (const auto& c : cases) {
        Select(kRootNode);
        window->TreeCommands().Insert1Click();
        const Strings before = Captions();
        dialogs.messageAnswers = {QMessageBox::Yes};  // the save dialog is cancelled
        c.run();
        EXPECT_EQ(Captions(), before) << c.command;
        EXPECT_TRUE(window->Modified()) << c.command;
    }
}

// A project named at start that cannot be read gets the message File > Open gives, and
// the window stays empty (no template chooser over it).
TEST_F(KeepingWorkTest, AnUnreadableProjectNamedAtStartIsReportedAsOpenReportsIt) {
    const QString folder = NewFolder("start");
    WriteBytes(folder + "/refused.zorbel", "not a project\r\n");
    for (const QString& path : {folder + "/missing.zorbel", folder + "/refused.zorbel"}) {
        dialogs.Clear();
        dialogs.openAnswers = {path};
        window->Files().Open1Click();
        const QStringList openSays = dialogs.MessageTexts();
        ASSERT_EQ(openSays.size(), 1) << path.toStdString();
        dialogs.Clear();
        OpenAtStart(*window, path);
        EXPECT_EQ(dialogs.MessageTexts(), openSays);
        EXPECT_TRUE(dialogs.modalWindows.isEmpty());
        EXPECT_TRUE(window->CurrentFileName().isEmpty());
    }
}

}  // namespace
}  // namespace qm::test
