#include "app/ProgramEntry.h"

#include <QTimer>

#include "gui/CommandGuard.h"
#include "gui/TMainForm.h"
#include "gui/TProjectFiles.h"
#include "gui/TWorkKeeper.h"
#include "gui/TQtUserDialogs.h"
#include "app/TQuillamereApplication.h"
#include "gui/dialogs/TfrmTemplet.h"
#include "gui/WebEngineHost.h"

namespace qm {

QString CommandLineFileName(const QStringList& arguments) {
    return arguments.mid(1).join(QLatin1Char(' ')).trimmed();
}

void OpenAtStart(TMainForm& window, const QString& fileName) {
    if (!fileName.isEmpty()) {
        // A project that cannot be read gets the message File > Open gives, and the
        // window stays empty: the user is told, rather than left to think it lost.
        window.Files().OpenProjectFile(fileName);
        return;
    }
    if (window.Keeper().OfferRecovery()) return;
    bool showChooser = false;
    RunGuarded(window.Dialogs(), &window, [&] { showChooser = TfrmTemplet::ShouldShowAtStart(); });
    if (showChooser) RunGuarded(window.Dialogs(), &window, [&] { window.Files().ShowTemplateChooser(); });
}

int RunQuillamere(int& argc, char** argv, const TStartOptions& options) {
    // Loads nothing of the engine; it only has to be said before the application exists.
    PrepareWebEngine();
    TQuillamereApplication application(argc, argv);

    // The page buffer and the help window are made when first needed: the first frame
    // shows neither.
    TMainForm mainForm;
    mainForm.show();

    // Posted first, so it runs as soon as the loop (or the chooser's loop) is idle.
    const auto quitWhenIdle = [&] {
        if (options.quitWhenIdle) QTimer::singleShot(0, &application, [] { QCoreApplication::exit(0); });
    };
    quitWhenIdle();

    OpenAtStart(mainForm, CommandLineFileName(QCoreApplication::arguments()));
    quitWhenIdle();  // again: the first may have ended only the chooser's loop
    return QApplication::exec();
}

}  // namespace qm
