#include "varnak/include/tErrorReport.h"

#include "varnak/include/kvLog.h"
#include "varnak/include/tGUID.h"
#include "varnak/include/tString.h"
#include "varnak/include/tTextFile.h"

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/wfstream.h>
#include <wx/zipstrm.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <unistd.h>

namespace
{
std::mutex s_folderLock;
wxString s_sFolder;

// The GUID an error log was saved with, or a new one.
tGUID ReportGUID(const std::string& sLog)
{
    const std::string sKey = "Identifier: ";
    for (const std::string& sLine : tSplitByteLines(sLog))
    {
        tGUID guid;
        if (sLine.rfind(sKey, 0) == 0 && tStringToGUID(wxString::FromUTF8(sLine.substr(sKey.size())), guid))
            return guid;
    }
    return tCreateGUID();
}

bool WriteZip(const wxString& sPath, const wxString& sLogName, const std::string& sLog, const std::string& sAbout)
{
    wxLogNull noToolkitLog; // failures are reported by the caller's own line
    wxFFileOutputStream file(sPath);
    if (!file.IsOk())
        return false;
    wxZipOutputStream zip(file);
    bool bOk = zip.PutNextEntry(sLogName) && zip.WriteAll(sLog.data(), sLog.size());
    bOk = bOk && zip.PutNextEntry("Report.txt") && zip.WriteAll(sAbout.data(), sAbout.size());
    bOk = zip.Close() && bOk;
    return file.Close() && bOk;
}
} // namespace

void tSetErrorReportFolder(const wxString& sFolder)
{
    std::lock_guard<std::mutex> lock(s_folderLock);
    s_sFolder = sFolder;
}

wxString tGetErrorReportFolder()
{
    std::lock_guard<std::mutex> lock(s_folderLock);
    return s_sFolder;
}

wxString tSendErrorReport(const wxString& sMessage, const wxString& sTitle, const wxString& sSubject,
                          const wxString& sErrorLogPath, bool /*bSilent*/)
{
    const wxString sFolder = tGetErrorReportFolder();
    if (sFolder.empty())
    {
        kvLogError(L"tSendErrorReport: no folder for reports; %s not packed", sErrorLogPath);
        return wxString();
    }
    const std::optional<std::string> sLog = tReadFileBytes(sErrorLogPath);
    if (!sLog)
    {
        kvLogError(L"tSendErrorReport: cannot read the error log %s", sErrorLogPath);
        return wxString();
    }
    const wxString sName = tGUIDToString(ReportGUID(*sLog)) + ".zip";
    const wxString sArchive = sFolder + "/" + sName;
    const wxString sPart = sArchive + ".part";
    const std::string sAbout = "Subject: " + tToUTF8(sSubject) + "\nTitle: " + tToUTF8(sTitle) +
                               "\nMessage: " + tToUTF8(sMessage) + "\n";

    if (!WriteZip(sPart, wxFileName(sErrorLogPath).GetFullName(), *sLog, sAbout))
    {
        ::unlink(sPart.utf8_string().c_str());
        kvLogError(L"tSendErrorReport: cannot write %s", sPart);
        return wxString();
    }
    // Never over an archive of the same report: that one may be on its way to the service.
    if (::renameat2(AT_FDCWD, sPart.utf8_string().c_str(), AT_FDCWD, sArchive.utf8_string().c_str(),
                    RENAME_NOREPLACE) != 0)
    {
        const int nError = errno;
        ::unlink(sPart.utf8_string().c_str());
        if (nError != EEXIST)
        {
            kvLogError(L"tSendErrorReport: cannot rename %s (errno %d)", sPart, nError);
            return wxString();
        }
        kvLog(L"tSendErrorReport: %s exists already, kept", sArchive);
        return sArchive;
    }
    kvLog(L"tSendErrorReport: %s written", sArchive);
    return sArchive;
}
