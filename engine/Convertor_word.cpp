#include "engine/Convertor_word.h"

#include "engine/ConvertorProgress.h"
#include "engine/Convertor_segment.h"
#include "engine/EmbedWord.h"
#include "platform/WordAutomation.h"
#include "varnak/include/kvLog.h"
#include "varnak/include/tAssert.h"
#include "varnak/include/tAtomicFile.h"
#include "varnak/include/tPath.h"
#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"
#include "varnak/include/tXMLText.h"
#include "varnak/include/tcAppContext.h"
#include "varnak/include/tcLocalisationEngine.h"

#include <wx/defs.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stopwatch.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace
{
constexpr long kChunk = 200;
constexpr int kProgressMaxRange = 17;
constexpr int kProgressChunks = 8850;
constexpr int kProgressEnd = 940;
constexpr int kProtectReadOnly = 3;
// The highlight colours in Word's byte order (0xBBGGRR) of "CAE1F9" and "FF0000".
constexpr long kUntranslatedShading = 0xF9E1CA;
constexpr long kSelectedBorder = 0x0000FF;

constexpr wchar_t kszTemplateMissing[] =
    L"Could not locate Lintrado.dot, it is not possible to translate Microsoft Word documents without it. Please "
    L"reinstall the software or contact technial support for further assistance.";

// The live Word convertors and the preview window they share. The panel holder is released, not
// deleted, if the process's statics go while it is held: its window went with the toolkit then.
struct SWordFamily
{
    ~SWordFamily()
    {
        static_cast<void>(pEmbed.release());
        static_cast<void>(pPanel.release());
    }
    int nCount = 0;
    std::unique_ptr<tcWordPreviewPanel> pPanel;
    std::unique_ptr<EmbedWord> pEmbed;
};

SWordFamily& Family()
{
    static SWordFamily family;
    return family;
}

// A timed section of the log: "<NAME>" at its start and "<~NAME:ms,us>" at its end.
class CLogSection
{
public:
    explicit CLogSection(const wchar_t* szName) : m_szName(szName) { kvLogN(L"<%s>", m_szName); }
    ~CLogSection()
    {
        const long long nMicro = m_watch.TimeInMicro().GetValue();
        kvLog(L"<~%s:%d,%d>", m_szName, static_cast<int>(nMicro / 1000), static_cast<int>(nMicro));
    }
    CLogSection(const CLogSection&) = delete;
    CLogSection& operator=(const CLogSection&) = delete;

private:
    const wchar_t* m_szName;
    wxStopWatch m_watch;
};

// Runs a function when it goes out of scope.
class CScopeExit
{
public:
    explicit CScopeExit(std::function<void()> fn) : m_fn(std::move(fn)) {}
    ~CScopeExit() { m_fn(); }
    CScopeExit(const CScopeExit&) = delete;
    CScopeExit& operator=(const CScopeExit&) = delete;

private:
    std::function<void()> m_fn;
};

void AddProgress(tcConvertorProgress* pProgress, int nStep)
{
    if (pProgress)
        pProgress->SetValue(pProgress->GetValue() + nStep);
}

// A new empty file in the temporary folder; empty when none could be made.
wxString NewTempFile(const wxString& sPrefix)
{
    return wxFileName::CreateTempFileName(tPathCombine(wxFileName::GetTempDir(), sPrefix));
}

void RemoveIfThere(const wxString& sPath)
{
    if (!sPath.empty() && wxFileExists(sPath))
        wxRemoveFile(sPath);
}

wxString CharacterCode(wxUniChar c)
{
    return wxString(kszWordCharacter) + wxString::Format("%u]", static_cast<unsigned>(c.GetValue()));
}

// Gives back the characters that CharacterCode kept as codes.
wxString RestoreCharacters(const wxString& sText)
{
    const wxString sCode(kszWordCharacter);
    wxString sOut;
    size_t nFrom = 0;
    for (;;)
    {
        const size_t nAt = sText.find(sCode, nFrom);
        const size_t nEnd = nAt == wxString::npos ? wxString::npos : sText.find(L']', nAt + sCode.length());
        unsigned long nChar = 0;
        if (nEnd == wxString::npos || !sText.substr(nAt + sCode.length(), nEnd - nAt - sCode.length()).ToULong(&nChar))
        {
            sOut += sText.substr(nFrom);
            return sOut;
        }
        sOut += sText.substr(nFrom, nAt - nFrom) + wxUniChar(static_cast<unsigned>(nChar));
        nFrom = nEnd + 1;
    }
}

wxString PositionMarker(long nPosition)
{
    return wxString(kszWordPosition) + wxString::Format("%ld]", nPosition);
}

std::unique_ptr<CSegmentStyleStart> MakeStart(const wxString& sMarker, const wxString& sStyle = wxString())
{
    auto pCode = std::make_unique<CSegmentStyleStart>();
    pCode->SetStyleName(sStyle);
    pCode->AddText(sMarker);
    return pCode;
}

// One change the template reported: the position and the formatting codes.
struct SWordEntry
{
    long nPosition = 0;
    wxString sCodes;
};

// Builds the units from the entries (see Import).
class CWordUnitBuilder
{
public:
    CWordUnitBuilder(CSegmentDoc& segDoc, IWordDocument& doc) : m_segDoc(segDoc), m_doc(doc)
    {
        m_pUnit = m_segDoc.AddUnit();
    }

    void Add(long nPosition, const wxString& sCodes)
    {
        if (sCodes == L"1")
        {
            if (m_nStart != 0 && m_sPrevious == L"0")
                --m_nStart;
            --nPosition;
        }
        if (m_sPrevious == L"1")
            ++m_nStart;
        if (sCodes == L"0")
            m_nStart = nPosition + 1;
        else if (sCodes == L"10")
            m_nStart = nPosition;
        else
            TakeRun(nPosition, sCodes);
        m_sPrevious = sCodes;
    }

    // The text after the last entry, up to the end position.
    void Finish(long nEnd)
    {
        if (m_sPrevious == L"1")
            ++m_nStart;
        else if (m_sPrevious == L"10" && m_nStart == nEnd - 2)
            ++m_nStart;
        if (m_nStart < nEnd)
            TakeRun(nEnd, m_sPrevious);
    }

private:
    // The run from the start position to nPosition, after the codes, each holding the marker of
    // the run's placeholder.
    void TakeRun(long nPosition, const wxString& sCodes)
    {
        const long nMark = m_nLastShift;
        std::optional<wxString> sRun;
        if (m_nStart != nPosition)
        {
            sRun = tcConvertorWORD::GetRangeText(m_doc, m_nStart, nPosition, m_nShift);
            m_nLastShift = m_nShift;
        }
        const wxString sMarker = PositionMarker(m_nStart - nMark);
        if (sCodes == L"1")
        {
            CSegmentUnit* pBreak = m_segDoc.AddUnit();
            AddTUChild(pBreak, MakeStart(sMarker));
            m_pUnit = m_segDoc.AddUnit();
        }
        else
        {
            std::vector<wxString> asParts;
            tStrTok(sCodes, L",", L"\"", asParts);
            bool bCoded = false;
            for (const wxString& sPart : asParts)
            {
                if (sPart.empty())
                    continue;
                bCoded = true;
                AddCode(sPart, sMarker);
            }
            // A run without a code would have no position to go back to.
            if (!bCoded && sRun)
                AddTUChild(m_pUnit, MakeStart(sMarker));
        }
        if (sRun)
            AddRun(*sRun);
        m_nStart = nPosition;
    }

    // The run's text, escaped. Characters XML does not allow (Word's manual line break, for one)
    // become codes that give them back on output.
    void AddRun(const wxString& sText)
    {
        wxString sPart;
        for (const wxUniChar c : sText)
        {
            if (tIsXMLChar(static_cast<uint32_t>(c.GetValue())))
            {
                sPart += c;
                continue;
            }
            if (!sPart.empty())
                AddTUChild(m_pUnit, std::make_unique<CSegmentText>(tEscapeXMLCharacters_PCDATA(sPart)));
            sPart.clear();
            AddTUChild(m_pUnit, MakeStart(CharacterCode(c)));
        }
        // An empty run still stands for its placeholder.
        if (!sPart.empty() || sText.empty())
            AddTUChild(m_pUnit, std::make_unique<CSegmentText>(tEscapeXMLCharacters_PCDATA(sPart)));
    }

    void AddCode(const wxString& sPart, const wxString& sMarker)
    {
        const wxString sStyle = WordFormattingToStyle(sPart);
        if (sPart == L"4" || sPart == L"6" || sPart == L"8")
        {
            auto* pStart = static_cast<CSegmentStyleStart*>(AddTUChild(m_pUnit, MakeStart(sMarker, sStyle)));
            m_apOpen.push_back(pStart);
        }
        else if (sPart == L"5" || sPart == L"7" || sPart == L"9")
        {
            auto pEnd = std::make_unique<CSegmentStyleEnd>();
            pEnd->AddText(sMarker);
            auto* pAdded = static_cast<CSegmentStyleEnd*>(AddTUChild(m_pUnit, std::move(pEnd)));
            for (auto it = m_apOpen.rbegin(); it != m_apOpen.rend(); ++it)
            {
                if ((*it)->GetStyleName() == sStyle)
                {
                    pAdded->SetPartner(*it);
                    m_apOpen.erase(std::next(it).base());
                    break;
                }
            }
        }
        else
            AddTUChild(m_pUnit, MakeStart(sMarker));
    }

    CSegmentDoc& m_segDoc;
    IWordDocument& m_doc;
    CSegmentUnit* m_pUnit = nullptr;
    wxString m_sPrevious;
    long m_nStart = 0;
    long m_nShift = 0;
    long m_nLastShift = 0;
    std::vector<CSegmentStyleStart*> m_apOpen;
};

// Reads one GetDiffs result: the number before the first "|" and the codes after it. False for a
// result without "|" or without a number before it.
bool ParseEntry(const wxString& sResult, SWordEntry& entry)
{
    const int nBar = sResult.Find(L'|');
    if (nBar == wxNOT_FOUND)
        return false;
    long nPosition = 0;
    if (!sResult.Left(nBar).ToLong(&nPosition) || nPosition < 0)
        return false;
    entry.nPosition = nPosition;
    entry.sCodes = sResult.Mid(nBar + 1);
    return true;
}

// The change entries, chunk by chunk.
std::vector<SWordEntry> FetchEntries(IWordApplication& app, long nEnd, tcConvertorProgress* pProgress)
{
    std::vector<SWordEntry> aEntries;
    const CLogSection compare(L"COMPARECELLS");
    const CLogSection compareCom(L"COMPARECELLSCOM");
    // Chunks start at 0, 200, ... below the end position, and the last one at the end position.
    const long nChunks = (nEnd + kChunk - 1) / kChunk + 1;
    long nChunk = 0;
    for (long nOffset = 0;; nOffset += kChunk, ++nChunk)
    {
        // Whole steps that add up to the chunks' share.
        AddProgress(pProgress,
                    static_cast<int>(kProgressChunks * (nChunk + 1) / nChunks - kProgressChunks * nChunk / nChunks));
        const long nStart = std::min(nEnd, nOffset);
        {
            const CLogSection section(L"COMPRANGES");
            app.Run(L"CompRanges", nStart, std::min(nEnd, nStart + kChunk) - 1);
        }
        {
            const CLogSection section(L"GETRANGES");
            for (;;)
            {
                const std::optional<wxString> sResult = app.RunString(L"GetDiffs");
                if (!sResult)
                {
                    kvLogError(L"Word: GetDiffs failed");
                    break;
                }
                if (sResult->empty())
                    break;
                SWordEntry entry;
                if (ParseEntry(*sResult, entry))
                    aEntries.push_back(entry);
                else
                    kvLogError(L"Word: GetDiffs gave \"%s\", skipped", *sResult);
            }
        }
        if (nStart >= nEnd)
            break;
    }
    return aEntries;
}

// A piece of generated text: the placeholder position, the text and its highlights (start, end;
// end -1 for the end of the text).
struct SPiece
{
    long nPosition = 0;
    wxString sText;
    std::vector<std::pair<long, long>> aUntranslated;
    std::vector<std::pair<long, long>> aSelected;
};

// One kind of highlight while the pieces are read in order.
struct SHighlight
{
    const wchar_t* szBegin;
    const wchar_t* szEnd;
    bool bOpen = false;
    long nStart = 0;
    std::vector<std::pair<long, long>> aIntervals;
};

// Takes the preview markers out of sRaw; the intervals they bound, relative to the text without
// them, go to the highlights, which carry an open highlight into the next piece.
wxString TakeHighlights(const wxString& sRaw, SHighlight& untranslated, SHighlight& selected)
{
    wxString sText;
    for (SHighlight* pHighlight : {&untranslated, &selected})
    {
        pHighlight->aIntervals.clear();
        pHighlight->nStart = 0;
    }
    size_t i = 0;
    while (i < sRaw.length())
    {
        bool bMarker = false;
        for (SHighlight* pHighlight : {&untranslated, &selected})
        {
            const wxString sBegin(pHighlight->szBegin);
            const wxString sEnd(pHighlight->szEnd);
            if (sRaw.compare(i, sBegin.length(), sBegin) == 0)
            {
                if (!pHighlight->bOpen)
                {
                    pHighlight->bOpen = true;
                    pHighlight->nStart = static_cast<long>(sText.length());
                }
                i += sBegin.length();
                bMarker = true;
                break;
            }
            if (sRaw.compare(i, sEnd.length(), sEnd) == 0)
            {
                if (pHighlight->bOpen)
                {
                    pHighlight->aIntervals.emplace_back(pHighlight->nStart, static_cast<long>(sText.length()));
                    pHighlight->bOpen = false;
                }
                i += sEnd.length();
                bMarker = true;
                break;
            }
        }
        if (!bMarker)
            sText += sRaw[i++];
    }
    // Left open: to the end of this text (nothing when it began at the very end), and on into the
    // next piece.
    for (SHighlight* pHighlight : {&untranslated, &selected})
        if (pHighlight->bOpen && pHighlight->nStart < static_cast<long>(sText.length()))
            pHighlight->aIntervals.emplace_back(pHighlight->nStart, -1);
    return sText;
}

std::vector<SPiece> SplitPieces(const wxString& sText)
{
    std::vector<SPiece> aPieces;
    const wxString sMarker(kszWordPosition);
    SHighlight untranslated{kszUntranslatedBegin, kszUntranslatedEnd, false, 0, {}};
    SHighlight selected{kszSelectedBegin, kszSelectedEnd, false, 0, {}};
    wxString sRest = L"0]" + sText;
    for (;;)
    {
        const size_t nNext = sRest.find(sMarker);
        const wxString sPiece = sRest.substr(0, nNext);
        const size_t nBracket = sPiece.find(L']');
        long nPosition = 0;
        if (nBracket != wxString::npos && sPiece.substr(0, nBracket).ToLong(&nPosition))
        {
            SPiece piece;
            piece.nPosition = nPosition;
            // Unescaped first, so that the highlights count the characters Word gets.
            piece.sText = TakeHighlights(RestoreCharacters(tUnescapeXMLCharacters(sPiece.substr(nBracket + 1))),
                                         untranslated, selected);
            piece.aUntranslated = untranslated.aIntervals;
            piece.aSelected = selected.aIntervals;
            aPieces.push_back(std::move(piece));
        }
        else
            kvLogError(L"Word: a position marker without a position, its text skipped");
        if (nNext == wxString::npos)
            break;
        sRest = sRest.substr(nNext + sMarker.length());
    }
    return aPieces;
}

// The shared panel under pParent, made (with the embedded Word on it) when there is none; null
// without a panel maker.
wxWindow* ShowPreviewWindow(wxWindow* pParent)
{
    SWordFamily& family = Family();
    // A panel that went with its page took the embedded Word with it.
    if (family.pPanel && !family.pPanel->GetWindow())
        family.pEmbed.reset();
    if (!family.pPanel)
    {
        const tcWordPreviewPanelMaker& fnMaker = tGetWordPreviewPanelMaker();
        if (!fnMaker)
            return nullptr;
        family.pPanel = fnMaker([]() { Family().pEmbed.reset(); });
        if (!family.pPanel)
            return nullptr;
    }
    wxWindow* pPanel = family.pPanel->Show(pParent);
    if (pPanel && !family.pEmbed)
    {
        if (std::unique_ptr<IWordPreviewHost> pHost = tGetWordProvider()->CreatePreviewHost(pPanel))
            family.pEmbed = std::make_unique<EmbedWord>(std::move(pHost));
    }
    return pPanel;
}

bool CanReachWord()
{
    if (IsWordAvailable())
        return true;
    kvLogError(L"Word automation is not available");
    return false;
}
} // namespace

wxString WordFormattingToStyle(const wxString& sCode)
{
    if (sCode == L"4" || sCode == L"5")
        return L"Bold";
    if (sCode == L"6" || sCode == L"7")
        return L"Italic";
    if (sCode == L"8" || sCode == L"9")
        return L"Underline";
    return wxString();
}

tcConvertorWORD::tcConvertorWORD(tcDocument* pDoc, const wxString& sSourceLanguage)
    : tcConvertor(L"doc", pDoc, sSourceLanguage)
{
    ++Family().nCount;
}

tcConvertorWORD::~tcConvertorWORD()
{
    SWordFamily& family = Family();
    if (family.pEmbed && !m_sPreviewPath.empty() && family.pEmbed->GetShownPath() == m_sPreviewPath)
        family.pEmbed->CloseDocument();
    RemoveIfThere(m_sPreviewPath);
    if (family.nCount > 0)
        --family.nCount;
    if (family.nCount == 0)
    {
        // The embedded Word lives on the panel: it goes first.
        family.pEmbed.reset();
        family.pPanel.reset();
    }
}

int tcConvertorWORD::GetFamilyCount()
{
    return Family().nCount;
}

wxWindow* tcConvertorWORD::GetPreviewPanel()
{
    return Family().pPanel ? Family().pPanel->GetWindow() : nullptr;
}

wxString tcConvertorWORD::GetRangeText(IWordDocument& doc, long nStart, long nEnd, long& nShift)
{
    std::unique_ptr<IWordRange> pRange = doc.Range(nStart - nShift, nEnd - nShift);
    const wxString sText = pRange->GetText();
    if (sText.empty())
        tAssert("Convertor_word", __LINE__, "0");
    if (!pRange->SetText(L" "))
        tAssert("Convertor_word", __LINE__, "0");
    nShift += static_cast<long>(sText.length()) - 1;
    return sText;
}

void tcConvertorWORD::WriteRanges(IWordDocument& doc, const wxString& sText)
{
    std::vector<SPiece> aPieces = SplitPieces(sText);
    std::stable_sort(aPieces.begin(), aPieces.end(),
                     [](const SPiece& a, const SPiece& b) { return a.nPosition < b.nPosition; });
    long nGrowth = 0;
    for (const SPiece& piece : aPieces)
    {
        if (piece.sText.empty() || piece.sText == L" ")
            continue;
        const long nStart = piece.nPosition + nGrowth;
        std::unique_ptr<IWordRange> pRange = doc.Range(nStart, nStart + 1);
        pRange->SetText(piece.sText);
        const long nLength = pRange->GetEnd() - pRange->GetStart();
        // Word may store the text shorter or longer (line ends); a highlight never reaches past it.
        const auto rangeOf = [&](const std::pair<long, long>& interval)
        {
            const long nEnd = interval.second < 0 ? nLength : std::min(interval.second, nLength);
            return doc.Range(nStart + std::min(interval.first, nLength), nStart + nEnd);
        };
        for (const auto& interval : piece.aUntranslated)
            rangeOf(interval)->SetShading(kUntranslatedShading);
        for (const auto& interval : piece.aSelected)
            rangeOf(interval)->SetDottedBorder(kSelectedBorder);
        nGrowth += nLength - 1;
    }
}

bool tcConvertorWORD::Import(CSegmentDoc* pSegDoc, tcConvertorProgress* pProgress)
{
    if (!pSegDoc)
        return false;
    IWordProvider* pProvider = tGetWordProvider();
    if (!CanReachWord())
    {
        SetFailure(g_LocEngine.FindTranslation("WORD_NOT_AVAILABLE"));
        return false;
    }

    // Word takes the template from the user's template folder.
    const wxString sTemplateDir = pProvider->GetUserTemplateDir();
    const wxString sTemplate = tPathCombine(sTemplateDir, L"Lintrado.dot");
    {
        // A template that cannot be copied shows when Word cannot load it.
        const wxLogNull quiet;
        wxFileName::Mkdir(sTemplateDir, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        wxCopyFile(tPathCombine(g_sDataPath, L"Lintrado.dot"), sTemplate, true);
    }

    std::unique_ptr<IWordApplication> pApp = pProvider->Start();
    if (!pApp)
    {
        kvLogError(L"Word could not be started");
        SetFailure(g_LocEngine.FindTranslation("WORD_NOT_AVAILABLE"));
        return false;
    }
    IWordDocument* pDoc = nullptr;
    wxString sWorkingCopy;
    wxString sSkeletonFile;
    // Whatever way the import ends: the working copy closed unsaved, Word quit, our files deleted.
    const CScopeExit cleanup(
        [&]()
        {
            if (pDoc)
                pDoc->Close(false);
            pApp->Quit();
            RemoveIfThere(sWorkingCopy);
            RemoveIfThere(sSkeletonFile);
        });
    pApp->SetVisible(false);

    sWorkingCopy = NewTempFile(L"lwc");
    bool bCopied = false;
    if (!sWorkingCopy.empty())
    {
        const wxLogNull quiet; // reported below
        bCopied = wxCopyFile(m_sSourcePath, sWorkingCopy, true);
    }
    if (!bCopied || !(pDoc = pApp->Open(sWorkingCopy)))
    {
        kvLogError(L"Word could not open a copy of %s", m_sSourcePath);
        SetFailure(g_LocEngine.FindTranslation("FILE_COULD_NOT_OPEN"));
        return false;
    }
    if (!pApp->AddAddin(sTemplate))
    {
        kvLogError(L"Word could not load the template %s", sTemplate);
        SetFailure(kszTemplateMissing);
        return false;
    }

    long nEnd = 0;
    {
        const CLogSection section(L"GETMAXRANGE");
        nEnd = std::max(0L, pApp->RunLong(L"GetMaxRange"));
    }
    AddProgress(pProgress, kProgressMaxRange);
    {
        const CLogSection section(L"CALCFIELDRANGES");
        pApp->Run(L"CalcFieldRanges");
    }
    const std::vector<SWordEntry> aEntries = FetchEntries(*pApp, nEnd, pProgress);

    CWordUnitBuilder builder(*pSegDoc, *pDoc);
    for (const SWordEntry& entry : aEntries)
        builder.Add(entry.nPosition, entry.sCodes);
    builder.Finish(nEnd);

    bool bSaved = false;
    {
        const CLogSection section(L"CLEANUP");
        pApp->Run(L"ModuleCleanup");
        sSkeletonFile = NewTempFile(L"Lintrado_wordconvertor_");
        bSaved = !sSkeletonFile.empty() && pDoc->SaveAs(sSkeletonFile);
        pDoc->Close(false);
        pDoc = nullptr;
    }
    const std::optional<std::string> sBytes = bSaved ? tReadFileBytes(sSkeletonFile) : std::nullopt;
    if (!sBytes || sBytes->empty() || !SetInternalFileXML(tBinToHex(sBytes->data(), sBytes->size())))
    {
        kvLogError(L"Word: the skeleton of %s could not be kept", m_sSourcePath);
        SetFailure(g_LocEngine.FindTranslation("FILE_COULD_NOT_OPEN"));
        return false;
    }
    AddProgress(pProgress, kProgressEnd);
    return true;
}

bool tcConvertorWORD::Export(const wxString& sSkeleton, const wxString& sText, const wxString& sOutputPath, tcNode*)
{
    if (sSkeleton.empty())
    {
        kvLogError(L"Word: no skeleton, %s not written", sOutputPath);
        return false;
    }
    std::vector<uint8_t> aBytes;
    if (!tHexToBin(sSkeleton, aBytes))
    {
        kvLogError(L"Word: the skeleton is not hexadecimal, %s not written", sOutputPath);
        return false;
    }
    if (!CanReachWord())
        return false;
    std::unique_ptr<IWordApplication> pApp = tGetWordProvider()->Start();
    if (!pApp)
    {
        kvLogError(L"Word could not be started, %s not written", sOutputPath);
        return false;
    }
    const CScopeExit quit([&]() { pApp->Quit(); });
    // Word fills a working copy; only a finished document takes the place of the file at the output
    // path, so a failure leaves that file as it was.
    const wxString sWorkPath = NewTempFile(L"Lintrado_wordexport_");
    const CScopeExit removeWork([&]() { RemoveIfThere(sWorkPath); });
    if (sWorkPath.empty() || !WriteHexToBinaryFile(sWorkPath, sSkeleton))
    {
        kvLogError(L"Word: the working copy could not be written, %s not written", sOutputPath);
        return false;
    }
    pApp->SetVisible(false);
    IWordDocument* pDoc = pApp->Open(sWorkPath);
    if (!pDoc)
    {
        kvLogError(L"Word could not open the skeleton, %s not written", sOutputPath);
        return false;
    }
    WriteRanges(*pDoc, sText);
    const bool bSaved = pDoc->Save();
    pDoc->Close(false);
    const std::optional<std::string> sBytes = bSaved ? tReadFileBytes(sWorkPath) : std::nullopt;
    if (!sBytes)
    {
        kvLogError(L"Word could not save %s", sOutputPath);
        return false;
    }
    wxString sError;
    if (!tWriteFileAtomically(sOutputPath, *sBytes, &sError))
    {
        kvLogError(L"Could not write %s: %s", sOutputPath, sError);
        return false;
    }
    return true;
}

wxWindow* tcConvertorWORD::Preview(const wxString& sSkeleton, const wxString& sText, wxWindow* pParent, tcNode*)
{
    SWordFamily& family = Family();
    if (!IsWordAvailable() || !tGetWordPreviewPanelMaker())
        return nullptr;
    if (sSkeleton.empty())
    {
        kvLogError(L"Word: no skeleton to preview");
        return nullptr;
    }
    m_sLastPreviewText = sText;
    if (m_sPreviewPath.empty())
    {
        // Written once: later previews write their text into the document on show.
        const wxString sPath = NewTempFile(g_sAppName + L"_wordconvertor_preview_");
        if (sPath.empty() || !WriteHexToBinaryFile(sPath, sSkeleton))
        {
            RemoveIfThere(sPath);
            kvLogError(L"Word: the preview file could not be written");
            return nullptr;
        }
        m_sPreviewPath = sPath;
    }
    else if (family.pEmbed && family.pEmbed->GetShownPath() == m_sPreviewPath)
        family.pEmbed->CloseDocument();

    wxWindow* pPanel = ShowPreviewWindow(pParent);
    if (!pPanel || !family.pEmbed)
        return pPanel;
    family.pEmbed->OpenDocument(m_sPreviewPath, true);
    if (IWordDocument* pDoc = family.pEmbed->GetDocument())
    {
        pDoc->UnProtect();
        WriteRanges(*pDoc, sText);
        pDoc->Protect(kProtectReadOnly);
    }
    return pPanel;
}

wxWindow* tcConvertorWORD::ShowLastPreview(wxWindow* pParent)
{
    if (m_sPreviewPath.empty() || !IsWordAvailable())
        return nullptr;
    wxWindow* pPanel = ShowPreviewWindow(pParent);
    SWordFamily& family = Family();
    if (!pPanel || !family.pEmbed || family.pEmbed->GetShownPath() == m_sPreviewPath)
        return pPanel;
    // The preview file holds the skeleton only: the translation is written in again.
    family.pEmbed->OpenDocument(m_sPreviewPath, false);
    if (IWordDocument* pDoc = family.pEmbed->GetDocument())
    {
        pDoc->UnProtect();
        WriteRanges(*pDoc, m_sLastPreviewText);
        pDoc->Protect(kProtectReadOnly);
    }
    return pPanel;
}

std::unique_ptr<tcConvertor> AllocateConvertor_WORD(tcDocument* pDoc, const wxString& sSourceLanguage)
{
    return std::make_unique<tcConvertorWORD>(pDoc, sSourceLanguage);
}
