// CBarModel: what every control bar shares without its widgets: the view that copies controls
// to and from the model, the prompts, and the refusal of a pull.
#pragma once

#include "app/control/UserPrompts.h"
#include "foundation/CharString.h"
#include "foundation/UserText.h"

// The framework's message when a number field is empty or not a number.
inline UserText IntegerEntryMessage() { return UserText("BarModel", "整数を入力してください。"); }

// The widgets of one bar. A model without a view is driven through its controls record.
class CBarView {
public:
    virtual ~CBarView() = default;
    // Copies what the widgets show into the model's controls record.
    virtual void ReadControls() = 0;
    // Shows the model's controls record in the widgets.
    virtual void WriteControls() = 0;
    // Gives the keyboard focus to the control with this id.
    virtual void FocusControl(int id) = 0;
};

class CBarModel {
public:
    CBarView* view = nullptr;
    CUserPrompts* prompts = nullptr;

    void Inform(const UserText& text) const {
        if (prompts) prompts->Inform(text);
    }
    void Refuse(const UserText& text) const {
        if (prompts) prompts->Refuse(text);
    }

protected:
    void ReadControls() const {
        if (view) view->ReadControls();
    }
    void WriteControls() const {
        if (view) view->WriteControls();
    }
    // A pull that meets an unusable number says so and puts the focus back on the field,
    // unless it reads the bar quietly while the user types.
    bool RefuseNumber(int controlId, bool tell) const {
        if (!tell) return false;
        Inform(IntegerEntryMessage());
        if (view) view->FocusControl(controlId);
        return false;
    }
};

// A number field's text as an integer; false when it is empty or holds anything but digits
// (a leading minus aside) or does not fit.
bool ParseBarInteger(const CCharString& text, int& value);
