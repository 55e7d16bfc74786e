#include "password_input.h"

#include <windows.h>

#include <cstdio>

#include "../engine/base/secret_memory.h"
#include "../engine/crypto/password_text.h"

namespace {

// Room reserved up front, so that a password never moves (leaving a copy behind) as it grows.
const size_t kRoom = 256;

// Reads characters with `read` (false at the end of input) up to a line break, which is not
// kept, nor a carriage return before it. False when input had ended before.
template <typename Char, typename Read>
bool ReadLine(Read read, std::basic_string<Char>* line)
{
    bool any = false;
    Char c;
    while (read(&c)) {
        any = true;
        if (c == Char('\n'))
            break;
        line->push_back(c);
    }
    if (!line->empty() && line->back() == Char('\r'))
        line->pop_back();
    return any;
}

// A line typed at the console, read as UTF-16.
bool ReadConsoleLine(HANDLE input, std::wstring* line)
{
    return ReadLine<wchar_t>(
        [input](wchar_t* c) {
            DWORD got = 0;
            return ReadConsoleW(input, c, 1, &got, nullptr) && got == 1;
        },
        line);
}

// A line from a pipe or a file, as bytes.
bool ReadByteLine(HANDLE input, std::string* line)
{
    return ReadLine<char>(
        [input](char* c) {
            DWORD got = 0;
            return ReadFile(input, c, 1, &got, nullptr) && got == 1;
        },
        line);
}

}  // namespace

TypedSecret::TypedSecret()
{
    typed.reserve(kRoom);
    utf8.reserve(kRoom);
}

TypedSecret::~TypedSecret()
{
    WipeString(typed);
    WipeString(utf8);
}

bool ReadSecretLine(const char* prompt, TypedSecret* secret)
{
    WipeString(secret->typed);
    WipeString(secret->utf8);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(input, &mode)) {
        bool any = ReadByteLine(input, &secret->typed);
        secret->utf8 = secret->typed;
        return any;
    }
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    SetConsoleMode(input, mode & ~ENABLE_ECHO_INPUT);
    std::wstring line;
    line.reserve(kRoom);
    bool any = ReadConsoleLine(input, &line);
    SetConsoleMode(input, mode);
    std::fputc('\n', stderr);
    for (std::string* form : {&secret->typed, &secret->utf8}) {
        std::string made = form == &secret->typed ? CodePageFromWide(line, GetConsoleCP())
                                                  : Utf8FromWide(line);
        form->assign(made);
        WipeString(made);
    }
    WipeString(line);
    return any;
}
