#pragma once
// What the tests of keeping work share: projects on disk made from captions, and more
// windows beside the test's own, which go unasked at the end.

#include <QDir>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "support/WindowTest.h"
#include "support/DocumentBuilder.h"
#include "support/TemporaryHome.h"
#include "gui/TRecoveryStore.h"
#include "model/TkvxAppletAgent.h"

namespace qm::test {

using Strings = std::vector<std::string>;

class KeepingWorkTest : public WindowTest {
protected:
    // Every test starts without the copies that earlier ones left.
    void SetUp() override {
        QDir(TRecoveryStore::Folder()).removeRecursively();
        WindowTest::SetUp();
    }
    void TearDown() override {
        for (auto& other : others) other->SetModified(false);
        others.clear();
        WindowTest::TearDown();
    }

    // A project file with one main item per caption, as saving writes it.
    static QByteArray ProjectBytes(const Strings& captions) {
        std::vector<ItemRow> rows;
        for (const auto& caption : captions) rows.push_back({0, caption});
        TkvxAppletAgent agent;
        test::MakeDocument(agent, rows);
        std::string scratch;
        return QByteArray::fromStdString(std::string(agent.ProjectText(scratch)));
    }

    // A project in a folder of its own, open in the window.
    QString OpenedProject(const Strings& captions) {
        const QString path = NewFolder("site") + "/menu.zorbel";
        WriteBytes(path, ProjectBytes(captions));
        EXPECT_TRUE(window->Files().OpenProjectFile(path));
        return path;
    }

    // Another window of this program, with the same scripted dialogs.
    TMainForm& OtherWindow() {
        others.push_back(std::make_unique<TMainForm>(&dialogs));
        return *others.back();
    }

    std::vector<std::unique_ptr<TMainForm>> others;
};

}  // namespace qm::test
