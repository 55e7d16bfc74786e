#pragma once
// What a password must be for a vault whose contents are encrypted with it: the password is the
// only secret of such a vault, so it has at least STRONG_PASSWORD_MIN_LENGTH characters and is
// not one of the passwords tried first by whoever guesses. Classic vaults have no such rule.

#include <string>

enum { STRONG_PASSWORD_MIN_LENGTH = 8 };

// Empty when the UTF-8 password may protect such a vault; else the sentence that tells the
// user why not, ready for a message.
std::string StrongPasswordProblem(const std::string& utf8);
