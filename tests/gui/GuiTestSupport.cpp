#include "GuiTestSupport.h"

#include <QDir>
#include <QLineEdit>

#include "TMenuTreeModel.h"

namespace qm::testing {

namespace {
QStringList& Warnings() {
    static QStringList warnings;
    return warnings;
}
int folderCounter = 0;
}  // namespace

void RecordQtWarning(const QString& message) {
    Warnings() << message;
}

QStringList TakeQtWarnings() {
    QStringList taken;
    taken.swap(Warnings());
    return taken;
}

void WindowTest::SetUp() {
    TakeQtWarnings();
    window = std::make_unique<TMainForm>(&dialogs);
}

void WindowTest::TearDown() {
    if (window) {
        // Closing would ask to save: the tests leave without a question.
        window->SetModified(false);
        window.reset();
    }
    const QStringList warnings = TakeQtWarnings();
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
}

void WindowTest::Select(int node) {
    window->SelectNode(node);
}

std::vector<std::string> WindowTest::Captions() const {
    std::vector<std::string> captions;
    for (const auto& item : window->Agent().Items()) captions.push_back(item.Text);
    return captions;
}

std::vector<std::string> WindowTest::CaptionsWithLevels() const {
    std::vector<std::string> captions;
    for (const auto& item : window->Agent().Items()) captions.push_back(item.Text + ":" + item.Level);
    return captions;
}

void WindowTest::BuildTree(const std::vector<std::pair<std::string, int>>& captionsAndLevels) {
    int lastMain = kNoNode;
    for (const auto& [caption, level] : captionsAndLevels) {
        Select(level == 0 ? kRootNode : lastMain);
        window->Insert1Click();
        const int parent = level == 0 ? kRootNode : lastMain;
        const auto& agent = window->Agent();
        const int node = agent.ChildNode(parent, agent.ChildCount(parent) - 1);
        Select(node);
        window->findChild<QLineEdit*>(QStringLiteral("edt_Text"))->setText(QString::fromStdString(caption));
        if (level == 0) lastMain = node;
    }
    Select(kRootNode);
}

QString WindowTest::NewFolder(const QString& name) {
    const QString path = TestHome() + QStringLiteral("/work/") + name + QString::number(++folderCounter);
    QDir().mkpath(path);
    return path;
}

}  // namespace qm::testing
