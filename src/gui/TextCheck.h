#pragma once
// What a text field may not hold. The separator "#$@" ends every field in the files,
// so no value may contain it; a quote is allowed only when the text's first backslash
// stands right before it (only the first quote of each kind and the first backslash
// are compared). The check removes what it forbids and keeps the rest.

#include <QString>
#include <QStringList>

namespace qm {

struct TCheckedText {
    QString text;          // the text without what was removed
    int cursor = 0;        // the cursor, moved back by what was removed before it
    QStringList messages;  // one warning per kind of character removed, in order
};

TCheckedText CheckText(const QString& text, int cursor, const QString& separator);

}  // namespace qm
