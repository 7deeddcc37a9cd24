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

    bool AskYesNo(const CCharString& text) override {
        questions.push_back(text.str());
        return answerYes;
    }
    void Inform(const CCharString& text) override { informed.push_back(text.str()); }
    void OpenPage(const CCharString& url) override { pages.push_back(url.str()); }
};
