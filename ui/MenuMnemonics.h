// Menu mnemonics that reach the item enabled under them.
#pragma once

class QMenu;

// In `menu`, a letter that underlines one enabled item and some disabled ones runs the enabled
// one ("録音停止(&S)" while "録音スケジュール起動(&S)" is disabled); Qt would count the disabled
// items as a clash and only highlight.
void ActOnEnabledMnemonics(QMenu* menu);
