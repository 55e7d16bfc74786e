#include "password_rule.h"

#include <cstring>

#include "../base/secret_memory.h"

namespace {

// The passwords found most often in published lists of leaked ones, of 8 characters or more,
// in lower case: whoever guesses tries these first.
const char* const kCommon[] = {
    "12345678",   "123456789",  "1234567890", "12345678910", "123123123",  "11111111",
    "111111111",  "00000000",   "0000000000", "88888888",    "87654321",   "987654321",
    "11223344",   "12341234",   "1q2w3e4r",   "1q2w3e4r5t",  "1qaz2wsx",   "qwertyui",
    "qwertyuiop", "qwerty123",  "qwerty1234", "asdfghjk",    "asdfghjkl",  "zxcvbnm1",
    "password",   "password1",  "password12", "password123", "passw0rd",   "p@ssw0rd",
    "p@ssword",   "iloveyou",   "iloveyou1",  "sunshine",    "princess",   "football",
    "baseball",   "superman",   "starwars",   "trustno1",    "welcome1",   "whatever",
    "letmein1",   "computer",   "internet",   "michelle",    "jennifer",   "corvette",
    "mercedes",   "abcd1234",   "abc12345",   "abcdefgh",    "aa123456",   "a1b2c3d4",
    "qazwsxedc",  "zaq12wsx",   "changeme",   "secret123",   "admin123",   "administrator",
    "monkey123",  "dragon123",  "shadow123",  "master123",   "charlie1",   "football1",
    "liverpool",  "chelsea1",   "arsenal1",   "pokemon1",    "minecraft",  "samsung1",
    "google123",  "unknown1",   "azertyui",   "azertyuiop",  "passwort",   "hallo123",
    "ficken123",  "schatz123",  "motdepasse", "soleil123",   "contraseña", "qwertz123",
    "1234qwer",   "q1w2e3r4",   "q1w2e3r4t5", "123qweasd",   "123456abc",  "123abc123",
    "1111aaaa",   "aaaaaaaa",   "asdf1234",   "zxcvbnm123",  "welcome123", "sunshine1",
    "princess1",  "iloveu123",  "loveyou1",   "lovelove",    "babygirl",   "butterfly",
};

std::string Lowered(const std::string& text)
{
    std::string lowered = text;
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lowered;
}

// The characters of a UTF-8 text: every byte that does not continue a sequence begins one.
size_t CharacterCount(const std::string& utf8)
{
    size_t count = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

}  // namespace

std::string StrongPasswordProblem(const std::string& utf8)
{
    if (CharacterCount(utf8) < STRONG_PASSWORD_MIN_LENGTH)
        return "The password of a vault encrypted with its password must have at least " +
               std::to_string(int(STRONG_PASSWORD_MIN_LENGTH)) + " characters.";
    std::string lowered = Lowered(utf8);
    StringWiper wipe(lowered);
    for (const char* common : kCommon)
        if (lowered == common)
            return "This password is among the most common ones, which are guessed first. "
                   "Please choose another.";
    return std::string();
}
