#pragma once
// The about box: the product's name, version and copyright, and its two web addresses
// as link labels, on the light page of the desktop's palette. A link label shows in the
// palette's link colour with a hand cursor, turns to its visited-link colour while the
// mouse moves over it and back when the mouse moves over the window's background;
// clicking it opens its address.

#include <QDialog>
#include <QPalette>

#include <functional>

class QLabel;
class QPushButton;

namespace qm {

class TformAbout final : public QDialog {
    Q_OBJECT
public:
    // Hands a web address to the desktop to open (the main window passes its shell
    // opener; tests record the address). Its result is not checked and anything it
    // throws is dropped: an address that does not open is the browser's matter.
    using AddressOpener = std::function<void(const QString& address)>;

    static constexpr const char* kProductName = "Quillamere";
    static constexpr const char* kVersionText = "Version 1.0";
    static constexpr const char* kRevisionText = "Rev. 00";
    static const QString& CopyrightText();
    // The palette roles of a link label's text at rest and under the mouse: the
    // desktop's own link colours, so that a dark theme keeps them readable.
    static constexpr QPalette::ColorRole kLinkRole = QPalette::Link;
    static constexpr QPalette::ColorRole kHotLinkRole = QPalette::LinkVisited;

    // An empty opener opens addresses with QDesktopServices. The window shows the icon of
    // the parent's window, or the application's when there is no parent.
    explicit TformAbout(AddressOpener openAddress = {}, QWidget* parent = nullptr);

public slots:
    void Label8Click();
    void Label10Click();
    void Label8MouseMove();
    void Label10MouseMove();
    void FormMouseMove();

protected:
    // Mouse moves over the window's background, and over the plain labels, which pass
    // them on to the window.
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* MakeLinkLabel(const QString& name, const QString& address);
    void Open(const QString& address);

    AddressOpener openAddress_;
    QLabel* lblProductName;
    QLabel* lblProductVersion;
    QLabel* lblCopyright;
    QLabel* Label8;
    QLabel* Label10;
    QPushButton* Button1;
};

}  // namespace qm
