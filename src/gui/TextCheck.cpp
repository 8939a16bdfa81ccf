#include "gui/TextCheck.h"

#include <algorithm>

namespace qm {

TCheckedText CheckText(const QString& original, int cursorAt, const QString& separator) {
    TCheckedText checked{original, cursorAt, {}};
    QString& text = checked.text;
    int& cursor = checked.cursor;
    const auto removeAt = [&](qsizetype at, qsizetype length) {
        text.remove(at, length);
        if (cursor > at) cursor -= static_cast<int>(std::min<qsizetype>(length, cursor - at));
    };
    // Removing one separator may join two halves into another, hence the loop.
    if (!separator.isEmpty() && text.contains(separator)) {
        for (qsizetype at; (at = text.indexOf(separator)) >= 0;) removeAt(at, separator.size());
        checked.messages << QStringLiteral("The text cannot include \"") + separator +
                                QStringLiteral("\", so it was removed.");
    }
    // An unescaped first quote is removed until the first quote left is escaped, or
    // none is left.
    const auto unescaped = [&](QChar quote) -> qsizetype {
        const qsizetype quoteAt = text.indexOf(quote);
        if (quoteAt < 0) return -1;
        const qsizetype backslashAt = text.indexOf(QLatin1Char('\\'));
        return quoteAt >= 1 && backslashAt == quoteAt - 1 ? -1 : quoteAt;
    };
    for (const QChar quote : {QLatin1Char('\''), QLatin1Char('"')}) {
        bool removed = false;
        for (qsizetype at; (at = unescaped(quote)) >= 0; removed = true) removeAt(at, 1);
        if (removed)
            checked.messages << QStringLiteral("The text cannot include ") + quote +
                                    QStringLiteral(" unless \"\\\" stands right before it, so it was removed.");
    }
    return checked;
}

}  // namespace qm
