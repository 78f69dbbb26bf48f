// The application's single windows, created once at start-up in this order:
// MainForm, GotoForm, PalForm, EditForm, ClipForm, AboutForm.
#pragma once

namespace varnock {

class TMainForm;
class TGotoForm;
class TPalForm;
class TEditForm;
class TClipForm;
class TAboutForm;

extern TMainForm* MainForm;
extern TGotoForm* GotoForm;
extern TPalForm* PalForm;
extern TEditForm* EditForm;
extern TClipForm* ClipForm;
extern TAboutForm* AboutForm;

// Creates the six windows; only the frame is shown (maximised) when `show` is set.
void CreateForms(bool show = true);
// Destroys every window, ROM windows included, without asking anything (tests, exit).
void DestroyForms();

}  // namespace varnock
