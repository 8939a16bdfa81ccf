// The program's start, exactly as `quillamere` runs it, leaving the event loop as soon
// as the window is up and idle. Exits with 3 when the web engine was loaded all the
// same: with the preview pane closed, start-up must not load it.

#include <QFile>

#include "app/ProgramEntry.h"

int main(int argc, char** argv) {
    const int result = qm::RunQuillamere(argc, argv, {.quitWhenIdle = true});
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore")) return 3;
    return result;
}
