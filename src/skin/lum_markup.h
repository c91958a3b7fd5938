// The inline markup of label texts: "{&#font=5}{&#color=0x707070}Uninstalling..." or
// "Click {&#a=button:0x10}here{&#/a} now". Tags open and close fonts, colours, links,
// link colours and underline; literal text between tags becomes segments.
//
//   LumMarkupSegment  one run of text with its font, colour, link and underline
//   ParseLumMarkup    markup -> segments
//   ParseLumColor     a colour value: "#hex", "0xhex" or signed decimal
//   ParseLumCommandId the command id of a "button:" link target
#pragma once

#include <string>
#include <vector>

namespace vexa {

struct LumMarkupSegment {
    std::wstring text;       // never empty
    int font = 0;            // 1 to 10: the skin's font table; 0: the label's own font
    int color = -1;          // negative: the default for the segment's kind; else a COLORREF
    std::wstring link;       // empty: not a link
    bool underline = false;  // shown only while the link is hovered
};

std::vector<LumMarkupSegment> ParseLumMarkup(const std::wstring& markup);

// Reading stops at the first character that does not fit; no digits read as 0. The value
// is a COLORREF as it stands (the low byte is red); negative means "the default colour".
int ParseLumColor(const std::wstring& value);

// True when |target| begins with "button:" (any case); |id| is then the low 16 bits of the
// number after it (hexadecimal after "0x", else decimal; no digits: 0).
bool ParseLumCommandId(const std::wstring& target, unsigned short& id);

}  // namespace vexa
