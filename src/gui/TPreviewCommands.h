#pragma once
// The preview of the menu. Flash > Preview builds the page of the document as it stands
// (what is on screen: the controls hold nothing the document lacks) into the page
// buffer, stages it in the Preview folder with the movie, the script and the sounds, and
// opens it in the chosen browser. Beside it the live preview pane (View > Live Preview),
// a dock that shows the page in the embedded engine as the document changes, with the
// window's place and the pane's kept from one start to the next; and the estimate of
// the menu box's size, which measures the menu as the engine draws it. The window only
// puts the actions into its menus and toolbar.

#include <QObject>
#include <QPointer>
#include <QString>
#include <utility>

#include "gui/TWindowContext.h"

class QAction;
class QDockWidget;
class QMainWindow;

namespace qm {

class THelpCommands;
class TLivePreview;
class TPanelBinding;
class TWindowLayoutKeeper;
class TformHTML;

class TPreviewCommands final : public QObject {
    Q_OBJECT
public:
    // Puts the pane's dock into mainWindow (the context's window), hidden until
    // RestoreLivePreview. The tip before a preview opens its help through help.
    TPreviewCommands(const TWindowContext& context, QMainWindow& mainWindow, TPanelBinding& binding,
                     THelpCommands& help);
    // The pane goes with the commands: it shows the document, which the window lets go
    // of right after.
    ~TPreviewCommands() override;

    QAction* Preview1;
    // The dock's own toggle: the menu's entry, its keys and the dock's close box agree.
    QAction* LivePreview1;

    // The hidden page buffer window, made when first needed.
    TformHTML& HtmlWindow();
    TLivePreview& LivePreview() { return *livePreview_; }
    // The pane's dock, "dckLivePreview".
    QDockWidget& LivePreviewDock();

    // The page buffer is rebuilt; false (after its message) when the menu is refused.
    // Its relative links are resolved against the project's folder (the documents
    // folder while untitled): the page is opened from the Preview folder.
    bool BuildHtmlToBuffer();
    // The folder the project's page is published into; the documents folder while
    // untitled. Ends in "/".
    QString ProjectFolder() const;

    // Before the window is first shown: the window where it was and as large, the pane
    // where it was and as wide (or, the first time, a size that fits the screen), open
    // when the user left it open.
    void RestoreLivePreview();
    // While the window closes, still shown: its place, its docks and whether the pane
    // is open.
    void KeepWindowLayout();

public slots:
    void Preview1Click();
    // The two size fields as one step, from the menu as the engine draws it.
    void btnCalcSizeClick();

signals:
    // The estimate waits for the engine's measure: its button is off meanwhile.
    void Estimating(bool estimating);

private:
    void BuildLivePreview();
    // The menu box size as the formula estimates it from the main items and heights.
    std::pair<long long, long long> FormulaEstimate() const;
    // The two size fields as one step, each pulled into its range.
    void ApplyEstimate(long long width, long long height);
    const TWindowContext context_;
    QMainWindow& mainWindow_;
    TPanelBinding& binding_;
    THelpCommands& help_;
    QPointer<TformHTML> htmlWindow_;
    QPointer<QDockWidget> dock_;
    TLivePreview* livePreview_ = nullptr;
    TWindowLayoutKeeper* layoutKeeper_ = nullptr;  // a child of the window
    bool measuring_ = false;  // the size estimate waits for the engine's measure
};

}  // namespace qm
