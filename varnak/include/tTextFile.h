#pragma once

#include <wx/ffile.h>
#include <wx/string.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text files written and read by the library. One object serves one thread at a time.

// Flags of tCreateUTF8TextFile.
constexpr int UTF8FILE_NOBOM = 0;
constexpr int UTF8FILE_BOM = 1; // begin the file with a UTF-8 byte order mark

// Writes a text file as UTF-8. Made by tCreateTextFile and tCreateUTF8TextFile; the destructor
// closes the file (use Close to learn whether everything reached it).
class tcTextFileWriter
{
public:
    ~tcTextFileWriter();
    tcTextFileWriter(const tcTextFileWriter&) = delete;
    tcTextFileWriter& operator=(const tcTextFileWriter&) = delete;

    // Writes the text as UTF-8 (see tToUTF8); line ends are the caller's. False when the file is
    // closed or the write failed.
    bool Write(const wxString& sText);
    // Writes bytes as they are.
    bool WriteBytes(const std::string& sBytes);
    // Writes text formatted as kvFormat does (%s a wide string, %S a narrow one, numbers with "."
    // whatever the locale).
    bool Printf(const wchar_t* szFormat, ...);

    // Flushes and closes; false when this or any earlier write failed. Later writes fail.
    bool Close();
    bool IsOpen() const { return m_file.IsOpened(); }

private:
    friend std::unique_ptr<tcTextFileWriter> tCreateUTF8TextFile(const wxString& sPath, int nFlags);
    tcTextFileWriter() = default;

    wxFFile m_file;
    bool m_bFailed = false;
};

// Creates (or truncates) a text file in the library's default encoding, which is UTF-8 without a
// byte order mark on this platform. Null when the file cannot be created.
std::unique_ptr<tcTextFileWriter> tCreateTextFile(const wxString& sPath);
// Creates (or truncates) a UTF-8 text file; nFlags is UTF8FILE_NOBOM (0) or UTF8FILE_BOM. Null
// when the file cannot be created.
std::unique_ptr<tcTextFileWriter> tCreateUTF8TextFile(const wxString& sPath, int nFlags);

// How a file read by tOpenTextFile was encoded.
enum class teTextEncoding
{
    UTF8,
    UTF16LE,
    UTF16BE,
    Windows1252 // the default: a file without a byte order mark that is not valid UTF-8
};

// Reads a text file line by line. The whole file is read and decoded when it is opened.
class tcTextFileReader
{
public:
    // The next line without its line end ("\n", "\r\n" or "\r"); false, with sLine empty, when
    // no line is left. A final line without a line end is still a line.
    bool ReadLine(wxString& sLine);
    bool IsEOF() const { return m_nPos >= m_sText.size(); }
    teTextEncoding GetEncoding() const { return m_encoding; }
    // The decoded text, for callers that want it whole.
    const std::wstring& GetText() const { return m_sText; }
    // Drops the text; later reads find no line.
    void Close();

private:
    friend std::unique_ptr<tcTextFileReader> tOpenTextFile(const wxString& sPath);
    tcTextFileReader() = default;

    std::wstring m_sText;
    size_t m_nPos = 0;
    teTextEncoding m_encoding = teTextEncoding::UTF8;
};

// Opens a text file for reading. The encoding comes from a byte order mark (UTF-8, UTF-16 LE or
// BE; the mark is not part of the text); without one, a file that is valid UTF-8 is read as
// UTF-8 and any other as Windows-1252, the library's default encoding. Null when the file cannot
// be read.
std::unique_ptr<tcTextFileReader> tOpenTextFile(const wxString& sPath);

// The whole file as its bytes, nothing decoded. Nullopt when it cannot be opened or read (a folder
// opens but does not read).
std::optional<std::string> tReadFileBytes(const wxString& sPath);
// The lines of a UTF-8 file's bytes, undecoded: a leading byte order mark is dropped, a line ends
// at "\n" (a "\r" before it is dropped too), and a final line end adds no empty line.
std::vector<std::string> tSplitByteLines(std::string_view sBytes);
