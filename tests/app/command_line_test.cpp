// The command line's grammar, case by case (the real exe with its output and exit codes, and the
// plain forms, are run in tests/e2e/export).
#include <gtest/gtest.h>

#include "app/command_line.h"

using namespace ardmoor;
using Action = CommandLine::Action;

TEST(CommandLine, ReadsEveryFormOfTheSwitchesAndRefusesTheRest) {
    struct Case {
        std::vector<std::wstring> args;
        Action action;
        ExportFormat format = ExportFormat::Tsv;
        std::wstring file = L"";
    };
    const Case cases[] = {
        {{}, Action::Window},
        {{L"-LIST", L"/Csv"}, Action::List, ExportFormat::Csv},
        {{L"/json", L"/list"}, Action::List, ExportFormat::Json},
        {{L"/export", L"C:\\out\\x.HTM"}, Action::Export, ExportFormat::Html, L"C:\\out\\x.HTM"},
        {{L"/export", L"-dash.json"}, Action::Export, ExportFormat::Json, L"-dash.json"},
        {{L"/list", L"/bogus", L"-?"}, Action::Usage},
        {{L"list"}, Action::Bad},
        {{L"/list", L"/list"}, Action::Bad},
        {{L"/list", L"/csv", L"/json"}, Action::Bad},
        {{L"/csv"}, Action::Bad},
        {{L"/export"}, Action::Bad},
        {{L"/export", L"x.csv", L"/list"}, Action::Bad},
        {{L"/export", L"x.csv", L"y.csv"}, Action::Bad},
    };
    for (const Case& c : cases) {
        std::wstring line;
        for (const auto& a : c.args) line += a + L" ";
        const CommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.action, c.action) << std::string(line.begin(), line.end());
        if (c.action == Action::List || c.action == Action::Export) {
            EXPECT_EQ(parsed.format, c.format);
        }
        if (c.action == Action::Export) {
            EXPECT_EQ(parsed.file, c.file);
        }
        if (c.action == Action::Bad) {
            EXPECT_FALSE(parsed.problem.empty());
        }
    }
}
