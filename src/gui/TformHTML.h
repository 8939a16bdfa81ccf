#pragma once
// Holds the page last built for preview (the page buffer). Created at start and kept
// for the whole run; the program never shows it itself.

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace qm {

class TformHTML final : public QDialog {
    Q_OBJECT
public:
    explicit TformHTML(QWidget* parent = nullptr);

    // The page buffer, one entry per line; replaced as a whole.
    QStringList Lines() const;
    void SetLines(const QStringList& lines);
    QString Text() const;

public slots:
    void Button2Click();  // selects the whole page and copies it to the clipboard

private:
    QPlainTextEdit* memoHTMLBuild;
    QPushButton* Button1;
    QPushButton* Button2;
};

}  // namespace qm
