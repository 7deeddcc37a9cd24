// Answers the window's questions from a script and keeps every text shown and page opened.
#pragma once

#include <string>
#include <vector>

#include "app/control/UserPrompts.h"
#include "app/language/Catalogue.h"

class ScriptedPrompts : public CUserPrompts {
public:
    bool answerYes = false;
    std::vector<std::string> questions;
    std::vector<std::string> informed;
    std::vector<std::string> refused;
    std::vector<std::string> pages;

    // The texts as the user would read them, in the test's language (Japanese unless it chose one).
    bool AskYesNo(const UserText& text) override {
        questions.push_back(SaidUtf8(text));
        return answerYes;
    }
    void Inform(const UserText& text) override { informed.push_back(SaidUtf8(text)); }
    void Refuse(const UserText& text) override { refused.push_back(SaidUtf8(text)); }
    void OpenPage(const CCharString& url) override { pages.push_back(url.str()); }
};
