// Message boxes and modal dialogs of the window, shown with Qt.
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "app/bars/FileBarModel.h"
#include "app/language/Catalogue.h"
#include "schedule/RecordingSchedule.h"

namespace {

QMessageBox::StandardButtons ButtonsOf(BoxButtons buttons) {
    switch (buttons) {
    case BoxButtons::Ok: return QMessageBox::Ok;
    case BoxButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case BoxButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case BoxButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The bars' texts keep the Windows line ends they were written with; a label shows "\r" as a box.
QString Shown(const UserText& text) { return Said(text).remove(QChar('\r')); }

}  // namespace

std::unique_ptr<QMessageBox> QuestionBox(const QString& text, BoxButtons buttons, QWidget* parent) {
    return std::make_unique<QMessageBox>(QMessageBox::Question, Said(ProgramTitle()), text,
                                         ButtonsOf(buttons), parent);
}

void CMessageBoxes::Dismiss() {
    m_dismissed = true;
    // The innermost first; each leaves the modal stack as it is hidden.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        else if (!modal->close()) break;
        if (QApplication::activeModalWidget() == modal) break;
    }
}

BoxAnswer CMessageBoxes::Ask(const QString& text, BoxButtons buttons) {
    if (m_dismissed) return buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Cancel;
    std::unique_ptr<QMessageBox> box = QuestionBox(text, buttons, m_parent);
    const int answer = box->exec();
    // A box dismissed without a button gives no answer: the safe one.
    if (m_dismissed) return buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Cancel;
    switch (answer) {
    case QMessageBox::Ok: return BoxAnswer::Ok;
    case QMessageBox::Yes: return BoxAnswer::Yes;
    case QMessageBox::No: return BoxAnswer::No;
    default: return BoxAnswer::Cancel;
    }
}

void CMessageBoxes::Inform(const QString& text) {
    if (!m_dismissed) QMessageBox::information(m_parent, Said(ProgramTitle()), text);
}

void CMessageBoxes::Warn(const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, Said(ProgramTitle()), text, QMessageBox::Ok, m_parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void CMessageBoxes::Refuse(const QString& text) {
    if (!m_dismissed) QMessageBox::warning(m_parent, Said(ProgramTitle()), text);
}

void CMessageBoxes::About(const QString& title, const QString& text) {
    if (!m_dismissed) QMessageBox::about(m_parent, title, text);
}

bool CMessageBoxes::Run(QDialog& dialog) { return !m_dismissed && dialog.exec() == QDialog::Accepted && !m_dismissed; }

QString CMessageBoxes::ChooseFolder(const QString& current) {
    if (m_dismissed) return {};
    return QFileDialog::getExistingDirectory(m_parent, Said(CFileBarModel::BrowseTitle()), current);
}

bool CBarPrompts::AskYesNo(const UserText& text) { return m_boxes.Ask(Shown(text), BoxButtons::YesNo) == BoxAnswer::Yes; }

void CBarPrompts::Inform(const UserText& text) { m_boxes.Inform(Shown(text)); }

void CBarPrompts::Refuse(const UserText& text) { m_boxes.Refuse(Shown(text)); }

void CBarPrompts::OpenPage(const CCharString& url) { m_openUrl(QUrl(QString::fromUtf8(url.c_str()))); }
