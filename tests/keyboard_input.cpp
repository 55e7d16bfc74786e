#include "keyboard_input.h"

#include <vector>

namespace {

INPUT KeyInput(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

void PressKeyCombination(UINT modifiers, WORD key)
{
    const struct {
        UINT flag;
        WORD key;
    } held[] = {{MOD_CONTROL, VK_CONTROL}, {MOD_SHIFT, VK_SHIFT}, {MOD_ALT, VK_MENU},
                {MOD_WIN, VK_LWIN}};
    std::vector<INPUT> presses, releases;
    for (const auto& modifier : held)
        if (modifiers & modifier.flag) {
            presses.push_back(KeyInput(modifier.key, false));
            releases.insert(releases.begin(), KeyInput(modifier.key, true));
        }
    presses.push_back(KeyInput(key, false));
    presses.push_back(KeyInput(key, true));
    presses.insert(presses.end(), releases.begin(), releases.end());
    SendInput(UINT(presses.size()), presses.data(), sizeof(INPUT));
}

void PressKey(WORD key) { PressKeyCombination(0, key); }

void TypeKeys(const std::string& text)
{
    for (char c : text) {
        SHORT scan = VkKeyScanA(c);
        UINT modifiers = (HIBYTE(scan) & 1 ? MOD_SHIFT : 0) | (HIBYTE(scan) & 2 ? MOD_CONTROL : 0) |
                         (HIBYTE(scan) & 4 ? MOD_ALT : 0);
        PressKeyCombination(modifiers, LOBYTE(scan));
    }
}
