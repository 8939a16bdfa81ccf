#pragma once
// What the menu script knows of the look fields, made from the one look table so that
// the script and the program cannot disagree. The shipped script is the minified
// script inside a block that first declares LOOK, the defaults of the menu parameters
// in stored order and then of the box width, as one comma-separated text:
//   {const LOOK='25,20,arial,...,600';
//   (()=>{...})();
//   }
// The block keeps LOOK out of the page's global names. A field's position reaches the
// script as FIELD.codeName, replaced by its number when the script is minified. The
// script needs no ranges: the program pulls every value into its field's range before
// it writes a page.

#include <string>
#include <string_view>

namespace qm {

// The shipped script: the block's head declaring LOOK, the minified script, the block's
// end. Throws std::logic_error when a default holds a character that would end its
// value or the text early (a comma, a quote, a backslash, a line break).
std::string MenuScriptWithLook(std::string_view minifiedScript);

// The positions for the minifier, one JSON object: {"FIELD.mainItemExtWidth":0,...}.
std::string MenuScriptFieldPositions();

}  // namespace qm
