#pragma once
// A paste or a typed text that is longer than what a limited edit still takes keeps the part
// that fits, inserted at the caret, as the classic edit controls' text limit does. wxGTK
// refuses such an insertion whole, so a paste over a field's whole text emptied the field.
class wxTextCtrl;

namespace platform {

// Installs the rule for every single-line edit with a length limit (SetMaxLength). Once,
// after the toolkit started.
void InstallTextLimits();

// The edit's limit while it may show a longer text (its toolkit limit is then that text's
// length): what the user types or pastes never makes the text longer than the limit, nor
// longer than it was.
void HoldTextLimit(wxTextCtrl* edit, unsigned limit);

}  // namespace platform
