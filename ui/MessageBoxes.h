// IMessageBoxes: every question, message and modal dialog of the window, behind one interface so
// tests answer them without a modal loop; CMessageBoxes shows them as Qt message boxes;
// CBarPrompts asks the settings bars' questions through them.
#pragma once

#include <QString>

#include <functional>
#include <memory>

#include "app/control/UserPrompts.h"

class QDialog;
class QMessageBox;
class QUrl;
class QWidget;

enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxAnswer { Ok, Cancel, Yes, No };

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    virtual BoxAnswer Ask(const QString& text, BoxButtons buttons) = 0;
    // Modal information with one OK button.
    virtual void Inform(const QString& text) = 0;
    // A warning that does not wait for an answer: an unattended failure stays on screen while
    // the window goes on.
    virtual void Warn(const QString& text) = 0;
    // A modal warning with one OK button: what was typed cannot be taken.
    virtual void Refuse(const QString& text) = 0;
    virtual void About(const QString& title, const QString& text) = 0;
    // Runs a dialog to its end; true when it was accepted.
    virtual bool Run(QDialog& dialog) = 0;
    // The folder the user picked, or empty.
    virtual QString ChooseFolder(const QString& current) = 0;
};

// The box a question is asked in (also for screenshots of it).
std::unique_ptr<QMessageBox> QuestionBox(const QString& text, BoxButtons buttons, QWidget* parent);

class CMessageBoxes : public IMessageBoxes {
public:
    explicit CMessageBoxes(QWidget* parent) : m_parent(parent) {}

    // The program is asked to end: every box and dialog open is cancelled (a question answered
    // Cancel, or No where it has no Cancel), and any asked later is answered so at once.
    void Dismiss();

    BoxAnswer Ask(const QString& text, BoxButtons buttons) override;
    void Inform(const QString& text) override;
    void Warn(const QString& text) override;
    void Refuse(const QString& text) override;
    void About(const QString& title, const QString& text) override;
    bool Run(QDialog& dialog) override;
    QString ChooseFolder(const QString& current) override;

private:
    QWidget* m_parent;
    bool m_dismissed = false;
};

class CBarPrompts : public CUserPrompts {
public:
    CBarPrompts(IMessageBoxes& boxes, std::function<bool(const QUrl&)>& openUrl) : m_boxes(boxes), m_openUrl(openUrl) {}

    bool AskYesNo(const UserText& text) override;
    void Inform(const UserText& text) override;
    void Refuse(const UserText& text) override;
    void OpenPage(const CCharString& url) override;

private:
    IMessageBoxes& m_boxes;
    std::function<bool(const QUrl&)>& m_openUrl;  // the window's, which tests replace
};
