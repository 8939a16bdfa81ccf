#include "gui/TformHTML.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

TformHTML::TformHTML(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TformHTML"));
    setWindowTitle(QStringLiteral("HTML"));
    memoHTMLBuild = new QPlainTextEdit(this);
    memoHTMLBuild->setObjectName(QStringLiteral("memoHTMLBuild"));
    memoHTMLBuild->setReadOnly(true);
    memoHTMLBuild->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoHTMLBuild->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoHTMLBuild->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoHTMLBuild->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("&Copy to Clipboard"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &TformHTML::Button2Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memoHTMLBuild);
    layout->addLayout(buttons);
    resize(640, 480);
}

QStringList TformHTML::Lines() const {
    const QString text = memoHTMLBuild->toPlainText();
    if (text.isEmpty()) return {};
    return text.split(QLatin1Char('\n'));
}

void TformHTML::SetLines(const QStringList& lines) {
    memoHTMLBuild->setPlainText(lines.join(QLatin1Char('\n')));
}

QString TformHTML::Text() const {
    return memoHTMLBuild->toPlainText();
}

void TformHTML::Button2Click() {
    memoHTMLBuild->selectAll();
    memoHTMLBuild->copy();
}

}  // namespace qm
