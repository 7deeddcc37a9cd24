// Locales for the tests, built on first use with localedef into one private folder (LOCPATH), so
// the machine needs no generated locales.
#pragma once

#include <string>

// The folder holding `locale` (e.g. "ja_JP.UTF-8"), built there if it is not yet; an empty string
// when localedef failed (the reason went to the test's failures).
std::string TestLocaleFolder(const std::string& locale);
