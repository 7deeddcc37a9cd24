// The mnemonic filter of the window's menus.
#include "ui/MenuMnemonics.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>

namespace {

class CEnabledMnemonics : public QObject {
public:
    explicit CEnabledMnemonics(QMenu* menu) : QObject(menu), m_menu(menu) { menu->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->text().size() != 1 || (key->modifiers() & ~(Qt::AltModifier | Qt::ShiftModifier))) return false;
        const char16_t letter = key->text().at(0).toUpper().unicode();
        QAction* enabled = nullptr;
        int matches = 0, enabledMatches = 0;
        for (QAction* action : m_menu->actions()) {
            const QKeySequence mnemonic = QKeySequence::mnemonic(action->text());
            if (!action->isVisible() || mnemonic.isEmpty() || mnemonic[0].key() != letter) continue;
            ++matches;
            if (action->isEnabled()) {
                enabled = action;
                ++enabledMatches;
            }
        }
        // Qt itself runs a letter that is no clash; real clashes between enabled items cycle.
        if (matches < 2 || enabledMatches != 1) return false;
        // Return on the highlighted item takes Qt's own way: the menus close, then the item runs.
        m_menu->setActiveAction(enabled);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(m_menu, &enter);
        return true;
    }

private:
    QMenu* m_menu;
};

}  // namespace

void ActOnEnabledMnemonics(QMenu* menu) { new CEnabledMnemonics(menu); }
