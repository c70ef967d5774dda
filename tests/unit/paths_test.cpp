#include "launcher/paths.h"

#include <gtest/gtest.h>

#include <string>

namespace vorta {
namespace {

TEST(Paths, AppFolderHasExactlyOneTrailingBackslash) {
    EXPECT_EQ(AppFolderOf(L"C:\\Tools\\Vorta"), L"C:\\Tools\\Vorta\\");
    EXPECT_EQ(AppFolderOf(L"D:\\"), L"D:\\");
}

TEST(Paths, BaseNameOf) {
    EXPECT_EQ(BaseNameOf(L"C:\\Program Files\\CAD\\acad.exe"), L"acad");
    EXPECT_EQ(BaseNameOf(L"D:acad.exe"), L"acad");
    EXPECT_EQ(BaseNameOf(L"acad.v2.exe"), L"acad");
    EXPECT_EQ(BaseNameOf(L"acad"), L"acad");
    EXPECT_EQ(BaseNameOf(L""), L"");
    EXPECT_EQ(BaseNameOf(L"\\\\server\\share\\図面ツール.exe"), L"図面ツール");
    EXPECT_EQ(BaseNameOf(std::wstring(L"acad.exe\0\0\0", 11)), L"acad");
}

}  // namespace
}  // namespace vorta
