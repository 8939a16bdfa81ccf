#pragma once
// The help window: a tool window showing one help page at a time. It lives for the
// whole run; help buttons navigate it and show it, Escape hides it again.

#include <QWidget>

class QTextBrowser;

namespace qm {

class TfrmHelp final : public QWidget {
    Q_OBJECT
public:
    explicit TfrmHelp(QWidget* parent = nullptr);

    // Shows the page at url ("file:///..."); a page that does not exist shows empty.
    void Navigate(const QString& url);
    QString CurrentUrl() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* WebBrowser1;
};

}  // namespace qm
