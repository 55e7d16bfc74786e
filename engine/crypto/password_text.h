#pragma once
// The bytes a password becomes. A vault whose contents are encrypted with its password takes the
// UTF-8 form of the password as typed, so that the window and the console companion derive the
// same key from it and no character is lost. A classic vault keeps the bytes its digest was
// always made from: the ANSI code page's in the windows.

#include <string>
#include <vector>

std::string Utf8FromWide(const std::wstring& text);
// Empty when `text` is not valid UTF-8.
std::wstring WideFromUtf8(const std::string& text);
// `text` in code page `codePage`; characters it lacks become what the system puts in their
// place.
std::string CodePageFromWide(const std::wstring& text, unsigned codePage);

// The bytes of a password typed into a window, for a vault of the given kind.
std::string PasswordBytes(const std::wstring& typed, bool strong);

// Containers and verifiers made before passwords were taken as UTF-8 hold the password's bytes
// in the ANSI code page (the windows) or the console's (the console companion): the forms of a
// UTF-8 password that differ from it, to be tried after it on those alone. Empty for a password
// that is all ASCII.
std::vector<std::string> EarlierPasswordForms(const char* utf8);
