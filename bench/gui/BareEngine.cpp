// The baseline of the first preview page: the engine's own start in a bare Qt program,
// from making a web view beside a window already shown until it shows a small page, in
// nanoseconds on standard output ("first_page_ns=N").

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdio>

namespace {

// The view's surface painted after the load: the page is on screen.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QElapsedTimer& clock) : clock_(clock) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::printf("first_page_ns=%lld\n", static_cast<long long>(clock_.nsecsElapsed()));
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer& clock_;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    window.resize(825, 622);
    window.show();
    QElapsedTimer clock;
    PaintWatch watch(clock);
    QTimer::singleShot(0, &window, [&] {
        clock.start();
        auto* view = new QWebEngineView(&window);
        layout->addWidget(view);
        QObject::connect(view->page(), &QWebEnginePage::loadFinished, view,
                         [&, view] { view->focusProxy()->installEventFilter(&watch); });
        view->setHtml(QStringLiteral("<nav><a href='#'>Quillamere</a></nav>"));
    });
    QTimer::singleShot(30000, &application, [] { QCoreApplication::exit(1); });
    return QApplication::exec();
}
