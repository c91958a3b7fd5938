#include "skin/lum_markup.h"

#include <cwctype>

namespace vexa {
namespace {

constexpr wchar_t kTagOpen[] = L"{&#";
constexpr size_t kTagOpenLength = 3;

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size() || std::towlower(text[i]) != std::towlower(prefix[i]))
            return false;
    }
    return true;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Digits from |pos| on, base 10 or 16, wrapping at 32 bits like the unsigned value it is.
unsigned ReadDigits(const std::wstring& text, size_t pos, unsigned base) {
    unsigned value = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = HexDigit(text[pos]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            break;
        value = value * base + static_cast<unsigned>(digit);
    }
    return value;
}

bool HasHexPrefix(const std::wstring& text, size_t pos) {
    return pos + 1 < text.size() && text[pos] == L'0' && (text[pos + 1] == L'x' || text[pos + 1] == L'X');
}

// A stack whose bottom entry is never popped.
template <class T>
class MarkupStack {
public:
    explicit MarkupStack(T bottom) : items_{bottom} {}
    void Push(T value) { items_.push_back(value); }
    void Pop() {
        if (items_.size() > 1)
            items_.pop_back();
    }
    T Top() const { return items_.back(); }

private:
    std::vector<T> items_;
};

struct MarkupState {
    MarkupStack<int> font{0};
    MarkupStack<int> color{-1};
    MarkupStack<int> linkColor{-1};
    MarkupStack<std::wstring> link{std::wstring()};
    MarkupStack<bool> underline{false};

    void Flush(std::wstring& text, std::vector<LumMarkupSegment>& out) const {
        if (text.empty())
            return;
        LumMarkupSegment segment;
        segment.text = text;
        segment.font = font.Top();
        segment.link = link.Top();
        segment.color = segment.link.empty() ? color.Top() : linkColor.Top();
        segment.underline = underline.Top();
        out.push_back(std::move(segment));
        text.clear();
    }

    void Apply(const std::wstring& body) {
        auto rest = [&body](size_t skip) { return body.substr(skip); };
        // Compared by prefix in this order; the first match decides.
        if (StartsWithNoCase(body, L"a=")) {
            link.Push(rest(2));
        } else if (StartsWithNoCase(body, L"underline")) {
            underline.Push(true);
        } else if (StartsWithNoCase(body, L"/underline")) {
            underline.Pop();
        } else if (StartsWithNoCase(body, L"acolor=")) {
            linkColor.Push(ParseLumColor(rest(7)));
        } else if (StartsWithNoCase(body, L"/acolor")) {
            linkColor.Pop();
        } else if (StartsWithNoCase(body, L"/a")) {
            link.Pop();
        } else if (StartsWithNoCase(body, L"font=")) {
            const std::wstring number = rest(5);
            const unsigned n = ReadDigits(number, 0, 10);
            if (n >= 1 && n <= 10)
                font.Push(static_cast<int>(n));
        } else if (StartsWithNoCase(body, L"/font")) {
            font.Pop();
        } else if (StartsWithNoCase(body, L"color=")) {
            color.Push(ParseLumColor(rest(6)));
        } else if (StartsWithNoCase(body, L"/color")) {
            color.Pop();
        }
        // Anything else is dropped.
    }
};

}  // namespace

int ParseLumColor(const std::wstring& value) {
    if (!value.empty() && value[0] == L'#')
        return static_cast<int>(ReadDigits(value, 1, 16));
    if (HasHexPrefix(value, 0))
        return static_cast<int>(ReadDigits(value, 2, 16));
    size_t pos = 0;
    bool negative = false;
    if (pos < value.size() && (value[pos] == L'-' || value[pos] == L'+')) {
        negative = value[pos] == L'-';
        ++pos;
    }
    const unsigned magnitude = ReadDigits(value, pos, 10);
    return static_cast<int>(negative ? 0u - magnitude : magnitude);
}

bool ParseLumCommandId(const std::wstring& target, unsigned short& id) {
    if (!StartsWithNoCase(target, L"button:"))
        return false;
    constexpr size_t kPrefix = 7;
    const unsigned value = HasHexPrefix(target, kPrefix) ? ReadDigits(target, kPrefix + 2, 16)
                                                         : ReadDigits(target, kPrefix, 10);
    id = static_cast<unsigned short>(value & 0xFFFF);
    return true;
}

std::vector<LumMarkupSegment> ParseLumMarkup(const std::wstring& markup) {
    std::vector<LumMarkupSegment> segments;
    MarkupState state;
    std::wstring text;
    size_t pos = 0;
    while (pos < markup.size()) {
        if (markup.compare(pos, kTagOpenLength, kTagOpen) == 0) {
            const size_t close = markup.find(L'}', pos + kTagOpenLength);
            if (close != std::wstring::npos) {
                state.Flush(text, segments);
                state.Apply(markup.substr(pos + kTagOpenLength, close - pos - kTagOpenLength));
                pos = close + 1;
                continue;
            }
        }
        text.push_back(markup[pos]);
        ++pos;
    }
    state.Flush(text, segments);
    return segments;
}

}  // namespace vexa
