#pragma once
// Collects the messages handed to an error reporter.

#include <QString>
#include <QStringList>

namespace qm::test {

struct ErrorLog {
    QStringList messages;
    auto Reporter() {
        return [this](const QString& message) { messages << message; };
    }
};

}  // namespace qm::test
