// Showing the help file: at its default topic (the Help button) or at the topic of a control's
// help context id (F1).

#include "help.h"

#include "app_services.h"
#include "help_viewer.h"

namespace {

HWND WINAPI CallProgramsViewer(HWND owner, LPCSTR target, UINT command, DWORD_PTR data)
{
    // Loaded at the first help call and kept, like a failure, until the process ends.
    static HelpViewer viewer;
    return viewer.Call(owner, target, command, data);
}

}  // namespace

HtmlHelpFunction htmlHelp = CallProgramsViewer;

HWND ShowHelp(HWND owner, const std::string& target)
{
    return htmlHelp(owner, target.c_str(), HELP_DISPLAY_TOPIC, 0);
}

void ShowHelpContents(HWND owner) { ShowHelp(owner, GetAppServices().GetHelpFilePath()); }

void ShowHelpForContext(HWND owner, DWORD contextId)
{
    std::string topic = HelpTopicFor(contextId);
    std::string target = GetAppServices().GetHelpFilePath();
    if (!topic.empty())
        target += "::/" + topic;
    ShowHelp(owner, target);
}
