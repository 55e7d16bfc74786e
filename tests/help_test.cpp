// Showing help: what reaches the viewer for the Help button and for F1 on controls with and
// without a topic, through a recorder in place of the viewer; and the real viewer showing the
// program's built help file.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "scratch.h"
#include "shell/vaults_app.h"
#include "ui/help.h"
#include "ui/help_viewer.h"
#include "ui_driver.h"

namespace {

struct ViewerCall {
    HWND owner;
    std::string target;
    UINT command;
    DWORD_PTR data;
};

std::vector<ViewerCall> viewerCalls;
HWND const kViewerWindow = reinterpret_cast<HWND>(0x1234);
HWND const kOwner = reinterpret_cast<HWND>(0x5678);

HWND WINAPI RecordViewerCall(HWND owner, LPCSTR target, UINT command, DWORD_PTR data)
{
    viewerCalls.push_back({owner, target, command, data});
    return kViewerWindow;
}

// The program's help file path comes from the application object, here this test program's.
class ShowingHelp : public testing::Test {
protected:
    ShowingHelp()
    {
        EXPECT_TRUE(app.OpenSharedObjects(key.Handle(), "App"));
        viewerCalls.clear();
        htmlHelp = RecordViewerCall;
    }
    ~ShowingHelp() override { htmlHelp = savedViewer_; }

    const std::string& HelpFile() const { return app.GetHelpFilePath(); }

    ScratchKey key;
    CVaultsApp app;

private:
    HtmlHelpFunction savedViewer_ = htmlHelp;
};

std::string ThisProgramWithChm()
{
    std::string path = ModuleFilePath();
    return path.substr(0, path.size() - 3) + "chm";
}

}  // namespace

TEST_F(ShowingHelp, TheHelpButtonShowsTheFileBesideTheProgramAtItsDefaultTopic)
{
    ShowHelpContents(kOwner);

    ASSERT_EQ(1u, viewerCalls.size());
    EXPECT_EQ(kOwner, viewerCalls[0].owner);
    EXPECT_EQ(ThisProgramWithChm(), viewerCalls[0].target);
    EXPECT_EQ(UINT(HELP_DISPLAY_TOPIC), viewerCalls[0].command);
    EXPECT_EQ(0u, viewerCalls[0].data);
}

TEST_F(ShowingHelp, F1ShowsTheTopicOfTheControlOrTheDefaultTopic)
{
    struct F1Case {
        DWORD contextId;
        const char* target;  // after the help file's path
    } const cases[] = {
        {0x808303EE, "::/Removing Vaults.html"},
        {0x80650416, "::/Closing Zovantri Orvella.html"},
        {0x80670414, "::/Using Stealth Mode.html"},
        {0x80900407, "::/Hiding Already running Warnings.html"},
        {0, ""},           // a control without a help id: a tab picture, the vault list
        {0x80650417, ""},  // the Help button
        {0x80670412, ""},  // between mapped ids
    };
    for (const F1Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.contextId);
        viewerCalls.clear();
        ShowHelpForContext(kOwner, c.contextId);
        ASSERT_EQ(1u, viewerCalls.size());
        EXPECT_EQ(kOwner, viewerCalls[0].owner);
        EXPECT_EQ(HelpFile() + c.target, viewerCalls[0].target);
        EXPECT_EQ(UINT(HELP_DISPLAY_TOPIC), viewerCalls[0].command);
        EXPECT_EQ(0u, viewerCalls[0].data);
    }
}

TEST_F(ShowingHelp, ShowHelpPassesTheTargetAndReturnsTheViewersWindow)
{
    EXPECT_EQ(kViewerWindow, ShowHelp(kOwner, "C:\\x.chm::/a b.html"));
    ASSERT_EQ(1u, viewerCalls.size());
    EXPECT_EQ("C:\\x.chm::/a b.html", viewerCalls[0].target);
}

// The help file as the build puts it beside the program, in Wine's viewer: the viewer opens a
// window with the file's title (Wine's viewer shows no page bodies).
TEST(HelpUnderWine, TheProgramsHelpFileOpensInTheViewer)
{
    std::string self = ModuleFilePath();
    char helpFile[MAX_PATH];
    GetFullPathNameA((self.substr(0, self.rfind('\\')) + "\\..\\Orvella.chm").c_str(),
                     sizeof(helpFile), helpFile, nullptr);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(helpFile)) << helpFile;

    HWND viewer = ShowHelp(nullptr, std::string(helpFile) + "::/Removing Vaults.html");
    ASSERT_NE(nullptr, viewer);
    EXPECT_EQ("Zovantri Orvella Help", WindowText(viewer));
    DestroyWindow(viewer);
}
