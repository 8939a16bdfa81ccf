#include "gui/CommandActions.h"

#include <QAction>

namespace qm {

QAction* MakeCommandAction(QObject* owner, const QString& caption, const char* name, std::optional<TIconKind> icon,
                           const QKeySequence& keys) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    if (icon) action->setIcon(MakeIcon(*icon));
    if (!keys.isEmpty()) action->setShortcut(keys);
    return action;
}

}  // namespace qm
