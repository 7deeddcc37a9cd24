// CBarWidget: what the settings bars' widgets share: Return moves the focus on, every control
// is named after its label, and writing the model's controls never calls the model back.
#pragma once

#include <QLabel>
#include <QWidget>
#include <map>
#include <vector>

#include "app/bars/BarModel.h"
#include "foundation/UserText.h"

class CBarWidget : public QWidget, public CBarView {
    Q_OBJECT
public:
    explicit CBarWidget(QWidget* parent = nullptr) : QWidget(parent) {}

    void FocusControl(int id) override;
    // The control with this id, or null.
    QWidget* Control(int id) const;

protected:
    // Registers a control under its id and names it after `label` (its trailing colon aside).
    void AddControl(int id, QWidget* control, const QString& label);
    // A label for `control` whose text is `text`; the control takes its name from it.
    QLabel* LabelFor(int id, QWidget* control, const QString& text);
    bool eventFilter(QObject* watched, QEvent* event) override;

    // True while the model's controls are written into the widgets.
    bool m_writing = false;

private:
    std::map<int, QWidget*> m_controls;
};

// Sets m_writing for one write and blocks nothing else.
class CWriteGuard {
public:
    explicit CWriteGuard(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~CWriteGuard() { m_flag = m_old; }
    CWriteGuard(const CWriteGuard&) = delete;
    CWriteGuard& operator=(const CWriteGuard&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

class QComboBox;

// Names `control` for screen readers after its label (its trailing colon aside), the edit field
// of an editable list too.
void NameControl(QWidget* control, const QString& label);

// Puts the items into a list, refilling it only when they changed so an open list is not disturbed.
void ShowItems(QComboBox* list, const QStringList& items);
void ShowItems(QComboBox* list, const std::vector<CCharString>& items);
// … the items said in the user's language.
void ShowItems(QComboBox* list, const std::vector<UserText>& items);

// Qt text from the program's UTF-8 text and back.
QString ToQt(const CCharString& text);
CCharString FromQt(const QString& text);
