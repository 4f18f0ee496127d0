#pragma once
// Text for the XML files (KML, SVG), which may hold only the characters XML 1.0
// allows, not even as references.

#include <string>
#include <string_view>

namespace eq {

// The text with every character XML 1.0 cannot hold (C0 controls other than TAB, LF
// and CR; U+FFFE and U+FFFF) and every byte that does not start a well-formed UTF-8
// character replaced by U+FFFD. Markup stays as it is: this serves whole documents too.
std::string xmlCharacters(std::string_view utf8);

// The text as character data or an attribute value: & < > " ' as references, the rest
// as xmlCharacters gives it.
void appendXmlText(std::string& out, std::string_view utf8);

}  // namespace eq
