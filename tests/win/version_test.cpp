// The program carries the version resource that the errata log and the about box read.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "support/test_support.h"

TEST(VersionResource, SpotlexExeIsVersion45WithARevision) {
    std::string exe = spotlex::test::ExeFolder() + "Spotlex.exe";
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource in " << exe;
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &len));
    EXPECT_EQ(HIWORD(info->dwFileVersionMS), 4);
    EXPECT_EQ(LOWORD(info->dwFileVersionMS), 5);
    EXPECT_GT(LOWORD(info->dwFileVersionLS), 0) << "the revision number";
}
