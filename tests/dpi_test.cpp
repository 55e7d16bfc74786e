// Every window of the program read at 96, 144 and 192 dpi (100 %, 150 % and 200 %): the test
// prefix's LogPixels is set for the probe (orvella-dpi-probe, beside this program), which opens
// each window at that DPI and reports what is drawn at the wrong size and what text does not
// fit; LogPixels is put back afterwards.

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "scratch.h"
#include "wait_scale.h"

namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";

// Sets the DPI that processes started from now on run at; the old setting comes back when the
// object goes.
class LogPixels {
public:
    explicit LogPixels(DWORD dpi)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key_, nullptr);
        DWORD size = sizeof(old_);
        had_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr,
                                reinterpret_cast<BYTE*>(&old_), &size) == ERROR_SUCCESS;
        RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof(dpi));
    }
    ~LogPixels()
    {
        if (had_)
            RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                           sizeof(old_));
        else
            RegDeleteValueA(key_, "LogPixels");
        RegCloseKey(key_);
    }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
};

std::string ProbePath()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string own = path;
    return own.substr(0, own.rfind('\\')) + "\\orvella-dpi-probe.exe";
}

struct ProbeRun {
    DWORD exitCode = DWORD(-1);
    std::vector<std::string> lines;
};

ProbeRun RunProbe(const std::string& reportPath)
{
    ProbeRun run;
    std::string line = "\"" + ProbePath() + "\" \"" + reportPath + "\"";
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return run;
    if (WaitForSingleObject(process.hProcess, ScaledMs(120000)) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    std::ifstream report(reportPath);
    for (std::string text; std::getline(report, text);)
        run.lines.push_back(text);
    return run;
}

class WindowsAtDpi : public testing::TestWithParam<DWORD> {};

TEST_P(WindowsAtDpi, DrawPicturesAtTheSizeOfTheirPlaceAndFitEveryText)
{
    DWORD dpi = GetParam();
    ScratchFolder folder;
    ProbeRun run;
    {
        LogPixels setting(dpi);
        run = RunProbe(folder / "report.txt");
    }
    ASSERT_EQ(run.exitCode, 0u);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines[0], "dpi " + std::to_string(dpi));

    std::set<std::string> read;
    for (const std::string& line : run.lines) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "finding")
            ADD_FAILURE() << line;
        if (kind != "window")
            continue;
        std::string rest = line.substr(7);
        std::string::size_type counts = rest.rfind(' ', rest.rfind(' ') - 1);
        read.insert(rest.substr(0, counts));
    }
    std::set<std::string> expected = {"main options", "main vaults", "main about", "new vault",
                                      "manage vault", "enter password", "already running",
                                      "wizard 1", "wizard 2", "wizard 3", "wizard 4", "wizard 5"};
    if (dpi == 96)
        expected.insert("main moved to 144");
    EXPECT_EQ(read, expected);
}

INSTANTIATE_TEST_SUITE_P(LogPixels, WindowsAtDpi, testing::Values(96, 144, 192),
                         [](const testing::TestParamInfo<DWORD>& info) {
                             return std::to_string(info.param) + "dpi";
                         });

}  // namespace
