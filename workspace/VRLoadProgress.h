#pragma once

#include "engine/ConvertorProgress.h"
#include "engine/VRMemDocManager.h"

#include <wx/progdlg.h>

#include <memory>

class wxWindowDisabler;

// The progress dialog shown while source files are added to a new project, a project opens or a
// memory loads; the convertors advance it through tcConvertorProgress. It shows itself on
// construction, centred on the screen, with the maximum 10000 and an abort button; the owner
// destroys it when the work is done. Values are kept within 0..9999, so the dialog never reaches
// its maximum and never hides itself between files. An abort request is not acted on here: the
// caller may ask WasCancelled().
//
// A progress window must never cover what the user is asked while it shows: while one lives, every
// modal dialog and every call of tUserPrompts() hides it (and a newer progress hides the older
// ones). It shows again when the dialog or prompt is done, or at its next SetValue. Main thread only.
class VRLoadProgress : public wxProgressDialog, public tcConvertorProgress
{
public:
    // pParent may be null: the dialog then disables no other window.
    VRLoadProgress(const wxString& sTitle, const wxString& sMessage, wxWindow* pParent = nullptr);
    ~VRLoadProgress() override;

    // The value last stored (0 before any).
    int GetValue() const override { return m_nValue; }
    // Stores the value clamped to 0..9999 and moves the gauge there; the message stays as it is.
    void SetValue(int nValue) override;
    // True once the abort button was pressed.
    bool WasCancelled() const override { return wxProgressDialog::WasCancelled(); }

    // Hides every progress window alive, for something the user must see; ShowNewest brings back
    // the newest one.
    static void HideAll();
    static void ShowNewest();

private:
    int m_nValue = 0;
    bool m_bHiddenForPrompt = false;
};

// The progress a memory manager shows while it reads a memory file: a VRLoadProgress titled with the
// memory's file name, with Cancel, the rest of the program disabled meanwhile.
class VRMemDocLoadProgress : public tcMemDocLoadProgress
{
public:
    VRMemDocLoadProgress();
    ~VRMemDocLoadProgress() override;
    void Begin(const wxString& sFile) override;
    bool Step(double dFraction) override;
    void End() override;

private:
    std::unique_ptr<VRLoadProgress> m_pDialog;
    std::unique_ptr<wxWindowDisabler> m_pDisabler;
};
