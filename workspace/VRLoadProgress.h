#pragma once

#include "engine/ConvertorProgress.h"

#include <wx/progdlg.h>

// The progress dialog shown while source files are added to a new project; the convertors advance
// it through tcConvertorProgress. It shows itself on construction, centred on the screen, with the
// maximum 10000 and an abort button; the owner destroys it when all files are added. Values are
// kept within 0..9999, so the dialog never reaches its maximum and never hides itself between
// files. An abort request is not acted on here: the caller may ask WasCancelled(). Main thread only.
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

private:
    int m_nValue = 0;
};
