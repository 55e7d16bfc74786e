#include "container_files.h"

#include <windows.h>

#include <cctype>
#include <cstring>

namespace {

struct KindName {
    ContainerFile kind;
    const char* suffix;     // after the container's name
    bool numbered;          // a second one of the kind is "<suffix> 2", and so on
    bool goesWithItsVault;  // Remove deletes it
};

const KindName kKinds[] = {
    {ContainerFile::Container, "", false, true},
    {ContainerFile::Partial, ".partial", false, true},
    {ContainerFile::Journal, ".unlocking", false, true},
    {ContainerFile::Replaced, ".replaced", true, true},
    {ContainerFile::Rewrapped, ".new", false, true},
    {ContainerFile::Converted, ".strong", false, true},
    {ContainerFile::Kept, ".unfinished", true, false},
};

const KindName& NameOf(ContainerFile kind)
{
    for (const KindName& each : kKinds)
        if (each.kind == kind)
            return each;
    return kKinds[0];
}

// "%8.8x.vlt": eight hexadecimal digits and the extension.
const size_t kHexDigits = 8;
const char kExtension[] = ".vlt";
const size_t kContainerNameLength = kHexDigits + sizeof(kExtension) - 1;

// True when text has `prefix` at `at`, ASCII letters compared without their case (the names
// compared here are ASCII, and the file system takes either case for the same name).
bool HasAt(const std::string& text, size_t at, const char* prefix)
{
    size_t length = std::strlen(prefix);
    if (at > text.size() || text.size() - at < length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

size_t LeafStart(const std::string& path)
{
    std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? 0 : slash + 1;
}

// " 2", " 3", ...: the number of a second or later one of a numbered kind.
bool IsNumberAfterSpace(const std::string& text)
{
    if (text.size() < 2 || text[0] != ' ' || text[1] == '0' || text == " 1")
        return false;
    for (size_t i = 1; i < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

}  // namespace

std::string ContainerFilePath(const std::string& container, ContainerFile kind, int number)
{
    const KindName& name = NameOf(kind);
    std::string path = container + name.suffix;
    if (name.numbered && number > 1)
        path += " " + std::to_string(number);
    return path;
}

bool IsContainerFileName(const std::string& name)
{
    for (size_t i = 0; i < kHexDigits; ++i)
        if (i >= name.size() || !std::isxdigit(static_cast<unsigned char>(name[i])))
            return false;
    return HasAt(name, kHexDigits, kExtension) &&
           (name.size() == kContainerNameLength || name[kContainerNameLength] == '.');
}

bool KindOfContainerFile(const std::string& container, const std::string& path,
                         ContainerFile* kind)
{
    if (!HasAt(path, 0, container.c_str()))
        return false;
    std::string rest = path.substr(container.size());
    for (const KindName& each : kKinds) {
        if (!HasAt(rest, 0, each.suffix))
            continue;
        std::string number = rest.substr(std::strlen(each.suffix));
        if (number.empty() || (each.numbered && IsNumberAfterSpace(number))) {
            *kind = each.kind;
            return true;
        }
    }
    return false;
}

bool GoesWithItsVault(ContainerFile kind) { return NameOf(kind).goesWithItsVault; }

std::vector<std::string> ContainerFilesOf(const std::string& container)
{
    std::vector<std::string> paths;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((container + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return paths;
    size_t leaf = LeafStart(container);
    size_t own = container.size() - leaf;
    do {
        std::string name = found.cFileName;
        // The pattern also matches short names: only the name itself counts.
        if (HasAt(name, 0, container.c_str() + leaf) && (name.size() == own || name[own] == '.'))
            paths.push_back(container.substr(0, leaf) + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return paths;
}
