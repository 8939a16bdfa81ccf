#include "app/TQuillamereApplication.h"

#include "gui/CommandGuard.h"
#include "gui/TQtUserDialogs.h"

namespace qm {

TQuillamereApplication::TQuillamereApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Quillamere"));
    setOrganizationName(QStringLiteral("Tarnwell"));
    setApplicationVersion(QStringLiteral("1.0"));
}

bool TQuillamereApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        TQtUserDialogs::Instance().ShowApplicationError(activeWindow(), DescribeException(std::current_exception()));
        return false;
    }
}

}  // namespace qm
