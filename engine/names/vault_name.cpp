#include "vault_name.h"

#include <cctype>
#include <cstring>

#include "container_files.h"

namespace {

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// COM and LPT take a digit or a superscript 1, 2 or 3: by its byte in the ANSI code page
// (Windows-1252: 0xB9, 0xB2, 0xB3), or by its two in UTF-8 (0xC2 and the same byte).
bool IsPortNumber(const std::string& number, NameEncoding encoding)
{
    std::string superscript = number;
    if (encoding == NameEncoding::UTF8) {
        if (number.size() == 1)
            return number[0] >= '0' && number[0] <= '9';
        if (number.size() != 2 || static_cast<unsigned char>(number[0]) != 0xC2)
            return false;
        superscript = number.substr(1);
    }
    if (superscript.size() != 1)
        return false;
    unsigned char byte = static_cast<unsigned char>(superscript[0]);
    return (byte >= '0' && byte <= '9') || byte == 0xB9 || byte == 0xB2 || byte == 0xB3;
}

// The device names answer with or without an extension and with blanks before it ("nul .txt").
bool IsReservedDeviceName(const std::string& name, NameEncoding encoding)
{
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    stem = UpperAscii(stem);
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (stem == device)
            return true;
    return stem.size() > 3 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           IsPortNumber(stem.substr(3), encoding);
}

}  // namespace

VaultNameProblem CheckNameComponent(const std::string& name, NameEncoding encoding)
{
    if (name.empty())
        return VaultNameProblem::Empty;
    for (unsigned char c : name)
        if (c < 32 || std::strchr("\\/:*?\"<>|", c))
            return VaultNameProblem::ReservedCharacter;
    if (IsReservedDeviceName(name, encoding))
        return VaultNameProblem::DeviceName;
    char last = name.back();
    if (last == '.' || last == ' ')
        return VaultNameProblem::TrailingDotOrSpace;
    return VaultNameProblem::None;
}

VaultNameProblem CheckVaultName(const std::string& name)
{
    if (name.size() > MAX_VAULT_NAME)
        return VaultNameProblem::TooLong;
    VaultNameProblem problem = CheckNameComponent(name);
    if (problem == VaultNameProblem::None && IsContainerFileName(name))
        return VaultNameProblem::ContainerFileName;
    return problem;
}

bool IsValidNameComponent(const std::string& name)
{
    return CheckNameComponent(name) == VaultNameProblem::None;
}

bool IsValidVaultName(const std::string& name)
{
    return CheckVaultName(name) == VaultNameProblem::None;
}

std::string VaultNameProblemText(VaultNameProblem problem, const std::string& name)
{
    switch (problem) {
    case VaultNameProblem::None:
        return "";
    case VaultNameProblem::Empty:
        return "Please type a name for the vault.";
    case VaultNameProblem::TooLong:
        return "The vault name is too long: a vault name can have at most " +
               std::to_string(int(MAX_VAULT_NAME)) + " characters.";
    case VaultNameProblem::ReservedCharacter:
        // The name itself is not repeated: a control character would garble the message.
        return "A vault name cannot contain any of the characters \\ / : * ? \" < > | or control "
               "characters such as a tab.";
    case VaultNameProblem::DeviceName:
        return "\"" + name +
               "\" cannot be a vault name: Windows reserves names such as CON, PRN, AUX, NUL, "
               "COM1 and LPT1 for devices, with or without an extension.";
    case VaultNameProblem::TrailingDotOrSpace:
        return "The vault name \"" + name +
               "\" ends with a dot or a space, which Windows drops from folder names. Please "
               "choose a name that ends with another character.";
    case VaultNameProblem::ContainerFileName:
        return "\"" + name +
               "\" cannot be a vault name: names that begin with eight hexadecimal digits and "
               "\".vlt\", such as 0123abcd.vlt or 0123abcd.vlt.new, belong to the hidden container "
               "files of locked vaults and the files the program keeps beside them.";
    }
    return "";
}

bool IsSafeRelativeName(const std::string& name, NameEncoding encoding)
{
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type end = name.find_first_of("\\/", start);
        if (CheckNameComponent(name.substr(start, end - start), encoding) != VaultNameProblem::None)
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}
