#include "varnak/include/TextFailure.h"

TextFailure::TextFailure(const wxString& sText) : std::runtime_error(sText.utf8_string()), m_sText(sText)
{
}
