// The message catalogue: which language the user reads, its translation loaded once at start,
// and every UserText said in it. Japanese is the catalogue's source language; a user whose
// locale is not Japanese reads English.
#pragma once

#include <QString>
#include <cstdlib>
#include <functional>
#include <string>

#include "foundation/Result.h"
#include "foundation/UserText.h"

class QCoreApplication;

enum class Language { kJapanese, kEnglish };

// The language the environment asks for, read as gettext reads it: LC_ALL, LC_MESSAGES, then
// LANG name the locale; LANGUAGE's list, when set, comes first unless that locale is C or
// POSIX. Japanese for ja*, English for anything else.
Language LanguageFromEnvironment(const std::function<const char*(const char*)>& variable = std::getenv);

// Makes `language` the one every text is said in, loading its translation from `folder` (the
// program's translations folder: TranslationsFolder()) and Qt's own for Qt's dialogs. A missing
// or unreadable translation fails, and the texts are then said in the source language.
Result<void> UseLanguage(Language language, const std::string& folder);
Language CurrentLanguage();

// Where the program's translations lie: "translations" beside the program in a build tree,
// share/velsona/translations when installed; empty when neither holds them.
std::string TranslationsFolder(const std::string& programFolder);

// Lets tr() in the window's widgets and Qt's own dialogs use the loaded translations.
void InstallTranslators(QCoreApplication& application);

// A text said in the current language, its arguments filled in (nested texts said the same way,
// errno texts by strerror under the user's locale).
QString Said(const UserText& text);
std::string SaidUtf8(const UserText& text);
