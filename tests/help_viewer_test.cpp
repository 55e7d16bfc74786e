// Loading the HTML Help viewer: which libraries are tried and in which order, that a loaded
// viewer is kept and a failure is final. Fake loaders record the names asked for; the viewer's
// registration is read from a scratch key standing in for its class key. The last tests load the
// real viewer, Wine's hhctrl.ocx, through the real class key.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "scratch.h"
#include "ui/help_viewer.h"

namespace {

// What the fake loaders were asked for, and which names they load.
std::vector<std::string> triedNames;
std::vector<std::string> loadableNames;
HMODULE loadedModule = nullptr;  // what a loadable name gives

HMODULE WINAPI FakeLoadLibrary(LPCSTR name)
{
    triedNames.push_back(name);
    for (const std::string& loadable : loadableNames)
        if (loadable == name)
            return loadedModule;
    return nullptr;
}

HMODULE WINAPI CountingLoadLibrary(LPCSTR name)
{
    triedNames.push_back(name);
    return LoadLibraryA(name);
}

HMODULE RealViewerModule() { return LoadLibraryA("hhctrl.ocx"); }

const char kRegisteredPath[] = "C:\\Program Files\\Viewer\\hhctrl.ocx";

// The scratch key's subkey "Server" stands in for the viewer's InprocServer32 key.
void Register(const ScratchKey& key, DWORD type, const std::string& path)
{
    HKEY server;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key.Handle(), "Server", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &server, nullptr));
    RegSetValueExA(server, nullptr, 0, type, reinterpret_cast<const BYTE*>(path.c_str()),
                   DWORD(path.size() + 1));
    RegCloseKey(server);
}

std::string Expanded(const char* text)
{
    char expanded[MAX_PATH];
    ExpandEnvironmentStringsA(text, expanded, sizeof(expanded));
    return expanded;
}

class HelpViewerLoading : public testing::Test {
protected:
    HelpViewerLoading()
    {
        triedNames.clear();
        loadableNames.clear();
        loadedModule = RealViewerModule();
    }

    HelpViewer FakeViewer() const { return HelpViewer(FakeLoadLibrary, key.Handle(), "Server"); }

    ScratchKey key;
};

struct LoadCase {
    const char* what;
    DWORD registrationType;  // REG_NONE: not registered
    const char* registration;
    std::vector<std::string> loadable;
    std::vector<std::string> tried;
    bool loaded;
};

}  // namespace

TEST_F(HelpViewerLoading, TriesTheRegisteredLibraryThenTheViewerByName)
{
    const LoadCase cases[] = {
        {"registered and loadable", REG_SZ, kRegisteredPath, {kRegisteredPath},
         {kRegisteredPath}, true},
        {"registered where nothing loads", REG_SZ, kRegisteredPath, {"hhctrl.ocx"},
         {kRegisteredPath, "hhctrl.ocx"}, true},
        {"not registered", REG_NONE, "", {"hhctrl.ocx"}, {"hhctrl.ocx"}, true},
        {"registered empty", REG_SZ, "", {"hhctrl.ocx"}, {"hhctrl.ocx"}, true},
        {"registered with a variable", REG_EXPAND_SZ, "%SystemRoot%\\viewer.ocx",
         {Expanded("%SystemRoot%\\viewer.ocx")}, {Expanded("%SystemRoot%\\viewer.ocx")}, true},
        {"nowhere", REG_SZ, kRegisteredPath, {}, {kRegisteredPath, "hhctrl.ocx"}, false},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchKey classes;
        triedNames.clear();
        loadableNames = c.loadable;
        if (c.registrationType != REG_NONE)
            Register(classes, c.registrationType, c.registration);
        HelpViewer viewer(FakeLoadLibrary, classes.Handle(), "Server");

        viewer.Call(nullptr, "missing.chm", HELP_DISPLAY_TOPIC, 0);

        EXPECT_EQ(c.tried, triedNames);
        EXPECT_EQ(c.loaded, viewer.IsLoaded());
        EXPECT_EQ(!c.loaded, viewer.HasFailed());
    }
}

TEST_F(HelpViewerLoading, ALoadedViewerIsKept)
{
    loadableNames = {"hhctrl.ocx"};
    HelpViewer viewer = FakeViewer();
    viewer.Call(nullptr, "missing.chm", HELP_DISPLAY_TOPIC, 0);
    viewer.Call(nullptr, "missing.chm", HELP_DISPLAY_TOPIC, 0);
    EXPECT_EQ(std::vector<std::string>{"hhctrl.ocx"}, triedNames);
    EXPECT_TRUE(viewer.IsLoaded());
}

// Even when a viewer has become loadable since (it was installed in the meantime).
TEST_F(HelpViewerLoading, AFailureIsFinal)
{
    HelpViewer viewer = FakeViewer();
    EXPECT_EQ(nullptr, viewer.Call(nullptr, "missing.chm", HELP_DISPLAY_TOPIC, 0));
    ASSERT_TRUE(viewer.HasFailed());
    triedNames.clear();
    loadableNames = {"hhctrl.ocx"};

    EXPECT_EQ(nullptr, viewer.Call(nullptr, "missing.chm", HELP_DISPLAY_TOPIC, 0));
    EXPECT_TRUE(triedNames.empty());
    EXPECT_FALSE(viewer.IsLoaded());
}

// A library without the viewer's help function (this test program exports nothing).
TEST_F(HelpViewerLoading, ALibraryWithoutTheHelpFunctionFailsForGood)
{
    loadedModule = GetModuleHandleA(nullptr);
    loadableNames = {"hhctrl.ocx"};
    HelpViewer viewer = FakeViewer();
    EXPECT_EQ(nullptr, viewer.Call(nullptr, "missing.chm", HELP_DISPLAY_TOPIC, 0));
    EXPECT_TRUE(viewer.HasFailed());

    triedNames.clear();
    viewer.Call(nullptr, "missing.chm", HELP_DISPLAY_TOPIC, 0);
    EXPECT_TRUE(triedNames.empty());
}

TEST(HelpViewerUnderWine, LoadsTheRealViewerOnce)
{
    triedNames.clear();
    HelpViewer viewer(CountingLoadLibrary);
    viewer.Call(nullptr, "missing.chm", HELP_DISPLAY_TOPIC, 0);
    ASSERT_TRUE(viewer.IsLoaded());
    // Wine registers the viewer's class, so its registered library is the one loaded.
    ASSERT_EQ(1u, triedNames.size());
    EXPECT_NE(std::string::npos, triedNames[0].find("hhctrl.ocx")) << triedNames[0];
    std::vector<std::string> afterFirstCall = triedNames;

    viewer.Call(nullptr, "missing.chm", HELP_DISPLAY_TOPIC, 0);
    EXPECT_EQ(afterFirstCall, triedNames);
}
