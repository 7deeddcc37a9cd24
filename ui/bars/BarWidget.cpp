// Focus, names and the Return key of the settings bars.
#include "ui/bars/BarWidget.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "app/language/Catalogue.h"

QString ToQt(const CCharString& text) { return QString::fromUtf8(text.c_str(), text.GetLength()); }
CCharString FromQt(const QString& text) { return CCharString(text.toUtf8().toStdString()); }

void ShowItems(QComboBox* list, const std::vector<CCharString>& items) {
    QStringList texts;
    for (const CCharString& item : items) texts << ToQt(item);
    ShowItems(list, texts);
}

void ShowItems(QComboBox* list, const std::vector<UserText>& items) {
    QStringList texts;
    for (const UserText& item : items) texts << Said(item);
    ShowItems(list, texts);
}

void ShowItems(QComboBox* list, const QStringList& texts) {
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->itemText(i);
    if (texts == shown) return;
    list->clear();
    list->addItems(texts);
}

void CBarWidget::FocusControl(int id) {
    if (QWidget* control = Control(id)) control->setFocus(Qt::OtherFocusReason);
}

QWidget* CBarWidget::Control(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

void NameControl(QWidget* control, const QString& label) {
    QString name = label;
    if (name.endsWith(QChar(0xFF1A)) || name.endsWith(QChar(0x3A))) name.chop(1);  // "：", or English ":"
    control->setAccessibleName(name);
    // Screen readers meet the edit field of an editable list as a control of its own.
    if (auto* list = qobject_cast<QComboBox*>(control); list && list->lineEdit())
        list->lineEdit()->setAccessibleName(name);
}

void CBarWidget::AddControl(int id, QWidget* control, const QString& label) {
    m_controls[id] = control;
    NameControl(control, label);
    // Keys reach the inner edit field of a combo or spin box first.
    control->installEventFilter(this);
    for (QWidget* inner : control->findChildren<QWidget*>()) inner->installEventFilter(this);
}

QLabel* CBarWidget::LabelFor(int id, QWidget* control, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setBuddy(control);
    AddControl(id, control, text);
    return label;
}

bool CBarWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // A bar has no default button: Return only moves on, as Tab does.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
