#pragma once

#include <cstdio>
#include <string>

// A small check list for the Windows test program: every check prints one
// PASS or FAIL line, the summary gives the exit code.
class Checks
{
public:
    void group(const wchar_t *name) { std::wprintf(L"\n== %ls\n", name); }

    bool expect(bool condition, const std::wstring &what, const std::wstring &detail = {})
    {
        if (condition) {
            ++m_passed;
            std::wprintf(L"PASS %ls\n", what.c_str());
        } else {
            ++m_failed;
            std::wprintf(L"FAIL %ls%ls%ls\n", what.c_str(), detail.empty() ? L"" : L": ", detail.c_str());
        }
        std::fflush(stdout);
        return condition;
    }

    bool equal(const std::wstring &actual, const std::wstring &expected, const std::wstring &what)
    {
        return expect(actual == expected, what, L"got [" + actual + L"], expected [" + expected + L"]");
    }

    int summary() const
    {
        std::wprintf(L"\n%ls: %d passed, %d failed\n", m_failed == 0 ? L"PASS" : L"FAIL", m_passed, m_failed);
        std::fflush(stdout);
        return m_failed == 0 && m_passed > 0 ? 0 : 1;
    }

private:
    int m_passed = 0;
    int m_failed = 0;
};
