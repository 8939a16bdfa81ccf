#pragma once
// The one way the window's parts make a command's action: its caption, the object name
// the tests and the accessibility tree know it by, its icon and its keys.

#include <QKeySequence>
#include <QString>
#include <optional>

#include "gui/IconFactory.h"

class QAction;
class QObject;

namespace qm {

QAction* MakeCommandAction(QObject* owner, const QString& caption, const char* name,
                           std::optional<TIconKind> icon = {}, const QKeySequence& keys = {});

}  // namespace qm
