// A user's language for the running test, as a desktop session hands it to a program: LANG set to
// ja_JP.UTF-8 or en_US.UTF-8 (LANGUAGE, LC_ALL and LC_MESSAGES cleared), the locale built with
// localedef into a private folder, and the catalogue speaking that language; all undone at the
// end of the scope (back to Japanese, the source language, and the C locale).
#pragma once

#include <string>
#include <string_view>

#include "app/language/Catalogue.h"

class UserLanguage {
public:
    explicit UserLanguage(Language language);
    ~UserLanguage();
    UserLanguage(const UserLanguage&) = delete;
    UserLanguage& operator=(const UserLanguage&) = delete;

    // False when the locale or the translation could not be had; the reason went to the test's
    // failures.
    bool active() const { return m_active; }

    // Shell assignments that give a child process (velsona-rec) the same language:
    // "LOCPATH=… LANG=ja_JP.UTF-8 LANGUAGE= LC_ALL= LC_MESSAGES=".
    static std::string ChildEnvironment(Language language);

private:
    bool m_active = false;
};

// What the language checks look for in a text a user would read (UTF-8): a Japanese character
// (kana, kanji, full-width forms) …
bool HasJapanese(std::string_view text);
// … or an English sentence: two words of which one is lower-case prose ("cannot open", "Start
// recording"); names such as "Ogg Vorbis", units and file-name tokens are not.
bool HasEnglishSentence(std::string_view text);
