// Answers the window's questions from a script and keeps every text shown and page opened.
#pragma once

#include <string>
#include <vector>

#include "app/control/UserPrompts.h"

class ScriptedPrompts : public CUserPrompts {
public:
    bool answerYes = false;
    std::vector<std::string> questions;
    std::vector<std::string> informed;
    std::vector<std::string> pages;

    // The texts as the catalogue's source holds them: tests read them in Japanese.
    bool AskYesNo(const UserText& text) override {
        questions.push_back(text.SourceText());
        return answerYes;
    }
    void Inform(const UserText& text) override { informed.push_back(text.SourceText()); }
    void OpenPage(const CCharString& url) override { pages.push_back(url.str()); }
};
