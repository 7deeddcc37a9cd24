// Message boxes titled with the program's name; pages open in the desktop's browser.
#include "ui/bars/MessageBoxPrompts.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "ui/bars/BarWidget.h"

namespace {

// The texts keep the Windows line ends they were written with; a label shows "\r" as a box.
QString Shown(const CCharString& text) { return ToQt(text).remove(QChar('\r')); }

}  // namespace

bool CMessageBoxPrompts::AskYesNo(const CCharString& text) {
    return QMessageBox::question(m_parent, "Velsona", Shown(text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void CMessageBoxPrompts::Inform(const CCharString& text) {
    QMessageBox::information(m_parent, "Velsona", Shown(text));
}

void CMessageBoxPrompts::OpenPage(const CCharString& url) { QDesktopServices::openUrl(QUrl(ToQt(url))); }
