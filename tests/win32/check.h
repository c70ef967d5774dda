// A very small check harness for the tests that run under Wine (GoogleTest is not
// built for MinGW here). A failed check prints where and what, and the program's exit
// code is the number of failed checks.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vorta::test {

inline int& Failures() {
    static int failures = 0;
    return failures;
}

inline std::string Hex(std::string_view bytes) {
    std::string out;
    char digits[4];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof(digits), "%02X ", c);
        out += digits;
    }
    return out;
}

inline std::string Hex(std::wstring_view text) {
    std::string out;
    char digits[8];
    for (wchar_t c : text) {
        std::snprintf(digits, sizeof(digits), "%04X ", static_cast<unsigned>(c));
        out += digits;
    }
    return out;
}

inline bool Check(bool ok, const char* expression, const char* file, int line) {
    if (!ok) {
        ++Failures();
        std::printf("%s:%d: FAILED: %s\n", file, line, expression);
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
                    Hex(std::string_view(a)).c_str(), Hex(std::string_view(b)).c_str());
    } else if constexpr (std::is_convertible_v<A, std::wstring_view> &&
                         std::is_convertible_v<B, std::wstring_view>) {
        std::printf("%s:%d: FAILED: %s\n  left:  %s\n  right: %s\n", file, line, expression,
                    Hex(std::wstring_view(a)).c_str(), Hex(std::wstring_view(b)).c_str());
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

#define CHECK(condition) ::vorta::test::Check((condition), #condition, __FILE__, __LINE__)
#define CHECK_EQ(a, b) ::vorta::test::CheckEqual((a), (b), #a " == " #b, __FILE__, __LINE__)
