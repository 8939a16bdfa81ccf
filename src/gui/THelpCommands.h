#pragma once
// The help: Help Topics, the help page of the settings that have the focus (F1), the
// samples, the help buttons of the property pages, the product's homepage, the address
// to write to and the About box. Pages show in the help window, made when first needed;
// without an engine to show them the index and the samples go to the user's browser.
// The window only puts the actions into its menus and connects the pages' help buttons.

#include <QObject>
#include <QString>
#include <memory>

#include "gui/TWindowContext.h"

class QAction;

namespace qm {

class TPropertyPages;
class TfrmHelp;

class THelpCommands final : public QObject {
    Q_OBJECT
public:
    // F1 asks pages which help button belongs to the focused field.
    THelpCommands(const TWindowContext& context, TPropertyPages& pages);
    ~THelpCommands() override;

    QAction *Topic1, *ContextHelp1, *ViewSample1, *Homepage1, *ContactUs1, *About1;

    // The help window, made on the first call. A window of its own, not a child of the
    // main window: a tip that is modal to the main window would otherwise block the
    // help page it opens. It goes with these commands.
    TfrmHelp& HelpWindow();
    // The help page a help button's Tag selects ("getting_started.htm" for others).
    static QString HelpPageOfTag(int tag);

public slots:
    void Topic1Click();
    // F1: the help page of the group whose field has the focus; Help Topics elsewhere.
    void ContextHelp1Click();
    void ViewSample1Click();
    void Homepage1Click();
    void ContactUs1Click();
    void About1Click();
    // A help button: the page of its Tag.
    void SpeedButton_OnClick_LaunchHelpDoc(QObject* sender);

private:
    // Shows a page in the help window, made visible.
    void ShowHelp(const QString& url);
    const TWindowContext context_;
    TPropertyPages& pages_;
    std::unique_ptr<TfrmHelp> helpWindow_;
};

}  // namespace qm
