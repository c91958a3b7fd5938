#include <gtest/gtest.h>

#include "engine/ini_document.h"

namespace vexa {
TEST(SplitString, Smoke) {
    std::vector<std::wstring> out;
    SplitString(L"a||b", L'|', out);
    EXPECT_EQ(out.size(), 3u);
}
}  // namespace vexa
