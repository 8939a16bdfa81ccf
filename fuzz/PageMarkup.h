#pragma once
// The markup of a page as a browser's HTML tokenizer sees it: the start tags with the
// names of their attributes, the end tags, the comments and the document type, in
// order, without any text or attribute value. Two pages with the same markup have the
// same elements and attributes. Follows the tokenizer of the HTML standard where it
// decides what is markup: quoted and unquoted attribute values, comments (also "--!>"
// and the abrupt "<!-->"), bogus comments, end tags of raw-text elements, a tag cut
// off by the end of the page (dropped).

#include <string>
#include <string_view>
#include <vector>

namespace qm::fuzz {

std::vector<std::string> PageMarkup(std::string_view page);

}  // namespace qm::fuzz
