// CMessageBoxPrompts: the window's questions and information boxes as Qt message boxes.
#pragma once

#include "app/UserPrompts.h"

class QWidget;

class CMessageBoxPrompts : public CUserPrompts {
public:
    explicit CMessageBoxPrompts(QWidget* parent) : m_parent(parent) {}

    bool AskYesNo(const CCharString& text) override;
    void Inform(const CCharString& text) override;
    void OpenPage(const CCharString& url) override;

private:
    QWidget* m_parent;
};
