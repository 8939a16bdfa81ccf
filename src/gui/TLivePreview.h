#pragma once
// The live preview: the page as it would be published, drawn by the same script in the
// embedded engine, following every edit of the document without writing any file (the
// page, the script and the sounds are served from memory by TPreviewSite). It shows
// the page at the width of the menu box as set, or of a phone or a tablet, so the
// narrow-screen menu is seen while editing. A link followed in the pane leaves the
// page where it is: its address goes to the status bar instead.
//
// The engine's view is made the first time the pane is shown, never before: a window
// whose pane stays closed never loads the engine. The same engine measures the menu as
// it draws it, for the size estimate.

#include <QPointer>
#include <QSize>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "gui/TPreviewSite.h"

class QButtonGroup;
class QLabel;
class QScrollArea;

namespace qm {

class IWebView;
class TMenuDocument;

class TLivePreview final : public QWidget {
    Q_OBJECT
public:
    // The widths to show the page at.
    enum class TWidth { Box = 0, Phone = 375, Tablet = 768 };
    // Below this width (CSS px) the script draws the "Menu" button instead of the bar
    // (its NARROW).
    static constexpr int kNarrowScreen = 640;
    // The browsers' own margin around a page's body.
    static constexpr int kPageMargin = 8;
    // How long the measuring of the menu may take before the estimate does without it.
    static constexpr int kMeasureTimeout = 15000;

    // The viewport width (CSS px) a choice shows the page at, for a box this wide: the
    // box as set shows the whole box with the page's margins, on a screen wide enough
    // for the bar.
    static int ViewportWidth(TWidth width, int boxWidth);

    // projectFile: the project file the document saves to, empty while untitled; the
    // page lies beside it (untitled: in the documents folder).
    TLivePreview(TMenuDocument& document, std::function<QString()> projectFile, QWidget* parent = nullptr);
    ~TLivePreview() override;

    TWidth Width() const { return width_; }
    void SetWidth(TWidth width);
    // The width the page is shown at now, in CSS px.
    int ViewportWidth() const;
    // The pane's width that shows the whole page beside a scroll bar.
    int PreferredWidth() const;

    // The view showing the page; nullptr before the pane was first shown, or without an
    // engine (UnavailableText() then says why).
    IWebView* View() const { return view_; }
    QString UnavailableText() const;
    const TPreviewSite& Site() const { return site_; }
    // A page is being loaded: the changes made meanwhile follow in one page after it.
    bool Loading() const { return loading_; }
    // Another page is to come: one is loading, or the document changed since the last
    // one began.
    bool PageDue() const { return loading_ || stale_; }

    // Measures the menu as the engine draws it, every main item in the bar and each
    // row of sub items under it: the width and height of a box that holds it all.
    // done gets nothing when no engine can be had or the page did not answer in time.
    // A newer request replaces an older one, which then gets nothing; a request still
    // open when the pane goes is dropped unanswered.
    void MeasureMenu(std::function<void(std::optional<QSize>)> done);

signals:
    // A page, the first or one after a change, is on screen.
    void PageShown();
    // For the status bar: the address of a link pointed at (an empty text: none any
    // more) or followed, shown for timeout ms (0: until the next message).
    void StatusMessage(const QString& text, int timeout);
    // The user chose another width.
    void WidthChosen(qm::TLivePreview::TWidth width);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateView();
    void ScheduleRefresh();
    void UpdatePage();
    void Refresh();
    void PlaceView();
    bool NavigationRequested(const QUrl& url, bool newWindow);
    void FinishMeasure(std::optional<QSize> size);

    TMenuDocument& document_;
    std::function<QString()> projectFile_;
    TPreviewSite site_;
    TWidth width_ = TWidth::Box;
    IWebView* view_ = nullptr;
    QPointer<QWidget> viewWidget_;
    QString unavailable_;
    bool stale_ = true;     // the document changed since the page was last loaded
    bool loading_ = false;  // a page is being loaded
    QTimer followTimer_;

    IWebView* measureView_ = nullptr;
    QPointer<QWidget> measureWidget_;
    std::function<void(std::optional<QSize>)> measureDone_;
    QTimer measureTimeout_;

    QButtonGroup* widthButtons_ = nullptr;
    QLabel* widthLabel_ = nullptr;
    QScrollArea* stage_ = nullptr;
    QLabel* unavailableLabel_ = nullptr;
};

}  // namespace qm
