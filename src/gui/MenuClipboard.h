#pragma once
// Menu items on the clipboard and in drag and drop. Two forms travel together:
// - the menu structure: the text of an exchange file, whose rows carry each item's
//   level, caption, link and target, under kMenuStructureMimeType: a branch copied in
//   one window pastes whole into another project in another window;
// - indented plain text for other programs: a line an item, a tab before each sub
//   item, and after the caption its link and its target (where not "_self") in
//   columns of their own, as a spreadsheet takes them.
// Plain text from elsewhere becomes items as well: each line that is not blank an
// item, a line indented more than the main item above it a sub item of that one. A
// line's columns split by tabs are the caption, the link and the target, as a
// spreadsheet's rows or a text editor's "Caption<tab>URL" lines give them; a list's
// marker before the caption ("- ", "* ", "1. ") is no part of it.

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
// A caption without the list marker it may start with ("- ", "* ", "• ", "1. ", "2) ").
QString WithoutListMarker(const QString& caption);
QString PlainTextOf(const TItemArray& items);

}  // namespace qm
