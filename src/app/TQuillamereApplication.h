#pragma once
// The application object. Its one addition is the last line of defence of the general
// error handler: every command already catches its own failures, and anything that
// still escapes an event handler is shown in the error box here instead of ending the
// program.

#include <QApplication>

namespace qm {

class TQuillamereApplication final : public QApplication {
    Q_OBJECT
public:
    TQuillamereApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace qm
