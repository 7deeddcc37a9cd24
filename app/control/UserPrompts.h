// CUserPrompts: the questions and information boxes the window shows, behind one interface so
// that tests answer them without modal loops.
#pragma once

#include "foundation/CharString.h"
#include "foundation/UserText.h"

class CUserPrompts {
public:
    virtual ~CUserPrompts() = default;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(const UserText& text) = 0;
    // An information box with an OK button.
    virtual void Inform(const UserText& text) = 0;
    // A warning box with an OK button: what was typed cannot be taken.
    virtual void Refuse(const UserText& text) = 0;
    // Opens a web page with the desktop's browser, without waiting for it.
    virtual void OpenPage(const CCharString& url) = 0;
};
