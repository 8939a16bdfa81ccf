#include "app/ProgramEntry.h"

#include <QTimer>

#include "gui/CommandGuard.h"
#include "gui/TMainForm.h"
#include "gui/TQtUserDialogs.h"
#include "app/TQuillamereApplication.h"
#include "gui/TformHTML.h"
#include "gui/TfrmHelp.h"
#include "gui/dialogs/TfrmTemplet.h"
#include "gui/WebEngineHost.h"

namespace qm {

QString CommandLineFileName(const QStringList& arguments) {
    return arguments.mid(1).join(QLatin1Char(' ')).trimmed();
}

int RunQuillamere(int& argc, char** argv, const TStartOptions& options) {
    // Loads nothing of the engine; it only has to be said before the application exists.
    PrepareWebEngine();
    TQuillamereApplication application(argc, argv);

    TMainForm mainForm;
    TformHTML htmlWindow(&mainForm);
    // The help window has no parent: the Flash tip is modal to the main window, and the
    // help page its button opens must stay usable beside it.
    TfrmHelp helpWindow(nullptr);
    mainForm.AttachAuxiliaryWindows(&htmlWindow, &helpWindow);
    mainForm.show();

    // Posted first, so it runs as soon as the loop (or the chooser's loop) is idle.
    const auto quitWhenIdle = [&] {
        if (options.quitWhenIdle) QTimer::singleShot(0, &application, [] { QCoreApplication::exit(0); });
    };
    quitWhenIdle();

    const QString fileName = CommandLineFileName(QCoreApplication::arguments());
    if (!fileName.isEmpty()) {
        // A project named on the command line that cannot be opened is passed over
        // without a word, and start-up goes on.
        mainForm.SetModified(false);
        mainForm.OpenProjectFile(fileName, true);
    } else {
        bool showChooser = false;
        RunGuarded(mainForm.Dialogs(), &mainForm, [&] { showChooser = TfrmTemplet::ShouldShowAtStart(); });
        if (showChooser) RunGuarded(mainForm.Dialogs(), &mainForm, [&] { mainForm.ShowTemplateChooser(); });
    }
    quitWhenIdle();  // again: the first may have ended only the chooser's loop
    return QApplication::exec();
}

}  // namespace qm
