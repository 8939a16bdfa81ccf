#pragma once
// The help window: a tool window showing one help page at a time in the embedded
// engine, styled as in a browser (the contents beside the topic), with Back, Forward
// and Home (the index) and a link "Open in browser" that hands the page to the user's
// browser. It lives for the whole run and stays modeless; help buttons navigate it and
// show it, Escape hides it again wherever the focus is in it. Links to anything but a
// local page (the web, mail, project files) go to the user's browser or their program.
//
// The engine is made with the first page shown, not with the window (which exists from
// the start). Where no engine can be had the pages show in a plain text viewer.

#include <QPointer>
#include <QWidget>

class QLabel;
class QTextBrowser;
class QToolButton;

namespace qm {

class IWebView;

class TfrmHelp final : public QWidget {
    Q_OBJECT
public:
    explicit TfrmHelp(QWidget* parent = nullptr);
    ~TfrmHelp() override;

    // Shows the page at url ("file:///..."); a page that does not exist shows what the
    // viewer shows for a missing file.
    void Navigate(const QString& url);
    // The page shown (or being loaded); empty before the first.
    QString CurrentUrl() const;
    // The index of the help pages, which Home shows.
    static QString HomeUrl();

    bool CanGoBack() const;
    bool CanGoForward() const;
    void Back();
    void Forward();
    void Home();

    // The engine's view; nullptr before the first page, or in the text viewer.
    IWebView* View() const { return view_; }

signals:
    // A page or an address for the user's browser or the desktop: "Open in browser",
    // or a link to anything but a local page. A local file comes as its path.
    void OpenExternally(const QString& pathOrUrl);
    // A page has been loaded (ok false: it could not be).
    void PageLoaded(bool ok);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void MakeViewer();
    bool NavigationRequested(const QUrl& url, bool newWindow);
    void UpdateButtons();
    void OpenInBrowser();

    IWebView* view_ = nullptr;
    QPointer<QWidget> viewWidget_;
    QTextBrowser* WebBrowser1 = nullptr;
    QString requested_;
    QToolButton* tlbtnHelpBack = nullptr;
    QToolButton* tlbtnHelpForward = nullptr;
    QToolButton* tlbtnHelpHome = nullptr;
    QLabel* lblOpenInBrowser = nullptr;
};

}  // namespace qm
