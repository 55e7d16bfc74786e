#include "dialog_template.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

// Walks a template's bytes. Positions past the end read as zero, so a damaged template ends the
// walk instead of reading beyond it.
class TemplateReader {
public:
    TemplateReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    WORD Word() { return WORD(Take(2)); }
    DWORD Dword() { return DWORD(Take(4)); }
    void Skip(size_t bytes) { position_ += bytes; }
    // A name or ordinal: 0 (none), 0xFFFF and an ordinal, or a zero-terminated UTF-16 string.
    void SkipNameOrOrdinal() { NameOrOrdinal(); }
    // Reads a name or ordinal: the ordinal, or 0 for none and for a name.
    WORD NameOrOrdinal()
    {
        WORD first = Word();
        if (first == 0xFFFF)
            return Word();
        if (first != 0)
            SkipString();
        return 0;
    }
    // Reads a window class, named or by ordinal: true when it is the static control's.
    bool IsStaticClass()
    {
        WORD first = Word();
        if (first == 0xFFFF)
            return Word() == 0x0082;
        std::u16string name;
        for (WORD c = first; c != 0 && position_ < size_; c = Word())
            name += char16_t(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return name == u"static";
    }
    void SkipString()
    {
        while (position_ < size_ && Word() != 0) {
        }
    }
    void AlignToDword() { position_ = (position_ + 3) & ~size_t(3); }
    bool AtEnd() const { return position_ >= size_; }

private:
    uint32_t Take(size_t bytes)
    {
        uint32_t value = 0;
        for (size_t i = 0; i < bytes; ++i, ++position_)
            if (position_ < size_)
                value |= uint32_t(data_[position_]) << (8 * i);
        return value;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// The header of a DIALOGEX template, up to its first control; the number of controls.
WORD SkipHeader(TemplateReader& reader)
{
    reader.Skip(2 + 2 + 4 + 4);  // version, signature, help id, extended style
    DWORD style = reader.Dword();
    WORD count = reader.Word();
    reader.Skip(4 * 2);  // x, y, cx, cy
    reader.SkipNameOrOrdinal();  // menu
    reader.SkipNameOrOrdinal();  // window class
    reader.SkipString();         // title
    if (style & DS_SETFONT) {
        reader.Skip(2 + 2 + 1 + 1);  // point size, weight, italic, character set
        reader.SkipString();         // typeface
    }
    return count;
}

TemplateControl ReadControl(TemplateReader& reader)
{
    reader.AlignToDword();
    TemplateControl control;
    control.helpId = reader.Dword();
    reader.Skip(4);  // extended style
    control.style = reader.Dword();
    reader.Skip(4 * 2);  // x, y, cx, cy
    control.id = reader.Dword();
    bool isStatic = reader.IsStaticClass();
    WORD text = reader.NameOrOrdinal();
    control.picture = isStatic && (control.style & SS_TYPEMASK) == SS_BITMAP ? text : 0;
    reader.Skip(reader.Word());  // creation data
    return control;
}

BOOL CALLBACK AddTemplateId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(ids)->push_back(int(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

}  // namespace

std::vector<int> DialogTemplateIds(HMODULE module)
{
    std::vector<int> ids;
    EnumResourceNamesA(module, RT_DIALOG, AddTemplateId,
                       reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

bool ReadTemplateControls(HMODULE module, int templateId, std::vector<TemplateControl>* controls)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const uint8_t* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    DWORD size = found ? SizeofResource(module, found) : 0;
    if (!data || size < 4)
        return false;
    TemplateReader reader(data, size);
    if (reader.Word() != 1 || reader.Word() != 0xFFFF)  // an extended template's version, signature
        return false;
    reader = TemplateReader(data, size);
    WORD count = SkipHeader(reader);
    controls->clear();
    for (WORD i = 0; i < count && !reader.AtEnd(); ++i)
        controls->push_back(ReadControl(reader));
    return controls->size() == count;
}

void ApplyTemplateHelpIds(HWND dialog, HMODULE module, int templateId)
{
    std::vector<TemplateControl> controls;
    if (!ReadTemplateControls(module, templateId, &controls))
        return;
    for (const TemplateControl& control : controls) {
        HWND window = control.helpId ? GetDlgItem(dialog, int(control.id)) : nullptr;
        if (window && GetWindowContextHelpId(window) == 0)
            SetWindowContextHelpId(window, control.helpId);
    }
}
