#include "password_input.h"

#include <windows.h>

#include <cstdio>

bool ReadSecretLine(const char* prompt, std::string* line)
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    bool console = GetConsoleMode(input, &mode) != FALSE;
    if (console) {
        std::fputs(prompt, stderr);
        std::fflush(stderr);
        SetConsoleMode(input, mode & ~ENABLE_ECHO_INPUT);
    }
    line->clear();
    bool any = false;
    char c;
    DWORD got = 0;
    while (ReadFile(input, &c, 1, &got, nullptr) && got == 1) {
        any = true;
        if (c == '\n')
            break;
        line->push_back(c);
    }
    if (!line->empty() && line->back() == '\r')
        line->pop_back();
    if (console) {
        SetConsoleMode(input, mode);
        std::fputc('\n', stderr);
    }
    return any;
}
