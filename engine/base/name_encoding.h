#pragma once
// The two encodings in which the program holds file names and paths as bytes: the system's ANSI
// code page (the classic container's names, the registry's, the windows' own texts) and UTF-8 (the
// names a vault encrypted with its password keeps, which may be any name Windows allows). A text
// always travels with the encoding it is in; these are the only conversions between the bytes
// and the UTF-16 the system's wide calls take, one for each direction.

#include <string>

enum class NameEncoding { ANSI, UTF8 };

// The text, in `encoding`, as UTF-16.
std::wstring WidenName(const std::string& text, NameEncoding encoding);
// The UTF-16 text in `encoding`; false when it does not come back as the same text (characters
// the ANSI code page lacks or maps to look-alikes; a lone surrogate in either), so that a call
// with it would reach another file or none.
bool NarrowName(const wchar_t* text, NameEncoding encoding, std::string* narrow);
// The text, in `from`, in `to`; false (with *converted as NarrowName leaves it) when `to` cannot
// hold it, or it is not valid text in `from`.
bool RecodeName(const std::string& text, NameEncoding from, NameEncoding to,
                std::string* converted);
// The same, for a text that `to` can always hold: any ANSI text in UTF-8, or a text in its own
// encoding. Our own messages and paths of the vaults root go from ANSI to UTF-8 this way.
std::string InEncoding(const std::string& ansiText, NameEncoding to);
