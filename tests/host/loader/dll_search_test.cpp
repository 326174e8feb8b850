#include <gtest/gtest.h>

#include "dll_search.h"

TEST(DllSearch, PlainNamesSkipTheCurrentDirectoryAndPathsStandAlone) {
    std::vector<std::string> expected = {"C:\\app\\res419.dll", "C:\\windows\\system32\\res419.dll",
                                         "C:\\windows\\res419.dll", "C:\\tools\\res419.dll",
                                         "D:\\bin\\res419.dll"};
    EXPECT_EQ(dll_candidates("res419.dll", "C:\\app", "C:\\windows\\system32", "C:\\windows",
                             "C:\\tools;.;;D:\\bin\\"),
              expected);
    EXPECT_EQ(
        dll_candidates("C:\\windows\\system32\\wbotho.dll", "C:\\app", "C:\\w\\s", "C:\\w", ""),
        std::vector<std::string>{"C:\\windows\\system32\\wbotho.dll"});
    EXPECT_EQ(dll_candidates("tmdrv32.dll", "", "", "", "").size(), 0u);
}
