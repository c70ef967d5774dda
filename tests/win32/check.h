// The one check harness of the C++ tests that run under Wine (GoogleTest is not built for
// MinGW here): the Win32 platform test and the console driver. A failed check prints where
// and what; the programs end with a non-zero code when any check failed.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/text/text_format.h"

namespace vorta::test {

inline int& Failures() {
    static int failures = 0;
    return failures;
}

// Text compared in a failed check is shown as its bytes (wide text as its UTF-16 bytes).
inline std::string Dump(std::string_view bytes) {
    return HexBytes(bytes);
}
inline std::string Dump(std::wstring_view text) {
    return HexBytes(std::string_view(reinterpret_cast<const char*>(text.data()),
                                     text.size() * sizeof(wchar_t)));
}

// Prints the failed check's own words when it has them, else its expression.
inline bool Check(bool ok, const char* expression, const char* file, int line,
                  const std::string& what = {}) {
    if (!ok) {
        ++Failures();
        std::printf("%s:%d: FAILED: %s\n", file, line, what.empty() ? expression : what.c_str());
        std::fflush(stdout);
    }
    return ok;
}

template <typename A, typename B>
bool CheckEqual(const A& a, const B& b, const char* expression, const char* file, int line) {
    if (a == b) return true;
    ++Failures();
    if constexpr (std::is_convertible_v<A, std::string_view> &&
                  std::is_convertible_v<B, std::string_view>) {
        std::printf("%s:%d: FAILED: %s\n  left:  %s\n  right: %s\n", file, line, expression,
                    Dump(std::string_view(a)).c_str(), Dump(std::string_view(b)).c_str());
    } else if constexpr (std::is_convertible_v<A, std::wstring_view> &&
                         std::is_convertible_v<B, std::wstring_view>) {
        std::printf("%s:%d: FAILED: %s\n  left:  %s\n  right: %s\n", file, line, expression,
                    Dump(std::wstring_view(a)).c_str(), Dump(std::wstring_view(b)).c_str());
    } else if constexpr (std::is_integral_v<A> && std::is_integral_v<B>) {
        std::printf("%s:%d: FAILED: %s\n  left:  %lld\n  right: %lld\n", file, line, expression,
                    static_cast<long long>(a), static_cast<long long>(b));
    } else {
        std::printf("%s:%d: FAILED: %s\n", file, line, expression);
    }
    std::fflush(stdout);
    return false;
}

struct TestCase {
    const char* name;
    std::function<void()> body;
};

inline int RunAll(const std::vector<TestCase>& cases) {
    for (const TestCase& test : cases) {
        const int before = Failures();
        std::printf("[ RUN  ] %s\n", test.name);
        std::fflush(stdout);
        test.body();
        std::printf("[ %s ] %s\n", Failures() == before ? " OK " : "FAIL", test.name);
        std::fflush(stdout);
    }
    std::printf("%d failed check(s)\n", Failures());
    return Failures() > 125 ? 125 : Failures();
}

}  // namespace vorta::test

// CHECK(condition) or CHECK(condition, what it checks in words).
#define CHECK(condition, ...) \
    ::vorta::test::Check((condition), #condition, __FILE__, __LINE__ __VA_OPT__(, ) __VA_ARGS__)
#define CHECK_EQ(a, b) ::vorta::test::CheckEqual((a), (b), #a " == " #b, __FILE__, __LINE__)
