#pragma once
// File names as the program holds them, in the system's ANSI code page, beside the UTF-16 names
// the file system keeps.

#include <string>

#include "../base/name_encoding.h"

// The ANSI text as UTF-16 (WidenName in ANSI).
std::wstring WidenAnsi(const std::string& text);
// The UTF-16 name in the ANSI code page; false when it does not come back as the same name
// (characters the code page lacks, or maps to look-alikes), so that an ANSI call with it would
// reach another file or none.
bool NarrowExactly(const wchar_t* name, std::string* narrow);

// True when two names (ANSI unless told) name the same file: compared as the file system
// compares names, letter case aside (so "Beta" and "beta" are one folder).
bool IsSameFileName(const std::string& a, const std::string& b,
                    NameEncoding encoding = NameEncoding::ANSI);
// The name in the form IsSameFileName compares: upper case, as UTF-16.
std::wstring FileNameKey(const std::string& name, NameEncoding encoding = NameEncoding::ANSI);
