#include "tests/harness/ModalDialogScript.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#include <exception>

namespace
{
// The toolkit's native dialogs have no wx controls to initialise or validate; on GTK the message
// dialog has not even created its widget when the hook runs.
bool IsCommonDialog(wxDialog* pDialog)
{
    return dynamic_cast<wxMessageDialogBase*>(pDialog) || dynamic_cast<wxFileDialogBase*>(pDialog) ||
           dynamic_cast<wxDirDialogBase*>(pDialog);
}

// The path a file or folder chooser answers with; for any other dialog, "-".
wxString ChosenPath(wxDialog* pDialog)
{
    if (auto* pFile = dynamic_cast<wxFileDialogBase*>(pDialog))
    {
        if (!pFile->HasFlag(wxFD_MULTIPLE))
            return pFile->GetPath();
        wxArrayString paths;
        pFile->GetPaths(paths);
        return paths.empty() ? wxString() : paths[0];
    }
    if (auto* pDir = dynamic_cast<wxDirDialogBase*>(pDialog))
        return pDir->GetPath();
    return "-";
}

std::string Describe(wxDialog* pDialog)
{
    // GTK's file and folder choosers keep their title (the message) out of wx's reach.
    wxString sTitle = pDialog->GetTitle();
    if (auto* pFile = dynamic_cast<wxFileDialogBase*>(pDialog); pFile && sTitle.empty())
        sTitle = pFile->GetMessage();
    if (auto* pDir = dynamic_cast<wxDirDialogBase*>(pDialog); pDir && sTitle.empty())
        sTitle = pDir->GetMessage();
    std::string sText = "\"" + sTitle.utf8_string() + "\"";
    if (auto* pMessage = dynamic_cast<wxMessageDialogBase*>(pDialog))
        sText += " saying \"" + pMessage->GetMessage().utf8_string() + "\"";
    return sText;
}
} // namespace

ModalDialogScript& ModalDialogScript::Get()
{
    static ModalDialogScript s_script;
    return s_script;
}

void ModalDialogScript::Expect(Handler fnHandler)
{
    Expect(std::string(), std::move(fnHandler));
}

void ModalDialogScript::Expect(const std::string& sWhat, Handler fnHandler)
{
    ++m_nQueued;
    m_expectations.push_back({sWhat.empty() ? "modal dialog #" + std::to_string(m_nQueued) + " of the script" : sWhat,
                              std::move(fnHandler)});
}

void ModalDialogScript::VerifyAndClear()
{
    for (const Expectation& expectation : m_expectations)
        ADD_FAILURE() << "Expected modal dialog never shown: " << expectation.sWhat;
    m_expectations.clear();
    m_nQueued = 0;
}

int ModalDialogScript::Enter(wxDialog* pDialog)
{
    if (m_expectations.empty())
    {
        ADD_FAILURE() << "Unexpected modal dialog " << Describe(pDialog);
        return wxID_CANCEL;
    }
    // Taken off the queue first: the handler may show the next dialog itself.
    Expectation expectation = std::move(m_expectations.front());
    m_expectations.pop_front();

    const bool bCommon = IsCommonDialog(pDialog);
    if (!bCommon)
        pDialog->InitDialog();
    int nResult = wxID_CANCEL;
    try
    {
        nResult = expectation.fnHandler ? expectation.fnHandler(pDialog) : wxID_CANCEL;
    }
    catch (const std::exception& e)
    {
        ADD_FAILURE() << "The script of " << expectation.sWhat << " threw: " << e.what();
        return wxID_CANCEL;
    }
    catch (...)
    {
        ADD_FAILURE() << "The script of " << expectation.sWhat << " threw an unknown exception";
        return wxID_CANCEL;
    }
    if (nResult == wxID_NONE)
    {
        // wxID_NONE would show the dialog for real and wait for a person.
        ADD_FAILURE() << "The script of " << expectation.sWhat << " answered wxID_NONE";
        return wxID_CANCEL;
    }
    if (nResult == wxID_OK && ChosenPath(pDialog).empty())
    {
        // GTK's choosers read the path from their widget, which a dialog never shown leaves empty.
        ADD_FAILURE() << "The chooser " << Describe(pDialog) << " gives no path after the scripted OK of "
                      << expectation.sWhat << "; let the code ask through tUserPrompts() and script that";
        return wxID_CANCEL;
    }
    if (!bCommon && nResult == pDialog->GetAffirmativeId() &&
        !(pDialog->Validate() && pDialog->TransferDataFromWindow()))
    {
        ADD_FAILURE() << "The dialog " << Describe(pDialog) << " refused the values of the script of "
                      << expectation.sWhat;
        return wxID_CANCEL;
    }
    pDialog->SetReturnCode(nResult);
    return nResult;
}

ModalDialogScript::Handler AnswerWith(int nResult)
{
    return [nResult](wxDialog*) { return nResult; };
}
