// The topic table, and the help context ids that the program's dialog templates give their
// controls: every id a template carries opens a topic about its control, and every control of the
// table carries its row's id.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/dialog_template.h"
#include "resources/resource.h"
#include "ui/help.h"

namespace {

struct TopicCase {
    DWORD contextId;
    const char* topic;  // "" for the help file's default topic
};

const char kLocations[] = "Changing Vault Locations on Your Computer.html";
const char kRunningWarnings[] = "Hiding Already running Warnings.html";
const char kStealthMode[] = "Using Stealth Mode.html";
const char kRenaming[] = "Renaming Vaults.html";
const char kPasswords[] = "Changing Passwords.html";

// The controls with a topic: the context id is 0x80000000 + template id x 65536 + control id.
const TopicCase kControlTopics[] = {
    {0x80650416, "Closing Zovantri Orvella.html"},  // 101 main dialog, 1046 Exit
    {0x80670405, kLocations},                        // 103 Options page, 1029 root directory
    {0x80670406, kLocations},                        // 1030 Select
    {0x80670408, "Starting Zovantri Orvella Automatically with Windows.html"},  // 1032
    {0x80670409, kRunningWarnings},                                             // 1033
    {0x8067040A, "Displaying Zovantri Orvella Automatically.html"},             // 1034
    {0x80670413, kStealthMode},  // 1043 hide Start menu icons
    {0x80670414, kStealthMode},  // 1044 hotkey only
    {0x80670415, kStealthMode},  // 1045 hotkey field
    {0x808303EE, "Removing Vaults.html"},  // 131 vault properties, 1006 Remove
    {0x808303EF, kRenaming},               // 1007 name field
    {0x80830418, kRenaming},               // 1048 group "Vault name"
    {0x808303F1, kPasswords},              // 1009 confirmation field
    {0x808303F2, kPasswords},              // 1010 password field
    {0x80830419, kPasswords},              // 1049 group "Vault password"
    {0x8083044B, "Encrypting Vaults with Their Passwords.html"},  // 1099 "Encrypt the contents..."
    {0x80900407, kRunningWarnings},        // 144 running notice, 1031 "Don't show..."
};

// Ids without a topic, chiefly the neighbours of the mapped ones.
const DWORD kIdsWithoutTopic[] = {
    0,           // a control without a help id
    0x80650417,  // 101, 1047 Help
    0x80650415,  0x80670404, 0x80670407, 0x8067040B,
    0x80670412,  0x80670416,  // either side of the stealth-mode range
    0x808303ED,  0x808303F0, 0x808303F3, 0x80830417, 0x8083041A, 0x8083044A, 0x8083044C,
    0x80900406,  0x80900408,
    0x00670413,  // a stealth-mode id without its high bit
    0xFFFFFFFF,
};

std::vector<TemplateControl> ControlsOf(int templateId)
{
    std::vector<TemplateControl> controls;
    ReadTemplateControls(GetModuleHandleA(nullptr), templateId, &controls);
    return controls;
}

}  // namespace

TEST(HelpTopics, EachControlOfTheTableHasItsTopic)
{
    for (const TopicCase& row : kControlTopics) {
        SCOPED_TRACE(testing::Message() << std::hex << row.contextId);
        EXPECT_EQ(row.topic, HelpTopicFor(row.contextId));
    }
}

TEST(HelpTopics, OtherIdsHaveNone)
{
    for (DWORD id : kIdsWithoutTopic) {
        SCOPED_TRACE(testing::Message() << std::hex << id);
        EXPECT_EQ("", HelpTopicFor(id));
    }
}

// A template that gives a control a help id gives it one that opens a topic, formed with the
// control's own id (the wizard's vault page repeats the ids of the vault properties dialog).
TEST(HelpTopics, EveryHelpIdInTheTemplatesOpensATopicForItsControl)
{
    std::vector<int> templates = DialogTemplateIds(GetModuleHandleA(nullptr));
    ASSERT_FALSE(templates.empty());
    for (int templateId : templates) {
        std::vector<TemplateControl> controls;
        ASSERT_TRUE(ReadTemplateControls(GetModuleHandleA(nullptr), templateId, &controls))
            << "template " << templateId;
        for (const TemplateControl& control : controls) {
            if (control.helpId == 0)
                continue;
            SCOPED_TRACE(testing::Message() << "template " << templateId << ", control "
                                            << control.id);
            EXPECT_NE("", HelpTopicFor(control.helpId));
            EXPECT_EQ(0x80000000u, control.helpId & 0x80000000u);
            EXPECT_EQ(control.id & 0xFFFF, control.helpId & 0xFFFF);
        }
    }
}

// A template without controls (a page whose controls come later) is left out.
TEST(HelpTopics, EveryControlOfTheTableCarriesItsId)
{
    ASSERT_FALSE(ControlsOf(IDD_VAULT_PROPERTIES).empty());
    for (const TopicCase& row : kControlTopics) {
        int templateId = int((row.contextId >> 16) & 0x7FFF);
        DWORD controlId = row.contextId & 0xFFFF;
        SCOPED_TRACE(testing::Message() << "template " << templateId << ", control " << controlId);
        std::vector<TemplateControl> controls = ControlsOf(templateId);
        if (controls.empty())
            continue;
        auto control = std::find_if(controls.begin(), controls.end(),
                                    [&](const TemplateControl& c) { return c.id == controlId; });
        if (control == controls.end())
            ADD_FAILURE() << "the template has no such control";
        else
            EXPECT_EQ(row.contextId, control->helpId);
    }
}

// Windows gives each control the help id of its template as the dialog is made, and F1 then
// carries it; the dialogs make sure of it themselves, as Wine does not.
TEST(HelpContextIds, EveryDialogGivesItsControlsTheirTemplatesHelpIds)
{
    const int templates[] = {IDD_VAULT_PROPERTIES, IDD_VAULTS_DIALOG, IDD_ALREADY_RUNNING};
    for (int templateId : templates) {
        CDialog dialog(templateId);
        ASSERT_TRUE(dialog.Create()) << templateId;
        std::vector<TemplateControl> controls;
        ASSERT_TRUE(ReadTemplateControls(GetModuleHandleA(nullptr), templateId, &controls));
        for (const TemplateControl& control : controls)
            if (control.helpId)
                EXPECT_EQ(GetWindowContextHelpId(dialog.GetDlgItem(int(control.id))),
                          control.helpId)
                    << templateId << " control " << control.id;
    }
}
