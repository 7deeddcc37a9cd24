// CFileNameDlg: edits a file-name template (without its extension) with buttons that insert
// the %TOKEN% words.
#pragma once

#include <QDialog>

#include "app/control/UserPrompts.h"

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

protected:
    void showEvent(QShowEvent* event) override;

private:
    void PressToken(const QString& token);

    CUserPrompts& m_prompts;
    QLineEdit* m_edit;
    QPushButton* m_otherTokens;
    // The edit field's selection while it had the focus: pressing a button takes the focus
    // and the field drops its selection, which the token is to replace.
    int m_selectionStart = -1;
    int m_selectionLength = 0;
};
