// CFileNameDlg: edits a file-name template (without its extension) with buttons that insert
// the %TOKEN% words.
#pragma once

#include <QDialog>

#include "app/UserPrompts.h"

class QLineEdit;
class QPushButton;

class CFileNameDlg : public QDialog {
    Q_OBJECT
public:
    CFileNameDlg(const QString& text, CUserPrompts& prompts, QWidget* parent = nullptr);

    QString Text() const;
    QLineEdit* Edit() const { return m_edit; }
    // The button that inserts `token` ("%RCN%" …), or the one with the other words' help for
    // an empty token.
    QPushButton* TokenButton(const QString& token) const;

private:
    void PressToken(const QString& token);

    CUserPrompts& m_prompts;
    QLineEdit* m_edit;
    QPushButton* m_otherTokens;
};
