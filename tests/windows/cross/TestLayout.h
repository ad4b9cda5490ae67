#pragma once

#include "Checks.h"
#include "HelperReport.h"

#include <string>

// The files the tests work with, set up on drive C: of the Wine prefix:
//   C:\vellomar-tests\dir with spaces\helper.exe   the helper, its path has spaces
//   C:\vellomar-tests\dir.exe                      a decoy: what an unquoted search
//                                                  for the helper's path would start
//   C:\helper-at-root.exe                          the helper at a drive's root
struct TestLayout {
    std::wstring work;          // "C:\vellomar-tests\"
    std::wstring spacedFolder;  // "C:\vellomar-tests\dir with spaces" (no backslash at the end)
    std::wstring helper;
    std::wstring decoy;
    std::wstring rootHelper;
    std::wstring decoyReport;   // where the decoy's report would appear
};

// Starts the helper through startProgram with the report going to a new file
// and returns the report; empty (with a FAIL) when it was not started or never
// reported.
HelperReport runHelper(Checks &checks, const std::wstring &what, const TestLayout &layout,
                       const std::wstring &program, const std::wstring &arguments,
                       const std::wstring &workingFolder, int runStyle);

void testShortcuts(Checks &checks, const TestLayout &layout);
void testStart(Checks &checks, const TestLayout &layout);
void testApplicationFolder(Checks &checks, const TestLayout &layout);
void testMessages(Checks &checks);
