// The program's start, exactly as `quillamere` runs it, leaving the event loop as soon
// as the window is up and idle. Exits with 3 when the web engine was loaded all the
// same, with 4 when Qt Network was: with the preview pane closed and no project held,
// start-up must load neither.

#include <QFile>

#include "app/ProgramEntry.h"

int main(int argc, char** argv) {
    const int result = qm::RunQuillamere(argc, argv, {.quitWhenIdle = true});
    QFile maps(QStringLiteral("/proc/self/maps"));
    const QByteArray loaded = maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
    if (loaded.contains("libQt6WebEngineCore")) return 3;
    if (loaded.contains("libQt6Network")) return 4;
    return result;
}
