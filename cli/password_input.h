#pragma once
#include <string>

// A password as read from standard input, in the two forms a vault may take it in: `utf8`, the
// UTF-8 text (for a vault encrypted with its password), and `typed`, the bytes as the companion
// has always read them (for a classic vault's digest): the console's code page at a console,
// and at a pipe the bytes as they came, which are then the UTF-8 text as well. Both are wiped
// when it ends.
struct TypedSecret {
    TypedSecret();
    ~TypedSecret();
    TypedSecret(const TypedSecret&) = delete;
    TypedSecret& operator=(const TypedSecret&) = delete;

    const std::string& For(bool strong) const { return strong ? utf8 : typed; }

    std::string typed;
    std::string utf8;
};

// Reads one line from standard input, without its line break: from a console as UTF-16, with
// the typing not echoed and `prompt` on standard error first; from a pipe or a file as bytes.
// False when input has ended.
bool ReadSecretLine(const char* prompt, TypedSecret* secret);
