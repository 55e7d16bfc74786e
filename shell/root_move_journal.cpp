#include "root_move_journal.h"

#include "settings.h"

namespace {

const char kSeparator = '|';

}  // namespace

bool WriteRootMoveJournal(CRegistryKey& settings, const RootMoveJournal& journal)
{
    return settings.WriteString(SETTING_VAULTS_ROOT_MOVE,
                                journal.from + kSeparator + journal.to) &&
           settings.Flush();
}

bool ReadRootMoveJournal(const CRegistryKey& settings, RootMoveJournal* journal)
{
    std::string text = settings.ReadString(SETTING_VAULTS_ROOT_MOVE, "");
    std::string::size_type separator = text.find(kSeparator);
    if (separator == std::string::npos || separator == 0 || separator + 1 == text.size() ||
        text.find(kSeparator, separator + 1) != std::string::npos)
        return false;
    journal->from = text.substr(0, separator);
    journal->to = text.substr(separator + 1);
    return true;
}

bool RemoveRootMoveJournal(CRegistryKey& settings)
{
    if (settings.DeleteValue(SETTING_VAULTS_ROOT_MOVE))
        return settings.Flush();
    return LastStatus == ERROR_FILE_NOT_FOUND;
}
