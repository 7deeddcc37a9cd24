// Number fields of the control bars.
#include "app/bars/BarModel.h"

#include <cerrno>
#include <cstdlib>
#include <climits>

#include "app/language/Catalogue.h"

void Inform(CUserPrompts& prompts, const UserText& text) { prompts.Inform(CCharString(SaidUtf8(text))); }

bool AskYesNo(CUserPrompts& prompts, const UserText& text) { return prompts.AskYesNo(CCharString(SaidUtf8(text))); }

bool ParseBarInteger(const CCharString& text, int& value) {
    CCharString trimmed(text);
    trimmed.Trim();
    const char* begin = trimmed.c_str();
    if (*begin == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(begin, &end, 10);
    if (*end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}
