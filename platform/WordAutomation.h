#pragma once

#include <wx/string.h>

#include <memory>
#include <optional>

class wxWindow;

// Word automation, as the Word convertor and its preview use it. Word is driven through its object
// model and the macros of the template "Lintrado.dot"; these narrow interfaces stand for exactly
// the calls made, so that the convertor does not depend on how a platform reaches Word. A provider
// installed in the process-wide slot supplies them; this platform has none, so Word documents are
// not offered. Main thread only; every call waits for Word's answer.

// A range of a document's characters. Positions count characters as Word does.
class IWordRange
{
public:
    virtual ~IWordRange() = default;

    virtual wxString GetText() = 0;
    // Replaces the range's text; the range then spans the new text. False when Word refused.
    virtual bool SetText(const wxString& sText) = 0;
    virtual long GetStart() = 0;
    virtual long GetEnd() = 0;
    // Font.Shading.BackgroundPatternColor, in Word's colour value (0xBBGGRR).
    virtual void SetShading(long nColour) = 0;
    // A dotted border of nColour (0xBBGGRR) on the four sides of the range, with no line between
    // its lines (Borders.Enable; items -3, -1, -2, -4 dotted; item -5 invisible).
    virtual void SetDottedBorder(long nColour) = 0;
};

// An open document. It stays valid until it is closed or its application quits.
class IWordDocument
{
public:
    virtual ~IWordDocument() = default;

    // The range of characters nStart to nEnd; never null.
    virtual std::unique_ptr<IWordRange> Range(long nStart, long nEnd) = 0;
    virtual bool SaveAs(const wxString& sPath) = 0;
    virtual bool Save() = 0;
    // Closes the document, saving changes when bSave.
    virtual void Close(bool bSave) = 0;
    // Protect with nType (3: read only) and its reverse.
    virtual void Protect(int nType) = 0;
    virtual void UnProtect() = 0;
};

// A running Word, hidden or not; quit by Quit (the destructor only releases it).
class IWordApplication
{
public:
    virtual ~IWordApplication() = default;

    virtual void SetVisible(bool bVisible) = 0;
    // Opens the file; the document belongs to the application. Null when Word could not open it.
    virtual IWordDocument* Open(const wxString& sPath) = 0;
    // Adds the template at sPath as an add-in and installs it. False when Word could not load it.
    virtual bool AddAddin(const wxString& sPath) = 0;
    // Runs a macro of the installed templates without arguments for its integer result.
    virtual long RunLong(const wxString& sMacro) = 0;
    // Runs a macro without arguments, or with a first and a last position.
    virtual void Run(const wxString& sMacro) = 0;
    virtual void Run(const wxString& sMacro, long nFirst, long nLast) = 0;
    // Runs a macro for its text result through the fast path (the dispatch identifier of Run looked
    // up once). nullopt when the call failed.
    virtual std::optional<wxString> RunString(const wxString& sMacro) = 0;
    virtual void Quit() = 0;
};

// The embedded Word document window of the preview: one document at a time, on a panel.
class IWordPreviewHost
{
public:
    // Releases the embedded Word. The panel may be gone already; the host then touches nothing of it.
    virtual ~IWordPreviewHost() = default;

    // Opens the file in the window; it becomes the active document.
    virtual void Open(const wxString& sPath) = 0;
    // Closes the active document, if any.
    virtual void Close() = 0;
    // The document on show; null when none is open.
    virtual IWordDocument* GetActiveDocument() = 0;
    // The read-only view: no rulers, tips, tool, menu or title bars, no command bars, scroll bars
    // on, no spelling or grammar marks, no fast or background saving and no save prompts.
    virtual void ApplyViewSettings() = 0;
};

// Reaches Word on one platform.
class IWordProvider
{
public:
    virtual ~IWordProvider() = default;

    // True when Word is registered on the machine.
    virtual bool IsAvailable() = 0;
    // Starts a new Word; null when it could not be started.
    virtual std::unique_ptr<IWordApplication> Start() = 0;
    // The folder Word takes the user's templates from.
    virtual wxString GetUserTemplateDir() = 0;
    // A preview host embedded in pPanel (owned by the caller); null when none can be made.
    virtual std::unique_ptr<IWordPreviewHost> CreatePreviewHost(wxWindow* pPanel) = 0;
};

// The installed provider; null when none is (always, on this platform, outside tests).
IWordProvider* tGetWordProvider();
// Installs pProvider (not owned: it must outlive its installation; null removes it) and returns the
// one it replaces.
IWordProvider* tSetWordProvider(IWordProvider* pProvider);

// True when a provider is installed and reports Word available: the main window then offers Word
// documents.
bool IsWordAvailable();
