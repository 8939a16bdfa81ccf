#pragma once
// The window's File commands: New, Open, Save, Save As, the templates, the exchange
// file and the recent-files list. A whole document comes and goes through the document
// object (TMenuDocument::Reset, Open, Import), which announces it to the views. Whether a
// project may be opened or written here (another window holds it, another program
// changed it) and the recovery copies are TWorkKeeper's.

#include <QObject>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

#include "gui/TWindowContext.h"

class QAction;
class QMenu;
class QWidget;

namespace qm {

struct LoadReport;
class TPanelBinding;
class TWorkKeeper;

class TProjectFiles final : public QObject {
    Q_OBJECT
public:
    TProjectFiles(const TWindowContext& context, TWorkKeeper& keeper, TPanelBinding& binding);

    QAction* New1;
    QAction* Open1;
    QAction* Save1;
    QAction* Save2;
    QAction* Templet1;
    QAction* SaveAsTemplate1;
    QAction* ImportMenuStructure1;
    QAction* ExportMenuStructure1;
    // File > Recent Files: the projects opened or saved last, in every window.
    QMenu* RecentFiles1;

    // Opens a project by name (command line, recent files) and puts it at the top of the
    // recent list. Returns false when it was not opened: the previous document, its name,
    // tree, panels and the recent list then stay as they were. With quiet set, failures
    // are not shown. A project that another window holds is brought forward there, or
    // opened read-only or taken over as the user chooses; changes a crashed window left
    // of it are offered first.
    bool OpenProjectFile(const QString& fileName, bool quiet = false);
    // Opens a template (or a shipped sample) as a new, untitled project with its content:
    // the template file is neither made current nor put into the recent list, so Save
    // asks where to save. Returns false when it was not opened.
    bool OpenTemplate(const QString& fileName);
    // Reads the project file again (a change made elsewhere); false, after its message,
    // when it cannot be read.
    bool Reload(const QString& fileName);
    // Puts a new untitled document in place, as New does, after offering to save the
    // current one: fill makes the new document. Returns false when the user cancelled.
    bool StartNewDocument(const std::function<void(TMenuDocument&)>& fill);
    // The template chooser, shown modally (the Template command and the start).
    void ShowTemplateChooser();
    // The paths of the recent-files list as the File menu shows it, most recent first.
    QStringList RecentFiles();
    // Fills File > Recent Files from the list, which another window may have changed.
    void LoadRecentFiles();
    // The name Export writes: ".gms" appended unless the name ends in it (any case).
    static QString ExchangeFileName(const QString& chosen);
    // While the window closes: false when the user cancelled, or the save asked for did
    // not happen.
    bool SaveBeforeClosing();

signals:
    // New put an empty document in place (after Replaced): its pages start at the first.
    void NewDocumentStarted();

public slots:
    void New1Click();
    void Open1Click();
    void Save1Click();
    void Save2Click();
    void Templet1Click();
    void SaveAsTemplate1Click();
    void ImportMenuStructure1Click();
    void ExportMenuStructure1Click();

private:
    enum class OpenAs { Project, Template, Reload };
    // What Open, a recent entry, the command line, the template chooser and a reload
    // share once the file is chosen.
    bool LoadProjectFile(const QString& fileName, bool quiet, OpenAs how);
    // A file that could not be read or was refused: an "Error" box naming the file by
    // its name, the line and the reason.
    void ShowFileRefusal(const QString& fileName, const std::exception_ptr& error);
    void ShowLoadWarnings(const LoadReport& report, bool quiet);
    // Where the open, save and export dialogs start: the current project's folder, the
    // documents folder while untitled.
    QString DialogFolder() const;
    QString SaveDialog(const QString& title, const QString& filter, const QString& initialFolder);
    // After a save under path: the name, the modified state and the recent list.
    void DocumentSavedAs(const QString& path);
    void SaveAs(const QString& title, const QString& initialFolder);
    bool SavePrompt();
    bool SaveTo(const QString& path);
    const TWindowContext context_;
    TMenuDocument& document_;
    IUserDialogs& dialogs_;
    TWorkKeeper& keeper_;
    TPanelBinding& binding_;
};

}  // namespace qm
