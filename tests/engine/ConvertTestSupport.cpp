#include "tests/engine/ConvertTestSupport.h"

#include "Shared/VRSRXDoc.h"
#include "engine/Convertor.h"
#include "engine/Convertor_segment.h"
#include "import/SRXImporter.h"
#include "varnak/include/tcDictionary.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <map>

namespace
{
using StartNumbers = std::map<const CSegmentTUChild*, int>;

std::string Text(const wxString& s)
{
    std::string sOut;
    for (char c : s.utf8_string())
        sOut += c == '\n' ? std::string("\\n") : std::string(1, c);
    return sOut;
}

// "NL" or "CR" for a line-break code, else empty.
std::string BreakName(const CSegmentTUChild& node)
{
    if (node.Kind() != teSegmentKind::Start || !node.GetTagName().empty() || !node.GetStyleName().empty() ||
        node.GetChildren().size() != 1 || node.GetChildren()[0]->Kind() != teSegmentKind::Text)
        return std::string();
    const wxString& sText = static_cast<const CSegmentText&>(*node.GetChildren()[0]).GetText();
    return sText == L"<newline>" ? "NL" : sText == L"<carriagereturn>" ? "CR" : std::string();
}

std::string Code(const CSegmentTUChild& node, StartNumbers& numbers);

std::string Content(const CSegmentTUChild& node, StartNumbers& numbers)
{
    std::string s;
    for (const auto& pChild : node.GetChildren())
    {
        const std::string sBreak = BreakName(*pChild);
        if (!sBreak.empty())
            s += "[" + sBreak + "]";
        else if (pChild->Kind() == teSegmentKind::Text)
            s += Text(static_cast<const CSegmentText&>(*pChild).GetText());
        else if (pChild->Kind() == teSegmentKind::Sub)
        {
            const std::string sStyle = pChild->GetStyleName().utf8_string();
            s += "{" + (sStyle.empty() ? std::string() : sStyle + ":") + Content(*pChild, numbers) + "}";
        }
        else
            s += Code(*pChild, numbers);
    }
    return s;
}

std::string Code(const CSegmentTUChild& node, StartNumbers& numbers)
{
    const std::string sBreak = BreakName(node);
    if (!sBreak.empty())
        return sBreak;
    switch (node.Kind())
    {
    case teSegmentKind::Text:
        return "T(" + Text(static_cast<const CSegmentText&>(node).GetText()) + ")";
    case teSegmentKind::Start:
    {
        const int nNumber = static_cast<int>(numbers.size()) + 1;
        numbers[&node] = nNumber;
        std::string sHead;
        if (!node.GetTagName().empty() || !node.GetStyleName().empty())
            sHead = Text(node.GetTagName()) + "|" + node.GetStyleName().utf8_string() + "|";
        return "S" + std::to_string(nNumber) + "(" + sHead + Content(node, numbers) + ")";
    }
    case teSegmentKind::End:
    {
        std::string s = "E(" + Content(node, numbers);
        const CSegmentStyle* pPartner = static_cast<const CSegmentStyle&>(node).GetPartner();
        if (pPartner && numbers.count(pPartner))
            s += "=S" + std::to_string(numbers[pPartner]);
        return s + ")";
    }
    case teSegmentKind::Group:
        return "G(" + Content(node, numbers) + ")";
    case teSegmentKind::Sub:
        return "{" + Content(node, numbers) + "}";
    case teSegmentKind::Other:
        break;
    }
    return "?";
}

} // namespace

std::string DumpSegments(const CSegmentDoc& doc)
{
    StartNumbers numbers;
    std::string s;
    for (int i = 0; i < doc.GetNumUnits(); ++i)
    {
        s += "U[";
        for (const auto& pChild : *doc.GetUnit(i))
            s += Code(*pChild, numbers);
        s += "]";
    }
    return s;
}

const char* const kSentenceBreakSRX = R"(<?xml version="1.0" encoding="UTF-8"?>
<srx xmlns="http://www.lisa.org/srx20" version="2.0"><header segmentsubflows="yes" cascade="no"/><body>
<languagerules><languagerule languagerulename="Default">
<rule break="yes"><beforebreak>[\.\?!]+</beforebreak><afterbreak>\s</afterbreak></rule>
</languagerule></languagerules>
<maprules><maprule maprulename="Default"><languagemap languagepattern=".*" languagerulename="Default"/></maprule></maprules>
</body></srx>
)";

CConvertProject::CConvertProject() : m_pDoc(std::make_unique<tcDocument>())
{
    Init_SRXImporter();
    m_pRoot = PrepareNewProjectDocument(m_pDoc.get());
    InitXLIFFDTD(m_pDoc.get(), m_dtd, false);
    m_pRules = std::make_unique<CVRSRXDoc>(WriteHomeFile("rules.srx", kSentenceBreakSRX));
    m_pRules->SetLanguage(L"en");
}

CConvertProject::~CConvertProject() = default;

tcNode* CConvertProject::Convert(tcConvertor& convertor, const wxString& sPath, bool* pbRead)
{
    const bool bRead = convertor.Convert(&m_dtd, sPath, m_pRoot, m_pRules.get(), nullptr, L"en", L"de", -1, nullptr);
    if (pbRead)
        *pbRead = bRead;
    tcNode* pBody = convertor.GetBodyNode();
    return pBody ? pBody->GetParent() : nullptr;
}

std::optional<std::string> CConvertProject::Output(tcConvertor& convertor, tcNode* pFile, const wxString& sLanguage)
{
    const wxString sPath = WriteHomeFile("out/" + std::to_string(++m_nOutputs), std::string());
    if (!convertor.OutputTranslation(&m_dtd, sPath, sLanguage, pFile))
        return std::nullopt;
    return ReadBytes(sPath);
}
