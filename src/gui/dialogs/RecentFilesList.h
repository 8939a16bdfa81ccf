#pragma once
// The list of the four projects opened or saved last, kept between runs in the text file
// "recentfile.dat" in the per-user Temp folder. Each line reads "&" + its position
// (1 to 4) + " " + the project's full path, most recent first, e.g.
//   &1 /home/ann/Menus/a.zorbel
// The whole line is the caption of its entry in the "&Recent Files" submenu, so the
// digit is the entry's keyboard accelerator.
//
// Only the first four lines of the file count; an empty line among them is a slot that
// holds nothing: it shows no entry, but keeps the place of the entries after it until
// the next addition numbers them by slot again.
//
// The object holds no list of its own: every call reads the file again, so two windows
// (or a user editing the file) never see stale entries.
//
// Failures: a file that cannot be created, read or written throws qm::Error naming the
// file and the system's reason ("/…/recentfile.dat: cannot open the file: Permission
// denied"). The file is replaced only once the new text is completely written.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QMenu;

namespace qm {

// One entry of the submenu.
struct RecentFileEntry {
    QString caption;   // the line as it stands in the file, e.g. "&1 /home/ann/a.zorbel"
    QString fileName;  // the caption without its first three characters: the path to open
    // The caption for a Qt menu: the leading "&n" stays the accelerator, while any "&"
    // in the path is doubled so that it shows as itself.
    QString MenuText() const;
};

class RecentFilesList {
public:
    static constexpr int kCapacity = 4;
    static constexpr const char* kFileName = "recentfile.dat";

    // A list kept in the given file. Nothing is read or created yet.
    explicit RecentFilesList(QString filePath);
    // The program's list: GetTempFolder() + "recentfile.dat". Throws qm::Error when the
    // Temp folder cannot be found or made.
    static RecentFilesList InTempFolder();

    const QString& FilePath() const { return filePath_; }

    // Creates the file empty when it is missing, then returns its lines from the start
    // up to the end of the file or four lines, whichever comes first, without their line
    // ends and including empty ones.
    QStringList ReadLines() const;

    // What the submenu shows, in file order: one entry for each non-empty line read.
    // Creates the file when missing, as ReadLines does.
    std::vector<RecentFileEntry> Entries() const;

    // Puts fileName at the top of the list and rewrites the file. Returns whether the
    // file changed:
    // - an empty name, or one holding a line break or Ctrl+Z (it could not be read back
    //   as one line), changes nothing and does not even create the file;
    // - a name already in slot 1, spelt exactly the same (letter case counts), leaves
    //   the list and the file as they were;
    // - a name in a later slot moves to slot 1, the slots above its old one moving down
    //   by one; a name not listed takes slot 1 and every slot moves down by one, the
    //   fourth path dropping out. The file is then rewritten with one line per non-empty
    //   slot, numbered by its slot: "&" + n + " " + path, ended by CR LF.
    // The path of a non-empty line is the line without its first three characters,
    // whatever they are.
    bool Add(const QString& fileName) const;

    // The path a submenu entry opens: its caption without the first three characters.
    static QString FileNameOfCaption(const QString& caption);

    // Rebuilds a submenu from the entries: removes every action of menu, adds one action
    // per entry (text MenuText(), data the caption) whose triggering calls
    // open(entry.fileName), and disables the menu when it has no entry, so choosing it
    // does nothing. Reads the file as Entries() does, and throws as it does; the menu is
    // left untouched then.
    void FillMenu(QMenu& menu, const std::function<void(const QString& fileName)>& open) const;

private:
    QString filePath_;
};

}  // namespace qm
