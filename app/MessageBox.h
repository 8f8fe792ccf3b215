#pragma once

#include <wx/dialog.h>

// The program's own message box: an icon chosen by the kind, the text wrapped at 600 pixels and
// one OK button (wxID_OK). Kinds are the toolkit's icon bits: wxICON_WARNING (0x100), wxICON_ERROR
// (0x200), wxICON_QUESTION (0x400), wxICON_INFORMATION (0x800); any other value above 0 shows the
// error icon, 0 or below none.

// Shows szText modally and returns when the user closes it; which button closed it is not
// reported. A null title means the localised "APPLICATION_NAME"; a null text shows nothing in the
// box. pParent may be null.
// - In no-user-interaction mode nothing is shown: the message is logged as a visible warning,
//   "MSG:" + the kind's prefix ("WARNING:", "ERROR:", "QUESTION:", "INFO:"; none for other kinds)
//   + the text.
// - Called from any thread but the main one it does nothing at all (not even log).
void tMessageBox(const wchar_t* szText, const wchar_t* szTitle = nullptr, int nKind = 0, wxWindow* pParent = nullptr);

// The dialog behind tMessageBox; the caller shows it modally. A null title or text is taken as
// tMessageBox takes it.
class tcMessageBox : public wxDialog
{
public:
    tcMessageBox(const wchar_t* szText, const wchar_t* szTitle, int nKind, wxWindow* pParent);
    ~tcMessageBox() override;
};
