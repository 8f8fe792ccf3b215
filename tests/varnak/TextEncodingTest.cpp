// Declared encodings: where documents name them, how labels read, how bytes decode, and how a
// document written as UTF-8 is made to say so.
#include "varnak/include/tTextEncoding.h"

#include "varnak/include/kvLog.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace
{
using namespace std::string_literals;

std::vector<std::string> Labels(const std::string& sText, teDeclarations kind, size_t nLimit = std::string::npos)
{
    std::vector<std::string> asLabels;
    for (const tsEncodingLabel& label : tFindEncodingLabels(sText, kind, nLimit))
        asLabels.push_back(sText.substr(label.nPos, label.nLength));
    return asLabels;
}

using Strings = std::vector<std::string>;
} // namespace

TEST(TextEncoding, DeclarationsAreFoundWhereParsersLookForThem)
{
    struct Case
    {
        const char* szName;
        std::string sText;
        Strings asXML;  // found as an XML document's
        Strings asHTML; // found as an HTML document's
    };
    const Case cases[] = {
        {"xml declaration", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>", {"ISO-8859-1"}, {"ISO-8859-1"}},
        {"single quotes and spaces", "<?xml version='1.0' encoding = ' latin1 ' ?>", {"latin1"}, {"latin1"}},
        {"declaration not at the start", " <?xml version=\"1.0\" encoding=\"latin1\"?>", {}, {}},
        {"no encoding", "<?xml version=\"1.0\"?><a/>", {}, {}},
        {"meta charset", "<html><head><meta charset=\"windows-1252\">", {}, {"windows-1252"}},
        {"capitals, no quotes", "<HEAD><META CHARSET=latin1></HEAD>", {}, {"latin1"}},
        {"http-equiv",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">",
         {},
         {"iso-8859-1"}},
        {"http-equiv after content, quoted parameter",
         "<meta content=\"text/html;charset='koi8-r'\" http-equiv=content-type />",
         {},
         {"koi8-r"}},
        {"content without http-equiv", "<meta name=\"description\" content=\"charset=latin1\">", {}, {}},
        {"commented out", "<!-- <meta charset=\"koi8-r\"> --><meta charset=\"utf-8\">", {}, {"utf-8"}},
        {"inside another tag's quoted value", "<img alt=\"a > <meta charset=koi8-r>\"><p>", {}, {}},
        {"another element", "<metadata charset=\"latin1\">", {}, {}},
        {"both",
         "<?xml version=\"1.0\" encoding=\"latin1\"?><meta charset=\"koi8-r\"/>",
         {"latin1"},
         {"latin1", "koi8-r"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        EXPECT_EQ(Labels(c.sText, teDeclarations::XML), c.asXML);
        EXPECT_EQ(Labels(c.sText, teDeclarations::HTML), c.asHTML);
        EXPECT_EQ(Labels(c.sText, teDeclarations::None), Strings());
    }
    // Only meta elements that begin inside the window count.
    const std::string sLate = std::string(5000, ' ') + "<meta charset=\"latin1\">";
    EXPECT_EQ(Labels(sLate, teDeclarations::HTML, 4096), Strings());
    EXPECT_EQ(Labels(sLate, teDeclarations::HTML), Strings{"latin1"});
    // Decoded text is searched the same way.
    const std::wstring sWide = L"<meta charset=\"latin1\"><p>é</p>";
    const auto aWide = tFindEncodingLabels(std::wstring_view(sWide), teDeclarations::HTML);
    ASSERT_EQ(aWide.size(), 1u);
    EXPECT_EQ(sWide.substr(aWide[0].nPos, aWide[0].nLength), L"latin1");
}

TEST(TextEncoding, LabelsReadAsBrowsersAndXMLParsersReadThem)
{
    struct Case
    {
        const char* szLabel;
        std::optional<std::string> sHTML;
        std::optional<std::string> sXML;
    };
    const Case cases[] = {
        {"iso-8859-1", "windows-1252", "iso-8859-1"},
        {"Latin1", "windows-1252", "latin1"},
        {"US-ASCII", "windows-1252", "us-ascii"},
        {"windows-1252", "windows-1252", "windows-1252"},
        {"iso-8859-9", "windows-1254", "iso-8859-9"},
        {"GB2312", "gb18030", "gb2312"},
        {"utf-16", "utf-8", "utf-16"},
        {"koi8-r", "koi8-r", "koi8-r"},
        {"x-klingon", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        // ICU reads options after a comma; a declared label never carries them.
        {"utf-8,swaplfnl", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szLabel);
        EXPECT_EQ(tResolveEncodingLabel(c.szLabel, teDeclarations::HTML), c.sHTML);
        EXPECT_EQ(tResolveEncodingLabel(c.szLabel, teDeclarations::XML), c.sXML);
    }
}

TEST(TextEncoding, BytesDecodeByMarkThenDeclarationThenDetection)
{
    struct Case
    {
        const char* szName;
        std::string sBytes;
        teDeclarations kind;
        std::wstring sText;
        const char* szEncoding;
        bool bDeclared;
        const char* szLog; // part of the one line logged, or null
    };
    const std::string sMeta1252 = "<meta charset=\"windows-1252\">";
    const Case cases[] = {
        {"windows-1252 meta", sMeta1252 + "5 \x80 \x93q\x94 caf\xE9", teDeclarations::HTML,
         L"<meta charset=\"windows-1252\">5 € “q” café", "windows-1252", true, nullptr},
        {"latin-1 label in HTML is windows-1252",
         "<meta http-equiv=\"content-type\" content=\"text/html; charset=ISO-8859-1\">\x93x\x94", teDeclarations::HTML,
         L"<meta http-equiv=\"content-type\" content=\"text/html; charset=ISO-8859-1\">“x”", "windows-1252", true,
         nullptr},
        {"latin-1 in XML is Latin-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\x93\xE9</a>",
         teDeclarations::XML, L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\u0093é</a>", "iso-8859-1", true,
         nullptr},
        {"cyrillic", "<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>\xCF\xF0\xE8</a>", teDeclarations::XML,
         L"<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>При</a>", "windows-1251", true, nullptr},
        {"plain text ignores declarations", sMeta1252 + "\x80", teDeclarations::None,
         L"<meta charset=\"windows-1252\">\u0080", "ISO-8859-1", false, nullptr},
        {"meta is no XML declaration", sMeta1252 + "\x80", teDeclarations::XML,
         L"<meta charset=\"windows-1252\">\u0080", "ISO-8859-1", false, nullptr},
        {"undeclared HTML falls back to windows-1252", "<p>\x80</p>", teDeclarations::HTML, L"<p>€</p>", "windows-1252",
         false, nullptr},
        {"undeclared UTF-8", "<p>\xE2\x82\xAC</p>", teDeclarations::HTML, L"<p>€</p>", "UTF-8", false, nullptr},
        {"a mark wins over the declaration", "\xEF\xBB\xBF<meta charset=\"iso-8859-1\">\xC3\xA9", teDeclarations::HTML,
         L"<meta charset=\"iso-8859-1\">é", "UTF-8", false, nullptr},
        {"utf-16 with a mark", "\xFF\xFE<\0a\0>\0\xE9\0"s, teDeclarations::XML, L"<a>é", "UTF-16LE", false, nullptr},
        {"unknown label", "<meta charset=\"x-klingon\">\xC3\xA9", teDeclarations::HTML,
         L"<meta charset=\"x-klingon\">é", "UTF-8", false, "Unknown encoding \"x-klingon\""},
        {"utf-16 declared in single bytes", "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>\xE9</a>",
         teDeclarations::XML, L"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>é</a>", "ISO-8859-1", false,
         "declared in single bytes"},
        {"utf-8 declared over Latin-1 bytes", "<meta charset=\"utf-8\">caf\xE9", teDeclarations::HTML,
         L"<meta charset=\"utf-8\">café", "windows-1252", false, "the bytes are not UTF-8"},
        {"bytes the encoding lacks", "<?xml version=\"1.0\" encoding=\"shift_jis\"?>\x82\xA0\x81\x20",
         teDeclarations::XML, L"<?xml version=\"1.0\" encoding=\"shift_jis\"?>あ\uFFFD ", "shift_jis", true, nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        tcLogCapture log;
        tsDecodeResult result;
        EXPECT_EQ(tDecodeDeclaredText(c.sBytes, c.kind, &result), c.sText);
        EXPECT_EQ(result.sEncoding, c.szEncoding);
        EXPECT_EQ(result.bDeclared, c.bDeclared);
        EXPECT_EQ(log.Lines().size(), c.szLog ? 1u : 0u);
        if (c.szLog)
        {
            EXPECT_TRUE(log.Contains(c.szLog)) << (log.Lines().empty() ? "" : log.Lines()[0].utf8_string());
        }
    }
}

TEST(TextEncoding, WrittenDocumentsDeclareUTF8)
{
    struct Case
    {
        const char* szName;
        teDeclarations kind;
        const wchar_t* szIn;
        const wchar_t* szOut;
    };
    const Case cases[] = {
        {"xml declaration", teDeclarations::XML, L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>é</a>",
         L"<?xml version=\"1.0\" encoding=\"utf-8\"?><a>é</a>"},
        {"single quotes kept", teDeclarations::XML, L"<?xml version='1.0' encoding='latin1'?><a/>",
         L"<?xml version='1.0' encoding='utf-8'?><a/>"},
        {"already UTF-8 in capitals", teDeclarations::XML, L"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>",
         L"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>"},
        {"nothing declared, nothing added", teDeclarations::HTML, L"<html><p>é</p></html>", L"<html><p>é</p></html>"},
        {"meta elements anywhere, comments left alone", teDeclarations::HTML,
         L"<meta charset=windows-1252><!-- <meta charset=\"latin1\"> --><meta http-equiv=\"Content-Type\" "
         L"content=\"text/html; charset=iso-8859-1\"><p>x</p>",
         L"<meta charset=utf-8><!-- <meta charset=\"latin1\"> --><meta http-equiv=\"Content-Type\" "
         L"content=\"text/html; charset=utf-8\"><p>x</p>"},
        {"XML leaves meta elements alone", teDeclarations::XML, L"<meta charset=\"latin1\"/>",
         L"<meta charset=\"latin1\"/>"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        EXPECT_EQ(tDeclareUTF8(c.szIn, c.kind), c.szOut);
    }
}
