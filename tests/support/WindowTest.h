#pragma once
// What the window tests share: a fresh temporary home per test program, a window with
// scripted dialogs, finding controls by name, and a check that Qt's model tester and
// Qt itself reported no failure.

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gui/TMainForm.h"
#include "gui/TProjectFiles.h"
#include "gui/TWorkKeeper.h"
#include "support/DocumentBuilder.h"
#include "support/TFakeUserDialogs.h"

// Readable failure messages for Qt strings.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace qm::test {

// How a window test program runs.
struct WindowTestOptions {
    // With the web engine (its sandbox off); without it, the engine is refused and the
    // windows do without it.
    bool webEngine = false;
    // Warnings of the engine's own that are no failure of the program's.
    QStringList ignoredWarnings;
};

// The main of a window test program: offscreen unless told otherwise, in a temporary
// home so that settings, per-user folders and documents never touch the real ones,
// with Qt's warnings recorded for the tests to check.
int RunWindowTests(int argc, char** argv, const WindowTestOptions& options);

// The temporary home of this test program (set up by RunWindowTests).
QString TestHome();

// Messages Qt logged as warnings or worse since the last call (the model tester logs
// its failures this way). Clears the record.
QStringList TakeQtWarnings();

// Lets a window finish what its last change set going (a dock laid out and given its
// width, the window grown): until its place and the dock's width stay as they are.
void SettleWindow(const QWidget& window, const QWidget& dock);

// Makes the contents of every property page of window that is still to make: the
// window makes a page when it is first seen, and a test looks at them all.
void BuildAllPages(QWidget& window);

// A main window with scripted dialogs; the tests find its controls by object name
// (every property page made first, as if the user had looked at each).
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    template <class Control>
    Control* Find(const char* name) {
        BuildAllPages(*window);
        auto* control = window->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << "no control named " << name;
        return control;
    }

    // Selects a node as a click would (runs the selection change).
    void Select(int node);
    // The captions of the item list, in order.
    std::vector<std::string> Captions() const;
    // "Caption:level" of every item, in order.
    std::vector<std::string> CaptionsWithLevels() const;
    // Puts the table's items into the window's empty document as one edit (undone as
    // one step) and selects the root.
    void MakeDocument(const std::vector<ItemRow>& rows);
    // A fresh folder below the test home.
    QString NewFolder(const QString& name);

    TFakeUserDialogs dialogs;
    std::unique_ptr<TMainForm> window;
};

}  // namespace qm::test
