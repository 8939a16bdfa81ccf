#include "env/TformWebBrowser.h"

#include "model/Error.h"
#include "env/Settings.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace qm {

namespace {

const QString kGroup = QStringLiteral("Web Browsers");
const QString kUseDefault = QStringLiteral("UseDefaultBrowser");
const QString kUseKnown = QStringLiteral("UseKnownBrowser");
const QString kUseSpecified = QStringLiteral("UseSpecifiedBrowser");
const QString kSelectedNumber = QStringLiteral("SelectedBrowserNumber");
const QString kExePath = QStringLiteral("SpecifiedBrowserExePath");

TformWebBrowser::ExeFileChooser& ChooserSlot() {
    static TformWebBrowser::ExeFileChooser chooser;
    return chooser;
}

QString ChooseWithDialog(QWidget* parent, const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

#ifdef Q_OS_WIN
// One registry value under a machine-wide or per-user key, opened for reading only;
// empty when the key or the value is missing.
QString RegistryText(const QString& root, const QString& key, const QString& value) {
    QSettings settings(root + QLatin1Char('\\') + key, QSettings::NativeFormat);
    return settings.value(value).toString();
}

void AppendWhenFile(std::vector<TWebBrowserNamePath>& list, const QString& name, const QString& path) {
    if (!path.isEmpty() && QFileInfo(path).isFile()) list.push_back({name, path});
}

// Netscape Communicator and Netscape 6 keep their folder under a key named after
// their current version.
void AppendNetscapeVersion(std::vector<TWebBrowserNamePath>& list, const QString& product,
                           const QString& programFile, const QString& displayPrefix) {
    const QString hklm = QStringLiteral("HKEY_LOCAL_MACHINE");
    const QString base = QStringLiteral("SOFTWARE\\Netscape\\") + product;
    const QString version = RegistryText(hklm, base, QStringLiteral("CurrentVersion"));
    if (version.isEmpty()) return;
    QString folder = RegistryText(hklm, base + QLatin1Char('\\') + version + QStringLiteral("\\Main"),
                                  QStringLiteral("Install Directory"));
    if (folder.isEmpty()) return;
    AppendWhenFile(list, displayPrefix + version, folder + programFile);
}
#endif

}  // namespace

std::vector<TWebBrowserNamePath> TformWebBrowser::DetectBrowsers() {
    std::vector<TWebBrowserNamePath> browsers;
#ifdef Q_OS_WIN
    const QString hklm = QStringLiteral("HKEY_LOCAL_MACHINE");
    AppendWhenFile(browsers, QStringLiteral("Internet Explorer"),
                   RegistryText(hklm, QStringLiteral("SOFTWARE\\Microsoft\\windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE"),
                                QStringLiteral("Default")));
    const QString navigator3 = RegistryText(QStringLiteral("HKEY_CURRENT_USER"),
                                            QStringLiteral("SOFTWARE\\Netscape\\Netscape Navigator\\Main"),
                                            QStringLiteral("Install Directory"));
    if (!navigator3.isEmpty())
        AppendWhenFile(browsers, QStringLiteral("Netscape Navigator 3"), navigator3 + QStringLiteral("\\Program\\Netscape.exe"));
    AppendNetscapeVersion(browsers, QStringLiteral("Netscape Navigator"), QStringLiteral("\\Program\\Netscape.exe"),
                          QStringLiteral("Netscape Communicator "));
    AppendNetscapeVersion(browsers, QStringLiteral("Netscape 6"), QStringLiteral("\\netscp6.exe"),
                          QStringLiteral("Netscape "));
#else
    // The order is fixed here, not taken from the file system, so that a stored list
    // index keeps naming the same browser. The first name found of each entry wins.
    struct Candidate {
        const char* displayName;
        std::initializer_list<const char*> programs;
    };
    static const Candidate candidates[] = {
        {"Firefox", {"firefox"}},
        {"Firefox ESR", {"firefox-esr"}},
        {"Chromium", {"chromium", "chromium-browser"}},
        {"Google Chrome", {"google-chrome-stable", "google-chrome"}},
        {"Microsoft Edge", {"microsoft-edge-stable", "microsoft-edge"}},
        {"Brave", {"brave-browser", "brave"}},
        {"Opera", {"opera"}},
        {"Vivaldi", {"vivaldi-stable", "vivaldi"}},
        {"Epiphany", {"epiphany-browser", "epiphany"}},
        {"Konqueror", {"konqueror"}},
        {"Falkon", {"falkon"}},
    };
    QStringList seen;  // canonical paths: one program installed under two names is listed once
    for (const Candidate& candidate : candidates) {
        for (const char* program : candidate.programs) {
            const QString path = QStandardPaths::findExecutable(QLatin1String(program));
            if (path.isEmpty()) continue;
            const QString canonical = QFileInfo(path).canonicalFilePath();
            if (!seen.contains(canonical)) {
                seen.append(canonical);
                browsers.push_back({QLatin1String(candidate.displayName), path});
            }
            break;
        }
    }
#endif
    return browsers;
}

void TformWebBrowser::SetExeFileChooser(ExeFileChooser chooser) {
    ChooserSlot() = std::move(chooser);
}

TformWebBrowser::TformWebBrowser(QWidget* parent) : QDialog(parent) {
    BuildControls();
    FormCreate();
}

void TformWebBrowser::BuildControls() {
    setWindowTitle(QStringLiteral("Web Browser"));
    // A fixed dialog frame with a title but no buttons in it; Escape and Cancel close it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* group = new QGroupBox(QStringLiteral("Web Browser"), this);
    radioDefault_ = new QRadioButton(QStringLiteral("Use Default Browser"), group);
    radioDefault_->setObjectName(QStringLiteral("RadioButtonBrowserDefault"));
    radioKnown_ = new QRadioButton(QStringLiteral("Use Known Browser in System"), group);
    radioKnown_->setObjectName(QStringLiteral("RadioButtonBrowserKnownInSystem"));
    browserList_ = new QComboBox(group);  // not editable: choose only
    browserList_->setObjectName(QStringLiteral("ComboBoxBrowserList"));
    radioSpecified_ = new QRadioButton(QStringLiteral("User Specified Browser Program"), group);
    radioSpecified_->setObjectName(QStringLiteral("RadioButtonBrowserUserSpecify"));
    auto* exeLabel = new QLabel(QStringLiteral("Execute File:"), group);
    exePathEdit_ = new QLineEdit(group);
    exePathEdit_->setObjectName(QStringLiteral("editSpecifiedBrowserFileName"));
    exePathEdit_->setMinimumWidth(300);
    exeLabel->setBuddy(exePathEdit_);
    openExeButton_ = new QToolButton(group);
    openExeButton_->setObjectName(QStringLiteral("spdbtnOpenExeFile"));
    openExeButton_->setText(QStringLiteral("..."));
    openExeButton_->setToolTip(QStringLiteral("Choose the browser's program file"));

    // The list and the program's line sit under their radio buttons, indented.
    const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                       style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    auto* listRow = new QHBoxLayout;
    listRow->addSpacing(indent);
    listRow->addWidget(browserList_, 1);
    auto* exeRow = new QHBoxLayout;
    exeRow->addSpacing(indent);
    exeRow->addWidget(exeLabel);
    exeRow->addWidget(exePathEdit_, 1);
    exeRow->addWidget(openExeButton_);

    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(radioDefault_);
    groupLayout->addWidget(radioKnown_);
    groupLayout->addLayout(listRow);
    groupLayout->addWidget(radioSpecified_);
    groupLayout->addLayout(exeRow);

    okButton_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("bitbtnOk"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("bitbtnCancel"));
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(okButton_);
    buttonRow->addWidget(cancelButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    radioDefault_->setChecked(true);  // the initial layout

    connect(okButton_, &QPushButton::clicked, this, &TformWebBrowser::bitbtnOkClick);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(openExeButton_, &QToolButton::clicked, this, &TformWebBrowser::spdbtnOpenExeFileClick);
    // activated: only the user's choice, not the loading's selection, checks the radio.
    connect(browserList_, &QComboBox::activated, this, &TformWebBrowser::ComboBoxBrowserListChange);
    // toggled, not clicked: checking the button while loading runs the rule as well.
    connect(radioKnown_, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) RadioButtonBrowserKnownInSystemClick();
    });
}

void TformWebBrowser::FormCreate() {
    knownBrowsers_ = DetectBrowsers();
    for (const TWebBrowserNamePath& browser : knownBrowsers_) browserList_->addItem(browser.name);
    browserList_->setCurrentIndex(-1);
    try {
        LoadChoice();
    } catch (const Error&) {
        // A store that cannot be read leaves what was loaded so far.
    }
}

// Loads the stored choice in the order it is stored; a value that is missing or not a
// number ends the loading there, keeping what was set before it.
void TformWebBrowser::LoadChoice() {
    if (!KvxGroupExists(kGroup)) return;
    QRadioButton* const radios[] = {radioDefault_, radioKnown_, radioSpecified_};
    const QString names[] = {kUseDefault, kUseKnown, kUseSpecified};
    for (int i = 0; i < 3; ++i) {
        const auto value = ReadKvxInt(kGroup, names[i]);
        if (!value) return;
        // A checked radio button of the group cannot be unchecked on its own; the next
        // one checked takes its place.
        radios[i]->setChecked(*value != 0);
    }
    const auto selected = ReadKvxInt(kGroup, kSelectedNumber);
    if (!selected) return;
    if (*selected < browserList_->count())
        browserList_->setCurrentIndex(*selected < 0 ? -1 : *selected);
    else if (browserList_->count() > 0)
        browserList_->setCurrentIndex(0);
    const QVariant exePath = ReadKvxValue(kGroup, kExePath);
    if (!exePath.isValid() || exePath.metaType().id() != QMetaType::QString) return;
    exePathEdit_->setText(exePath.toString());
}

void TformWebBrowser::StoreChoice() {
    WriteKvxValue(kGroup, kUseDefault, radioDefault_->isChecked() ? 1 : 0);
    WriteKvxValue(kGroup, kUseKnown, radioKnown_->isChecked() ? 1 : 0);
    WriteKvxValue(kGroup, kUseSpecified, radioSpecified_->isChecked() ? 1 : 0);
    WriteKvxValue(kGroup, kSelectedNumber, browserList_->currentIndex());
    WriteKvxValue(kGroup, kExePath, exePathEdit_->text());
}

void TformWebBrowser::bitbtnOkClick() {
    try {
        StoreChoice();
    } catch (const Error&) {
        // The choice still applies while this window lives; it is just not kept.
    }
    accept();
}

void TformWebBrowser::spdbtnOpenExeFileClick() {
#ifdef Q_OS_WIN
    const QString filter = QStringLiteral("Execute Files (*.exe *.com)");
#else
    const QString filter = QStringLiteral("Programs (*)");
#endif
    const ExeFileChooser& chooser = ChooserSlot();
    const QString caption = QStringLiteral("Browser Program");
    const QString chosen = chooser ? chooser(this, caption, filter) : ChooseWithDialog(this, caption, filter);
    if (!chosen.isEmpty()) exePathEdit_->setText(QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath()));
}

void TformWebBrowser::ComboBoxBrowserListChange(int index) {
    if (index >= 0) radioKnown_->setChecked(true);
}

void TformWebBrowser::RadioButtonBrowserKnownInSystemClick() {
    if (browserList_->count() == 0) radioDefault_->setChecked(true);
}

void TformWebBrowser::FormKeyPress(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TformWebBrowser::keyPressEvent(QKeyEvent* event) {
    FormKeyPress(event);
}

void TformWebBrowser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* shown = screen()) {
        const QRect area = shown->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}

void TformWebBrowser::OpenPage(const QString& folder, const QString& fileName) {
    const QString page = folder + fileName;
    auto openWithDesktop = [&page] { QDesktopServices::openUrl(QUrl::fromLocalFile(page)); };
    auto startProgram = [&page](const QString& program) {
        if (!program.isEmpty()) QProcess::startDetached(program, {QDir::toNativeSeparators(page)});
    };
    if (radioDefault_->isChecked()) {
        openWithDesktop();
    } else if (radioSpecified_->isChecked()) {
        startProgram(exePathEdit_->text());
    } else if (radioKnown_->isChecked()) {
        const int index = browserList_->currentIndex();
        if (index >= 0 && index < static_cast<int>(knownBrowsers_.size()))
            startProgram(knownBrowsers_[static_cast<std::size_t>(index)].path);
        else
            openWithDesktop();  // nothing chosen in the list yet
    }
}

}  // namespace qm
