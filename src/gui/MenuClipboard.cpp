#include "gui/MenuClipboard.h"

#include <QMimeData>

#include "model/DocumentFiles.h"
#include "gui/TextCheck.h"
#include "model/TextFile.h"
#include "model/WholeNumber.h"

namespace qm {

namespace {

bool ReadsAsSubItem(const std::string& level) {
    return ParseWholeNumber(level).value_or(0) >= 1;
}

// How far a line is indented; a tab counts as four blanks.
int Indentation(const QString& line) {
    int columns = 0;
    for (const QChar c : line) {
        if (c == QLatin1Char(' ')) columns += 1;
        else if (c == QLatin1Char('\t')) columns += 4;
        else break;
    }
    return columns;
}

}  // namespace

void PutItems(QMimeData& data, const TItemArray& items) {
    NullProgressDisplay quiet;
    ItemStore store;
    store.Insert(0, items);
    data.setData(QString::fromLatin1(kMenuStructureMimeType),
                 QByteArray::fromStdString(WriteMenuStructureText(store, quiet)));
    data.setText(PlainTextOf(items));
}

bool HoldsItems(const QMimeData& data) {
    return data.hasFormat(QString::fromLatin1(kMenuStructureMimeType)) ||
           (data.hasText() && !data.text().trimmed().isEmpty());
}

TItemArray ItemsOf(const QMimeData& data, const QString& separator, QStringList* removed) {
    const QString structure = QString::fromLatin1(kMenuStructureMimeType);
    if (data.hasFormat(structure)) {
        try {
            // The reader puts the first item at the top level and a deeper one below
            // the nearest main item, as it does for a file.
            auto parsed = ParseMenuStructureFile(TextFile::FromBytes(data.data(structure).toStdString()),
                                                 "the clipboard");
            if (parsed.items.Count() > 0) return parsed.items.Records();
        } catch (const std::exception&) {
            // Not a menu structure after all: the plain text may still be one.
        }
    }
    return data.hasText() ? ItemsOfPlainText(data.text(), separator, removed) : TItemArray{};
}

TItemArray ItemsOfPlainText(const QString& text, const QString& separator, QStringList* removed) {
    TItemArray items;
    int mainIndentation = 0;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const QString caption = line.trimmed();
        if (caption.isEmpty()) continue;
        const TCheckedText checked = CheckText(caption, 0, separator);
        if (removed)
            for (const QString& message : checked.messages)
                if (!removed->contains(message)) *removed << message;
        TItemData item = TkvxAppletAgent::NewItemData();
        item.Text = checked.text.trimmed().toStdString();
        const int indentation = Indentation(line);
        const bool sub = !items.empty() && indentation > mainIndentation;
        if (!sub) mainIndentation = indentation;
        item.Level = std::string(1, sub ? '1' : '0');
        items.push_back(std::move(item));
    }
    return items;
}

QString PlainTextOf(const TItemArray& items) {
    QString text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0 && ReadsAsSubItem(items[i].Level)) text += QLatin1Char('\t');
        text += QString::fromStdString(items[i].Text) + QLatin1Char('\n');
    }
    return text;
}

}  // namespace qm
