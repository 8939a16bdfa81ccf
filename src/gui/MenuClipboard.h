#pragma once
// Menu items on the clipboard and in drag and drop. Two forms travel together:
// - the menu structure: the text of an exchange file, whose rows carry each item's
//   level, caption, link and target, under kMenuStructureMimeType: a branch copied in
//   one window pastes whole into another project in another window;
// - indented plain text, a caption a line and a tab before each sub item, for other
//   programs.
// Plain text from elsewhere becomes items as well: each line that is not blank an
// item, a line indented more than the main item above it a sub item of that one.

#include <QString>
#include <QStringList>

#include "model/MenuRecords.h"

class QMimeData;

namespace qm {

inline constexpr char kMenuStructureMimeType[] = "application/x-quillamere-menu-structure";

// Writes both forms of items (in pre-order with their levels, as a subtree is stored).
void PutItems(QMimeData& data, const TItemArray& items);
// Whether data offers items in either form (the enabled state of Paste).
bool HoldsItems(const QMimeData& data);
// The items data holds: from the menu structure where there is one, else from the
// plain text. Levels seen from the first item, which is "0"; empty when none. A
// caption from plain text passes the text check of the fields (separator is the
// document's); the warnings of what it removed are added to removed, once each.
TItemArray ItemsOf(const QMimeData& data, const QString& separator, QStringList* removed = nullptr);

TItemArray ItemsOfPlainText(const QString& text, const QString& separator, QStringList* removed = nullptr);
QString PlainTextOf(const TItemArray& items);

}  // namespace qm
