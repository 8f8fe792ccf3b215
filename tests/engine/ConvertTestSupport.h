#pragma once

#include "Shared/UserPrompts.h"
#include "engine/XLIFFDTD.h"
#include "tests/harness/TestFiles.h"
#include "varnak/include/tAssert.h"

#include <wx/string.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CSegmentDoc;
class CVRSRXDoc;
class tcConvertor;
class tcDictionary;
class tcDocument;
class tcNode;

// Helpers of the convertor tests.

// A segment model as compact text, units in order as "U[...]":
// - T(text) a text run, line feeds written "\n";
// - Sn(tag|style|content) the n-th start code of the model (without tag name and style: Sn(content));
// - E(content) an end code, E(content=Sn) when paired with start code n;
// - NL and CR the line-break codes, G(...) the group around a sub-flow.
// Inside a code's content text stands as it is, a sub-flow as {content} or {style:content}, a line
// break as [NL] or [CR], and a code of its own as Sn(...).
std::string DumpSegments(const CSegmentDoc& doc);

// Sentence-break rules (SRX): a break after ".", "?" or "!" followed by white space, before the
// white space.
extern const char* const kSentenceBreakSRX;

// Records the messages shown while it lives, as "caption: text", with " (error)" for an error.
class CRecordedPrompts : public tcSilentUserPrompts
{
public:
    CRecordedPrompts() { tSetUserPrompts(this); }
    ~CRecordedPrompts() override { tSetUserPrompts(nullptr); }
    CRecordedPrompts(const CRecordedPrompts&) = delete;
    CRecordedPrompts& operator=(const CRecordedPrompts&) = delete;

    int ShowMessage(const wxString& sText, const wxString& sCaption, long nStyle, wxWindow*) override
    {
        m_asShown.push_back(sCaption + ": " + sText + (nStyle & wxICON_ERROR ? " (error)" : ""));
        return wxOK;
    }
    std::vector<wxString> m_asShown;
};

// Records failed assertions while it lives: as "file expression" in m_asSeen, and as
// "file:line expression" in m_asSeenAt.
class CRecordedAsserts : public tcAssertHandler
{
public:
    CRecordedAsserts() { tRegisterAssertHandler(this); }
    ~CRecordedAsserts() override { tUnregisterAssertHandler(this); }
    CRecordedAsserts(const CRecordedAsserts&) = delete;
    CRecordedAsserts& operator=(const CRecordedAsserts&) = delete;

    void OnAssert(const char* szFile, int nLine, const char* szExpression, const wchar_t*) override
    {
        m_asSeen.push_back(std::string(szFile) + " " + szExpression);
        m_asSeenAt.push_back(std::string(szFile) + ":" + std::to_string(nLine) + " " + szExpression);
    }
    std::vector<std::string> m_asSeen;
    std::vector<std::string> m_asSeenAt;
};

// A new project document ("en" to "de") with sentence-break rules and no memory, to convert into.
class CConvertProject
{
public:
    CConvertProject();
    ~CConvertProject();

    // Converts the file at sPath with the convertor; the new file element (null when Convert made
    // none). *pbRead, when given, receives Convert's result.
    tcNode* Convert(tcConvertor& convertor, const wxString& sPath, bool* pbRead = nullptr);
    // The bytes OutputTranslation writes for pFile in sLanguage; nullopt when it fails.
    std::optional<std::string> Output(tcConvertor& convertor, tcNode* pFile, const wxString& sLanguage);

    tcDocument& Doc() { return *m_pDoc; }
    const SXLIFFDTD& DTD() const { return m_dtd; }

private:
    std::unique_ptr<tcDocument> m_pDoc;
    SXLIFFDTD m_dtd;
    tcDictionary* m_pRoot = nullptr;
    std::unique_ptr<CVRSRXDoc> m_pRules;
    int m_nOutputs = 0;
};
