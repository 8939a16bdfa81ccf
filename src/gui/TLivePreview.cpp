#include "gui/TLivePreview.h"

#include <QButtonGroup>
#include <QChildEvent>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "env/AppFolders.h"
#include "output/PageWriter.h"
#include "gui/TMenuDocument.h"
#include "gui/WebEngineHost.h"
#include "model/WholeNumber.h"

namespace qm {

namespace {

// Measures the menu the script has drawn in the shadow root of the box (swfhelper.js:
// the bar .bar of main items .main, each row of sub items a ul under its item, the
// "More" item .more, whose list gets the main items the bar does not show when it
// first opens): every main item is put back into the bar, the "More" item hidden, and
// the widest of the bar and the rows is the width; the bar's height and the tallest
// row's are the height. A row gets its sub items when it first opens, so each is opened
// by its button once; then every row is laid out where it lies, none clipped by the box
// or the window.
constexpr char kMeasureScript[] = R"((function () {
  var box = document.getElementById('mkvo_menu_zelvan_outer_div'), menu = box && box.shadowRoot;
  if (!menu) return null;
  var bar = menu.querySelector('.bar'), more = bar.querySelector('.more');
  more.firstChild.click();
  more.firstChild.click();
  menu.querySelectorAll('.main:not(.more)').forEach(function (li) { bar.insertBefore(li, more); });
  more.style.display = 'none';
  bar.querySelectorAll(':scope>.main>button:last-of-type').forEach(function (button) { button.click(); });
  var barBox = bar.getBoundingClientRect(), width = barBox.width, rows = 0;
  bar.querySelectorAll(':scope>.main>ul').forEach(function (row) {
    row.style.display = 'flex';
    row.style.maxWidth = row.style.maxHeight = 'none';
    var box = row.getBoundingClientRect();
    width = Math.max(width, box.width);
    rows = Math.max(rows, box.height);
  });
  return [Math.ceil(width), Math.ceil(barBox.height + rows)];
})())";

// The box width as the script reads it: a whole number in 1..9999, else its default.
int BoxWidthOf(const TMenuDocument& document) {
    const auto width = ParseWholeNumber(document.Agent().AppletData().flMenuMaxWidth);
    return width ? static_cast<int>(std::clamp<long long>(*width, 1, 9999)) : 600;
}

}  // namespace

int TLivePreview::ViewportWidth(TWidth width, int boxWidth) {
    if (width == TWidth::Box) return std::max(boxWidth + 2 * kPageMargin, kNarrowScreen);
    return static_cast<int>(width);
}

// The script's rule: a screen narrower than its NARROW, or one that cannot show the
// whole box beside the page's margins, gets the "Menu" button.
QString TLivePreview::NarrowReason(int viewportWidth, int boxWidth) {
    if (viewportWidth < kNarrowScreen)
        return QStringLiteral("This page is %1 px wide, narrower than %2 px: the menu shows as its \"Menu\" button, "
                              "as on a phone.")
            .arg(viewportWidth)
            .arg(kNarrowScreen);
    if (boxWidth + 2 * kPageMargin > viewportWidth)
        return QStringLiteral("The menu box (%1 px) is wider than this %2 px page can show beside its margins: the "
                              "menu shows as its \"Menu\" button. A box of up to %3 px shows the bar here.")
            .arg(boxWidth)
            .arg(viewportWidth)
            .arg(viewportWidth - 2 * kPageMargin);
    return {};
}

TLivePreview::TLivePreview(TMenuDocument& document, std::function<QString()> projectFile, QWidget* parent)
    : QWidget(parent), document_(document), projectFile_(std::move(projectFile)) {
    setObjectName(QStringLiteral("pnlLivePreview"));

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    widthButtons_ = new QButtonGroup(this);
    const struct {
        TWidth width;
        const char* name;
        const char* caption;
        const char* hint;
    } choices[] = {
        {TWidth::Box, "tlbtnPreviewBox", "Box", "The page wide enough for the menu box as set"},
        {TWidth::Phone, "tlbtnPreviewPhone", "Phone", "The page on a phone, 375 px wide"},
        {TWidth::Tablet, "tlbtnPreviewTablet", "Tablet", "The page on a tablet, 768 px wide"},
    };
    for (const auto& choice : choices) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(choice.name));
        button->setText(QString::fromLatin1(choice.caption));
        button->setToolTip(QString::fromLatin1(choice.hint));
        button->setCheckable(true);
        button->setAutoRaise(true);
        widthButtons_->addButton(button, static_cast<int>(choice.width));
        bar->addWidget(button);
    }
    widthButtons_->button(static_cast<int>(TWidth::Box))->setChecked(true);
    connect(widthButtons_, &QButtonGroup::idClicked, this, [this](int id) {
        SetWidth(static_cast<TWidth>(id));
        emit WidthChosen(width_);
    });
    bar->addStretch(1);
    widthLabel_ = new QLabel(this);
    widthLabel_->setObjectName(QStringLiteral("lblPreviewWidth"));
    bar->addWidget(widthLabel_);
    narrowLabel_ = new QLabel(this);
    narrowLabel_->setObjectName(QStringLiteral("lblPreviewNarrow"));
    narrowLabel_->setWordWrap(true);
    narrowLabel_->setContentsMargins(8, 0, 8, 6);
    narrowLabel_->setForegroundRole(QPalette::PlaceholderText);
    narrowLabel_->hide();

    stage_ = new QScrollArea(this);
    stage_->setObjectName(QStringLiteral("sbxLivePreview"));
    stage_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    stage_->setFrameShape(QFrame::NoFrame);
    stage_->setBackgroundRole(QPalette::Mid);
    stage_->setWidgetResizable(false);
    // A container, not a stop of its own: the focus goes to the page in it.
    stage_->setFocusPolicy(Qt::NoFocus);
    stage_->setAccessibleName(QStringLiteral("Live preview"));
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pnlPreviewPage"));
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    stage_->setWidget(page);
    stage_->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(narrowLabel_);
    layout->addWidget(stage_, 1);

    // The page follows a change once the event loop is free again, so that the several
    // changes of one command make one page.
    followTimer_.setSingleShot(true);
    followTimer_.setInterval(0);
    connect(&followTimer_, &QTimer::timeout, this, &TLivePreview::Refresh);
    measureTimeout_.setSingleShot(true);
    measureTimeout_.setInterval(kMeasureTimeout);
    connect(&measureTimeout_, &QTimer::timeout, this, [this] { FinishMeasure(std::nullopt); });

    connect(&document_, &TMenuDocument::Changed, this, &TLivePreview::ScheduleRefresh);
    connect(&document_, &TMenuDocument::FileNameChanged, this, &TLivePreview::ScheduleRefresh);
    // The width shown and why the menu is narrow follow the box at once, engine or not.
    connect(&document_, &TMenuDocument::Changed, this, &TLivePreview::PlaceView);
    PlaceView();
}

TLivePreview::~TLivePreview() {
    // The views go first: nothing they still tell reaches a pane half gone.
    // A measuring still under way is dropped: whoever asked goes with the pane.
    measureDone_ = nullptr;
    delete viewWidget_;
    delete measureWidget_;
}

void TLivePreview::SetWidth(TWidth width) {
    width_ = width;
    if (QAbstractButton* button = widthButtons_->button(static_cast<int>(width))) button->setChecked(true);
    PlaceView();
}

int TLivePreview::ViewportWidth() const {
    return ViewportWidth(width_, BoxWidthOf(document_));
}

int TLivePreview::PreferredWidth() const {
    return ViewportWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
}

QString TLivePreview::UnavailableText() const {
    if (unavailable_.isEmpty()) return {};
    return QStringLiteral("The live preview needs the embedded web engine, which cannot be used here: ") +
           unavailable_ + QLatin1Char('.');
}

void TLivePreview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The engine is made once the pane is on screen, so that the window shows first.
    if (!view_ && unavailable_.isEmpty())
        QTimer::singleShot(0, this, [this] {
            if (!view_ && unavailable_.isEmpty() && isVisible()) CreateView();
        });
    else if (stale_)
        ScheduleRefresh();
}

// Escape belongs to the page (it closes the menu's open row) and must not reach the
// main window, which Escape closes.
void TLivePreview::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TLivePreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == stage_->viewport() && event->type() == QEvent::Resize) PlaceView();
    // The engine makes the parts that draw and take the keys as it needs them.
    if (event->type() == QEvent::ChildPolished && watched == viewWidget_)
        if (auto* part = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) KeepOutOfTabCycle(part);
    return QWidget::eventFilter(watched, event);
}

void TLivePreview::KeepOutOfTabCycle(QWidget* widget) {
    if (widget->focusPolicy() != Qt::NoFocus) widget->setFocusPolicy(Qt::ClickFocus);
    if (widget == viewWidget_) widget->installEventFilter(this);
    for (QWidget* part : widget->findChildren<QWidget*>())
        if (part->focusPolicy() != Qt::NoFocus) part->setFocusPolicy(Qt::ClickFocus);
}

void TLivePreview::CreateView() {
    IWebEngine* engine = WebEngine();
    if (!engine) {
        unavailable_ = WebEngineUnavailableReason();
        unavailableLabel_ = new QLabel(UnavailableText(), this);
        unavailableLabel_->setObjectName(QStringLiteral("lblPreviewUnavailable"));
        unavailableLabel_->setWordWrap(true);
        unavailableLabel_->setMargin(12);
        unavailableLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        static_cast<QVBoxLayout*>(layout())->addWidget(unavailableLabel_, 1);
        stage_->hide();
        return;
    }
    TWebViewEvents events;
    events.loadFinished = [this](bool) {
        loading_ = false;
        // Changes made while the page loaded are shown now: a load is never cut short by
        // the next change, so that a large menu typed into still shows its pages.
        if (stale_ && isVisible()) ScheduleRefresh();
    };
    events.pageShown = [this] { emit PageShown(); };
    events.linkHovered = [this](const QUrl& url) {
        emit StatusMessage(url.isEmpty() ? QString() : TPreviewSite::AddressOf(url), 0);
    };
    events.navigationRequested = [this](const QUrl& url, bool newWindow) { return NavigationRequested(url, newWindow); };
    QWidget* page = stage_->widget();
    view_ = engine->CreateView(std::move(events), page);
    viewWidget_ = view_->Widget();
    viewWidget_->setAccessibleName(QStringLiteral("Menu page preview"));
    KeepOutOfTabCycle(viewWidget_);
    page->layout()->addWidget(viewWidget_);
    Refresh();
}

void TLivePreview::ScheduleRefresh() {
    stale_ = true;
    // The page follows at once, unless a page is loading: the changes made meanwhile are
    // shown together when it has loaded, so however fast the user types the page lags by
    // one load at most.
    if (view_ && isVisible() && !loading_ && !followTimer_.isActive()) followTimer_.start();
}

void TLivePreview::UpdatePage() {
    const QString project = projectFile_ ? projectFile_() : QString();
    if (project.isEmpty()) {
        QString folder;
        try {
            folder = GetDocumentsFolder();
        } catch (const std::exception&) {
            folder = QDir::homePath();  // the folder only gives the page its place
        }
        site_.SetLocation(folder, QStringLiteral("~preview.html"));
    } else {
        const QFileInfo info(project);
        site_.SetLocation(info.absolutePath(), info.completeBaseName() + QStringLiteral(".html"));
    }
    const TkvxAppletAgent& agent = document_.Agent();
    site_.SetPage(QByteArray::fromStdString(MakePreviewHtmlText(agent)));
    QStringList sounds;
    for (const std::string* sound : {&agent.AppletData().mainItemHoverSound, &agent.AppletData().subItemHoverSound,
                                     &agent.AppletData().itemActiveSound})
        if (const QString name = QString::fromStdString(*sound).trimmed(); !name.isEmpty()) sounds << name;
    site_.SetSounds(sounds);
}

void TLivePreview::Refresh() {
    followTimer_.stop();
    if (!view_ || loading_) return;  // the load's end shows the changes
    UpdatePage();
    PlaceView();
    loading_ = true;
    stale_ = false;
    view_->Load(site_.PageUrl());
}

void TLivePreview::PlaceView() {
    const int width = ViewportWidth();
    widthLabel_->setText(QString::number(width) + QStringLiteral(" px"));
    const QString narrow = NarrowReason(width, BoxWidthOf(document_));
    narrowLabel_->setText(narrow);
    narrowLabel_->setVisible(!narrow.isEmpty());
    const int height = std::max(stage_->viewport()->height(), 120);
    stage_->widget()->setFixedSize(width, height);
}

bool TLivePreview::NavigationRequested(const QUrl& url, bool newWindow) {
    const QUrl page = site_.PageUrl();
    if (!newWindow && url.adjusted(QUrl::RemoveFragment) == page) return true;
    emit StatusMessage(QStringLiteral("Not followed in the preview: ") + TPreviewSite::AddressOf(url), 8000);
    return false;
}

void TLivePreview::MeasureMenu(std::function<void(std::optional<QSize>)> done) {
    if (measureDone_) FinishMeasure(std::nullopt);
    IWebEngine* engine = WebEngine();
    if (!engine) {
        done(std::nullopt);
        return;
    }
    measureDone_ = std::move(done);
    if (!measureView_) {
        TWebViewEvents events;
        events.loadFinished = [this](bool ok) {
            if (!measureDone_) return;
            if (!ok) {
                FinishMeasure(std::nullopt);
                return;
            }
            measureView_->RunJavaScript(QString::fromLatin1(kMeasureScript), [this](const QVariant& result) {
                const QVariantList size = result.toList();
                if (size.size() == 2 && size[0].toInt() > 0 && size[1].toInt() > 0)
                    FinishMeasure(QSize(size[0].toInt(), size[1].toInt()));
                else
                    FinishMeasure(std::nullopt);
            });
        };
        // Only the page itself is ever loaded here.
        events.navigationRequested = [this](const QUrl& url, bool newWindow) {
            return !newWindow && url.adjusted(QUrl::RemoveFragment) == site_.PageUrl();
        };
        // A hidden window of its own, wide enough that the script draws the bar.
        measureView_ = engine->CreateView(std::move(events), nullptr);
        measureWidget_ = measureView_->Widget();
        measureWidget_->resize(1024, 600);
    }
    UpdatePage();
    measureTimeout_.start();
    measureView_->Load(site_.PageUrl());
}

void TLivePreview::FinishMeasure(std::optional<QSize> size) {
    measureTimeout_.stop();
    if (auto done = std::exchange(measureDone_, nullptr)) done(size);
}

}  // namespace qm
