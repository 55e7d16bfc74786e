#pragma once
#include <string>

// Reads one line from standard input, without its line break. On a console the typing is not
// echoed and `prompt` goes to standard error first. False when input has ended.
bool ReadSecretLine(const char* prompt, std::string* line);
