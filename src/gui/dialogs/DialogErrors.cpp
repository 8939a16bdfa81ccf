#include "gui/dialogs/DialogErrors.h"

#include <QtGlobal>

#include <new>
#include <stdexcept>

namespace qm {

QString DescribeException(std::exception_ptr error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory.");
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
    }
    return QStringLiteral("An unexpected error occurred.");
}

void ReportError(const ErrorReporter& report, const QString& message) {
    if (report) report(message);
    else qWarning("%s", qUtf8Printable(message));
}

}  // namespace qm
