// The "HTML Format" clipboard payload: a header of byte offsets before the HTML. No Qt here.
#pragma once
#include <string>
#include <string_view>

namespace komp {

// Wraps an HTML fragment (UTF-8) into the payload with its header of offsets.
std::string MakeHtmlFormat(std::string_view fragmentHtml);
// The HTML between StartHTML and EndHTML (or the fragment when those are missing); empty when malformed.
std::string HtmlFromHtmlFormat(std::string_view payload);

}  // namespace komp
