// The logging parameters dialog (frmOffsets): the 22 number fields of the settings in boxes that
// correct themselves when they lose the focus; OK stores and saves, Cancel discards, Reset puts
// the factory values into the boxes. Modal, opened from the options dialog.
#pragma once

#include <string>
#include <string_view>

#include "core/forms.h"

namespace sky {

struct App;

// Loads the dialog with the current values; a failure to fill a box shows a box of its own.
void OpenParametersDialog(App& app);
// Closes the dialog without storing (Cancel, and the close box).
void CloseParametersDialog(App& app);

// The text a box holds after losing the focus: the whole part of the number (read with the
// user's decimal separator) kept within the box's rule, or the reset value when the text is
// not a number.
std::string CorrectedBoxText(const ParameterBox& box, std::string_view text,
                             std::string_view separator);

// The focus moves to another control of the dialog (a box or a button, by name): the box that
// loses it corrects its text.
void MoveParametersFocus(App& app, std::string_view control);
// Typing into a box: the box takes the focus and the text. False for no such box.
bool TypeParameterBox(App& app, std::string_view box, const std::string& text);

// The three buttons. The box holding the focus has corrected its text before they act.
void ParametersOK(App& app);
void ParametersCancel(App& app);
void ParametersReset(App& app);

}  // namespace sky
