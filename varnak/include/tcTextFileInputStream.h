#pragma once

#include "varnak/include/tTextEncoding.h"

#include <wx/stream.h>
#include <wx/string.h>

#include <cstddef>
#include <string>
#include <string_view>

// Text read from bytes: where the encoding is not declared (tTextEncoding.h), decoded as the
// toolkit's automatic conversion (wxConvAuto with its default fallback) does, so every reader of
// source documents agrees on the characters of a file. No state outside the objects; one object
// serves one thread.

// The encoding tDecodeTextAuto found.
enum class teAutoEncoding
{
    UTF8,
    UTF16LE,
    UTF16BE,
    UTF32LE,
    UTF32BE,
    Latin1 // no byte order mark and not mostly UTF-8
};

// Decodes the bytes: a byte order mark selects UTF-8, UTF-16 LE or BE, or UTF-32 LE or BE (the mark
// is not part of the text); without one, bytes that are mostly UTF-8 (valid throughout, or with
// more well-formed multi-byte sequences than bytes that fit none) are read as UTF-8, each stray
// byte becoming U+FFFD, and any others as Latin-1 (ISO-8859-1), each byte being its own code
// point: one damaged byte does not turn a UTF-8 text into Latin-1, while a Latin-1 text, which
// rarely holds a well-formed sequence, stays Latin-1. An odd trailing byte of UTF-16, a short one
// of UTF-32, a UTF-32 value that is no Unicode scalar and a lone UTF-16 surrogate half each become
// U+FFFD. Line ends are left as they are. pEncoding and pbBOM, when given, receive what was found;
// pnFirstStray the offset of the first stray byte of UTF-8 read without a mark (npos when none).
std::wstring tDecodeTextAuto(std::string_view sBytes, teAutoEncoding* pEncoding = nullptr, bool* pbBOM = nullptr,
                             size_t* pnFirstStray = nullptr);

// Reads a stream's text one character at a time. The whole stream is read and decoded by the
// constructor: a byte order mark decides, else the encoding the document declares of the kinds
// named (tDecodeDeclaredText), else detection as tDecodeTextAuto does. The two encoding arguments
// exist for callers that name an encoding; only -1 (detect) is supported here and any other value
// is treated as -1.
class tcTextFileInputStream
{
public:
    tcTextFileInputStream(wxInputStream& stream, int nEncoding = -1, int nFallbackEncoding = -1,
                          teDeclarations declarations = teDeclarations::XML);

    // The next character, or 0 with LastRead() 0 when none is left.
    wchar_t GetCharacter();
    // The number of characters the last GetCharacter call delivered: 1, or 0 at the end.
    size_t LastRead() const { return m_nLastRead; }
    // True once every character has been delivered (already right after the last one).
    bool Eof() const { return m_nPos >= m_sText.size(); }

    // False when the stream reported a read error; the characters read before it are still given.
    bool IsOk() const { return m_bOk; }
    // How the text was decoded (tsDecodeResult: the encoding's name, a mark, a declaration).
    const tsDecodeResult& GetDecoding() const { return m_decoding; }

private:
    std::wstring m_sText;
    size_t m_nPos = 0;
    size_t m_nLastRead = 0;
    bool m_bOk = true;
    tsDecodeResult m_decoding;
};
