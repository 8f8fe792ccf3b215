#include "tests/harness/ScriptedUserPrompts.h"

#include <gtest/gtest.h>
#include <wx/toplevel.h>

const char* KindName(ScriptedUserPrompts::Kind eKind)
{
    switch (eKind)
    {
    case ScriptedUserPrompts::Kind::Message:
        return "message";
    case ScriptedUserPrompts::Kind::File:
        return "file chooser";
    case ScriptedUserPrompts::Kind::Directory:
        return "folder chooser";
    }
    return "prompt";
}

void ScriptedUserPrompts::AnswerMessage(int nButton)
{
    Answer answer;
    answer.eKind = Kind::Message;
    answer.nButton = nButton;
    m_answers.push_back(answer);
}

void ScriptedUserPrompts::AnswerFile(const wxString& sPath)
{
    Answer answer;
    answer.eKind = Kind::File;
    answer.sPath = sPath;
    m_answers.push_back(answer);
}

void ScriptedUserPrompts::AnswerDirectory(const wxString& sPath)
{
    Answer answer;
    answer.eKind = Kind::Directory;
    answer.sPath = sPath;
    m_answers.push_back(answer);
}

void ScriptedUserPrompts::AnswerFiles(const wxArrayString& asPaths, int nFilterIndex)
{
    Answer answer;
    answer.eKind = Kind::File;
    answer.sPath = asPaths.empty() ? wxString() : asPaths[0];
    answer.asPaths = asPaths;
    answer.nFilterIndex = nFilterIndex;
    m_answers.push_back(answer);
}

void ScriptedUserPrompts::VerifyAndClear()
{
    for (const Answer& answer : m_answers)
        ADD_FAILURE() << "Scripted " << KindName(answer.eKind) << " answer never asked for";
    m_answers.clear();
    m_calls.clear();
    m_busyNotices.clear();
}

bool ScriptedUserPrompts::Take(const Call& call, Answer& answer)
{
    m_calls.push_back(call);
    for (wxWindow* pWindow : wxTopLevelWindows)
        if (pWindow->IsShown())
            m_calls.back().asShownWindows.push_back(pWindow->GetLabel());
    m_calls.back().bParentShown = call.pParent && call.pParent->IsShownOnScreen();
    if (m_answers.empty())
    {
        ADD_FAILURE() << "Unexpected " << KindName(call.eKind) << " \"" << call.sMessage.utf8_string() << "\"";
        return false;
    }
    answer = m_answers.front();
    m_answers.pop_front();
    if (answer.eKind != call.eKind)
    {
        ADD_FAILURE() << "A " << KindName(call.eKind) << " \"" << call.sMessage.utf8_string()
                      << "\" met the scripted answer to a " << KindName(answer.eKind);
        return false;
    }
    return true;
}

// The record of a file chooser call, single or multiple.
static ScriptedUserPrompts::Call FileCall(const wxString& sMessage, const wxString& sDefaultDir, const wxString& sDefaultFile,
                                          const wxString& sWildcard, long nStyle, wxWindow* pParent)
{
    ScriptedUserPrompts::Call call;
    call.eKind = ScriptedUserPrompts::Kind::File;
    call.sMessage = sMessage;
    call.sDefaultDir = sDefaultDir;
    call.sDefaultFile = sDefaultFile;
    call.sWildcard = sWildcard;
    call.nStyle = nStyle;
    call.pParent = pParent;
    return call;
}

int ScriptedUserPrompts::ShowMessage(const wxString& sText, const wxString& sCaption, long nStyle, wxWindow* pParent)
{
    Call call;
    call.eKind = Kind::Message;
    call.sMessage = sText;
    call.sCaption = sCaption;
    call.nStyle = nStyle;
    call.pParent = pParent;
    Answer answer;
    if (!Take(call, answer))
        return m_silent.ShowMessage(sText, sCaption, nStyle, pParent);
    return answer.nButton;
}

wxString ScriptedUserPrompts::ChooseFile(const wxString& sMessage, const wxString& sDefaultDir,
                                         const wxString& sDefaultFile, const wxString& sWildcard, long nStyle,
                                         wxWindow* pParent)
{
    Call call = FileCall(sMessage, sDefaultDir, sDefaultFile, sWildcard, nStyle, pParent);
    Answer answer;
    if (!Take(call, answer))
        return m_silent.ChooseFile(sMessage, sDefaultDir, sDefaultFile, sWildcard, nStyle, pParent);
    return answer.sPath;
}

wxString ScriptedUserPrompts::ChooseDirectory(const wxString& sMessage, const wxString& sDefaultPath, wxWindow* pParent)
{
    Call call;
    call.eKind = Kind::Directory;
    call.sMessage = sMessage;
    call.sDefaultDir = sDefaultPath;
    call.pParent = pParent;
    Answer answer;
    if (!Take(call, answer))
        return m_silent.ChooseDirectory(sMessage, sDefaultPath, pParent);
    return answer.sPath;
}

wxArrayString ScriptedUserPrompts::ChooseFiles(const wxString& sMessage, const wxString& sDefaultDir,
                                               const wxString& sDefaultFile, const wxString& sWildcard, long nStyle,
                                               int& nFilterIndex, wxWindow* pParent)
{
    Call call = FileCall(sMessage, sDefaultDir, sDefaultFile, sWildcard, nStyle, pParent);
    call.nFilterIndex = nFilterIndex;
    Answer answer;
    if (!Take(call, answer))
        return wxArrayString();
    if (answer.asPaths.empty() && !answer.sPath.empty())
        answer.asPaths.push_back(answer.sPath);
    if (!answer.asPaths.empty() && answer.nFilterIndex >= 0)
        nFilterIndex = answer.nFilterIndex;
    return answer.asPaths;
}
