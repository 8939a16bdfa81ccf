#include "gui/MenuClipboard.h"

#include <QMimeData>
#include <QRegularExpression>

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

QString WithoutListMarker(const QString& caption) {
    // A bullet, or a number of up to three digits with its dot or bracket, and the
    // blank after it: "2024 Events" and "-5 %" keep what they start with.
    static const QRegularExpression marker(QStringLiteral("^(?:[-*+\u2022\u2023\u25E6\u2013]|\\d{1,3}[.)])\\s+"));
    const QRegularExpressionMatch found = marker.match(caption);
    return found.hasMatch() ? caption.mid(found.capturedLength()) : caption;
}

TItemArray ItemsOfPlainText(const QString& text, const QString& separator, QStringList* removed) {
    TItemArray items;
    int mainIndentation = 0;
    // A column's text as the fields take it: what the text check removes is said once.
    const auto checked = [&](const QString& column) {
        const TCheckedText result = CheckText(column.trimmed(), 0, separator);
        if (removed)
            for (const QString& message : result.messages)
                if (!removed->contains(message)) *removed << message;
        return result.text.trimmed().toStdString();
    };
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const int indentation = Indentation(line);
        // The indentation's tabs are no columns: the columns begin with the caption.
        const QStringList columns = line.trimmed().split(QLatin1Char('\t'));
        const QString caption = WithoutListMarker(columns[0].trimmed());
        if (caption.isEmpty()) continue;
        TItemData item = TkvxAppletAgent::NewItemData();
        item.Text = checked(caption);
        if (columns.size() > 1) item.Link = checked(columns[1]);
        if (columns.size() > 2 && !columns[2].trimmed().isEmpty()) item.Target = checked(columns[2]);
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
        const TItemData& item = items[i];
        if (i > 0 && ReadsAsSubItem(item.Level)) text += QLatin1Char('\t');
        text += QString::fromStdString(item.Text);
        const bool ownTarget = !item.Target.empty() && item.Target != TkvxAppletAgent::NewItemData().Target;
        if (!item.Link.empty() || ownTarget) text += QLatin1Char('\t') + QString::fromStdString(item.Link);
        if (ownTarget) text += QLatin1Char('\t') + QString::fromStdString(item.Target);
        text += QLatin1Char('\n');
    }
    return text;
}

}  // namespace qm
