// The file-name dialog: the template's edit field, the token buttons, OK and cancel.
#include "ui/bars/FileNameDlg.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/bars/BarModel.h"

namespace {

struct TokenButtonText {
    const char* token;
    const char* caption;
};

// Each caption names its token, which stays as it is, and says it in the user's language.
constexpr TokenButtonText kTokenButtons[] = {
    {"%RCN%", QT_TRANSLATE_NOOP("CFileNameDlg", "%RCN% → [収録No]")},
    {"%TKN%", QT_TRANSLATE_NOOP("CFileNameDlg", "%TKN% → [トラックNo]")},
    {"%TLN%", QT_TRANSLATE_NOOP("CFileNameDlg", "%TLN% → [トラック時間]")},
    {"%STM%", QT_TRANSLATE_NOOP("CFileNameDlg", "%STM% → [開始時間]")},
    {"%ETM%", QT_TRANSLATE_NOOP("CFileNameDlg", "%ETM% → [終了時間]")},
    {"%TDY%", QT_TRANSLATE_NOOP("CFileNameDlg", "%TDY% → [本日日付]")},
    {"%SNW%", QT_TRANSLATE_NOOP("CFileNameDlg", "%SNW% → [開始時刻]")},
    {"%ENW%", QT_TRANSLATE_NOOP("CFileNameDlg", "%ENW% → [終了時刻]")},
};

UserText OtherTokensHelp() {
    return UserText("CFileNameDlg",
                    "※以下の %組込み文字% も利用可能です。\r\n\r\n"
                    "%TKN2% → [トラックNo]の２桁版 [例:01]\r\n"
                    "%STM2% → [開始時間]の時分秒版 [例:03：15：32]\r\n"
                    "%ETM2% → [終了時間]の時分秒版 [例:05：21：48]\r\n"
                    "%TLN2% → [トラック時間]の時分秒版 [例:05：21：48]\r\n"
                    "%TDY2% → [本日日付]の年2桁版 [例:03-09-25]\r\n");
}

}  // namespace

CFileNameDlg::CFileNameDlg(const QString& text, CUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_edit(new QLineEdit(text, this)) {
    setWindowTitle(tr("ファイル名編集設定"));
    auto* label = new QLabel(tr("ファイル名：（拡張子は除く）"), this);
    label->setBuddy(m_edit);
    m_edit->setAccessibleName(tr("ファイル名（拡張子は除く）"));
    m_edit->setMinimumWidth(360);

    connect(m_edit, &QLineEdit::selectionChanged, this, [this] {
        if (!m_edit->hasFocus()) return;
        m_selectionStart = m_edit->selectionStart();
        m_selectionLength = static_cast<int>(m_edit->selectedText().size());
    });

    auto* tokens = new QGroupBox(tr(" %組込み文字% "), this);
    auto* grid = new QGridLayout(tokens);
    int i = 0;
    for (const TokenButtonText& button : kTokenButtons) {
        auto* push = new QPushButton(QCoreApplication::translate("CFileNameDlg", button.caption), tokens);
        push->setObjectName(QString::fromUtf8(button.token));
        push->setAutoDefault(false);
        const QString token = QString::fromUtf8(button.token);
        connect(push, &QPushButton::clicked, this, [this, token] { PressToken(token); });
        grid->addWidget(push, i / 2, i % 2);
        ++i;
    }
    m_otherTokens = new QPushButton(tr("その他の%組込み文字%"), tokens);
    m_otherTokens->setAutoDefault(false);
    connect(m_otherTokens, &QPushButton::clicked, this, [this] { m_prompts.Inform(OtherTokensHelp()); });
    grid->addWidget(m_otherTokens, i / 2, 0, 1, 2);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(tr("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addWidget(tokens);
    layout->addWidget(buttons);

}

void CFileNameDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // After the window's own first focus, which would select the whole text.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_edit->setFocus(Qt::OtherFocusReason);
            m_edit->end(false);
        },
        Qt::QueuedConnection);
}

QString CFileNameDlg::Text() const { return m_edit->text(); }

QPushButton* CFileNameDlg::TokenButton(const QString& token) const {
    if (token.isEmpty()) return m_otherTokens;
    return findChild<QPushButton*>(token);
}

void CFileNameDlg::PressToken(const QString& token) {
    m_edit->setFocus(Qt::OtherFocusReason);
    // A token is never there twice: the one there is shown instead.
    const int at = m_edit->text().indexOf(token);
    if (at >= 0) {
        m_edit->setSelection(at, static_cast<int>(token.size()));
        return;
    }
    if (m_selectionLength > 0) m_edit->setSelection(m_selectionStart, m_selectionLength);
    m_edit->insert(token);  // replaces the selection, and can be undone
}
