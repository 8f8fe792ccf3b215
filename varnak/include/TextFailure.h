#pragma once

#include <wx/string.h>

#include <stdexcept>

// The one failure type for construction and load failures. It carries a message meant for the
// user; what() gives the same text in UTF-8 so that a plain std::exception handler shows it too.
class TextFailure : public std::runtime_error
{
public:
    explicit TextFailure(const wxString& sText);

    const wxString& GetText() const { return m_sText; }

private:
    wxString m_sText;
};
