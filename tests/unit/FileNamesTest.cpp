// File names as messages show them and as folders that ignore case and Unicode form
// compare them.
#include <gtest/gtest.h>

#include "model/Error.h"
#include "model/NameFolding.h"
#include "model/SafeSave.h"
#include "support/ErrorCheck.h"

namespace qm::test {
namespace {

TEST(FileNames, MessagesShowControlCharactersAndBrokenBytesEscaped) {
    struct Case {
        std::string name, shown;
    };
    for (const auto& [name, shown] : std::vector<Case>{
             {"menu.zorbel", "menu.zorbel"},
             {"caf\xC3\xA9 \xE2\x82\xAC.zorbel", "caf\xC3\xA9 \xE2\x82\xAC.zorbel"},  // é €: as they are
             {"a\nb\r\tc", "a\\x0Ab\\x0D\\x09c"},
             {"\x1B[2J\x7F", "\\x1B[2J\\x7F"},
             {"c1\xC2\x9B" "31m", "c1\\x9B31m"},  // the C1 control that starts a terminal command
             {"line\xE2\x80\xA8para\xE2\x80\xA9", "line\\u2028para\\u2029"},
             {"latin1 \xE9 cut \xE2\x82", "latin1 \\xE9 cut \\xE2\\x82"},
             {std::string("nul\0x", 5), "nul\\x00x"},
         }) {
        EXPECT_EQ(PrintableName(name), shown);
        EXPECT_EQ(Error(name, 3, "bad").what(), shown + ", line 3: bad");
    }
    // A message names a file a save could not write on one line.
    EXPECT_QM_ERROR(SaveFileSafely("/nonexistent\nfolder/menu.zorbel", "x"),
                    "/nonexistent\\x0Afolder/menu.zorbel: cannot write the file: No such file or directory");
}

TEST(FileNames, NamesAreEqualIgnoringCaseAndUnicodeForm) {
    struct Case {
        std::string a, b;
        bool same;
    };
    for (const auto& [a, b, same] : std::vector<Case>{
             {"Menu.html", "MENU.HTML", true},
             {"Men\xC3\xBC.html", "MEN\xC3\x9C.html", true},      // ü, Ü
             {"Men\xC3\xBC.html", "Menu\xCC\x88.html", true},     // ü, u + combining diaeresis
             {"MEN\xC3\x9C.html", "menu\xCC\x88.HTML", true},
             {"Stra\xC3\x9F" "e", "STRASSE", true},                // ß folds to ss
             {"\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x9F\xCE\xA3", "\xCF\x83\xCE\xBF\xCF\x86\xCE\xBF\xCF\x82", true},  // final sigma
             {"a\xCC\x81\xCC\xA3", "a\xCC\xA3\xCC\x81", true},    // marks in either order
             {"\xEA\xB0\x80", "\xE1\x84\x80\xE1\x85\xA1", true},  // a Hangul syllable and its letters
             {"Menu.html", "Men\xC3\xBC.html", false},
             {"a.mp3", "b.mp3", false},
             {"\xE9.mp3", "\xC9.mp3", false},  // bytes that are not UTF-8 compare as they are
         })
        EXPECT_EQ(SameFileName(a, b), same) << a << " / " << b;
}

}  // namespace
}  // namespace qm::test
