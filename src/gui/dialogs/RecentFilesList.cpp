#include "gui/dialogs/RecentFilesList.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include <array>
#include <filesystem>
#include <string>
#include <utility>

#include "env/AppFolders.h"
#include "model/SafeSave.h"
#include "model/TextFile.h"

namespace qm {

namespace {

// "&", the digit and the blank in front of every path.
constexpr int kPrefixLength = 3;

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

}  // namespace

QString RecentFileEntry::MenuText() const {
    QString path = caption.mid(kPrefixLength);
    path.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return caption.left(kPrefixLength) + path;
}

RecentFilesList::RecentFilesList(QString filePath) : filePath_(std::move(filePath)) {}

RecentFilesList RecentFilesList::InTempFolder() {
    return RecentFilesList(GetTempFolder() + QLatin1String(kFileName));
}

QStringList RecentFilesList::ReadLines() const {
    const auto path = ToPath(filePath_);
    // An empty file is written the safe way too: a half-made file never appears.
    if (!QFileInfo::exists(filePath_)) SaveFileSafely(path, {});
    const TextFile file = TextFile::Read(path);
    QStringList lines;
    for (std::size_t i = 0; i < file.LineCount() && lines.size() < kCapacity; ++i) {
        const std::string_view line = file.Line(i);
        lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    }
    return lines;
}

std::vector<RecentFileEntry> RecentFilesList::Entries() const {
    std::vector<RecentFileEntry> entries;
    for (const QString& line : ReadLines()) {
        if (line.isEmpty()) continue;
        entries.push_back({line, FileNameOfCaption(line)});
    }
    return entries;
}

bool RecentFilesList::Add(const QString& fileName) const {
    if (fileName.isEmpty()) return false;
    // The file is line-based: a name that would split into two lines, or end the file
    // early, could never be read back.
    for (const QChar c : fileName)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0x1A)) return false;

    std::array<QString, kCapacity> paths;
    const QStringList lines = ReadLines();
    for (int i = 0; i < lines.size(); ++i)
        if (!lines[i].isEmpty()) paths[i] = FileNameOfCaption(lines[i]);

    // Exact comparison: "A.zorbel" and "a.zorbel" are two files. A listed file moves to
    // the top from its slot; a new one pushes the fourth out.
    if (paths[0] == fileName) return false;
    int from = kCapacity - 1;
    for (int i = 1; i < kCapacity; ++i) {
        if (paths[i] == fileName) {
            from = i;
            break;
        }
    }
    for (int i = from; i > 0; --i) paths[i] = paths[i - 1];
    paths[0] = fileName;

    QString text;
    for (int i = 0; i < kCapacity; ++i) {
        if (paths[i].isEmpty()) continue;
        text += QLatin1Char('&') + QString::number(i + 1) + QLatin1Char(' ') + paths[i] + QStringLiteral("\r\n");
    }
    const QByteArray bytes = text.toUtf8();
    SaveFileSafely(ToPath(filePath_), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return true;
}

QString RecentFilesList::FileNameOfCaption(const QString& caption) {
    return caption.mid(kPrefixLength);
}

void RecentFilesList::FillMenu(QMenu& menu, const std::function<void(const QString& fileName)>& open) const {
    const auto entries = Entries();
    menu.clear();
    for (const RecentFileEntry& entry : entries) {
        QAction* action = menu.addAction(entry.MenuText());
        action->setData(entry.caption);
        const QString fileName = entry.fileName;
        QObject::connect(action, &QAction::triggered, &menu, [open, fileName] {
            if (open) open(fileName);
        });
    }
    menu.setEnabled(!entries.empty());
}

}  // namespace qm
