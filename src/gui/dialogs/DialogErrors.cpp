#include "DialogErrors.h"

#include <QtGlobal>

#include <stdexcept>

namespace qm {

QString DescribeException(std::exception_ptr error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
    }
    return QStringLiteral("Unknown error.");
}

void ReportError(const ErrorReporter& report, const QString& message) {
    if (report) report(message);
    else qWarning("%s", qUtf8Printable(message));
}

}  // namespace qm
