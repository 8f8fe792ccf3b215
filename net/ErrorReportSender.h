#pragma once

#include "Shared/Internet.h"

#include <wx/string.h>

#include <atomic>
#include <chrono>
#include <memory>

class tcWorkQueue;

// Uploads the fault-report archives waiting in the logs folder "Pending" at start-up, on a work
// queue of its own, to the report service's "/app/postreport.php". A sent archive is deleted; one
// that failed moves to "CouldNotSend" (never over another one), where it stays. Each archive being
// sent is claimed by a ".busy" marker beside it, so two running copies never send the same one.

// The upload of one pending archive. Removes the marker it claimed once it ran, or when it is
// deleted without having run (the queue stopped first).
class tcWorkSendErrorLogFile : public tcWorkSendFile
{
public:
    // bOwnsMarker: this run wrote the archive's marker.
    tcWorkSendErrorLogFile(const std::wstring& sArchive, const std::string& sURL, bool bOwnsMarker);
    ~tcWorkSendErrorLogFile() override;

    bool DoWork() override;
    // Deletes the archive after a success; moves it to "CouldNotSend" after a failure.
    void OnSendDone(int nResult, const std::wstring& sPath, const std::string& sResponse) override;

private:
    void RemoveMarker();

    bool m_bOwnsMarker;
    bool m_bRan = false;
};

class tcErrorReportSender
{
public:
    tcErrorReportSender() = default;
    // Stops the queue as Done does.
    virtual ~tcErrorReportSender();
    tcErrorReportSender(const tcErrorReportSender&) = delete;
    tcErrorReportSender& operator=(const tcErrorReportSender&) = delete;

    // Claims and queues the pending archives and starts the queue; true when uploads were queued.
    // False, queuing nothing, without a report service, without a "Pending" folder, with no
    // archive to send, or when the network layer cannot start (the run's markers are removed).
    // Main thread.
    bool Start();
    // Stops the queue: a running upload is aborted at once and its archive stays in "Pending";
    // items not yet run are dropped. No marker of this run stays behind. Main thread.
    void Done();

    // Waits until the queue has no work left; true at once without a queue. For tests.
    bool WaitIdle(std::chrono::milliseconds timeout);

private:
    void DeleteQueue(const wchar_t* szBefore, const wchar_t* szAfter);

    std::unique_ptr<tcWorkQueue> m_pWorkQueue;
    std::atomic<bool> m_bAbort{false};
};

// The one sender while it runs; null before tErrReportSenderStart and after tErrReportSenderDone.
extern tcErrorReportSender* g_pErrorReportSender;

// Packs the crash records of earlier runs into archives, then, unless "/App/FaultReports"
// "AllowSend" is off, makes the sender and starts it. True when a sender runs (also when one ran
// already). Main thread, after the options are loaded.
bool tErrReportSenderStart();
// Deletes the sender, stopping its queue. Main thread.
void tErrReportSenderDone();

// What claiming an archive came to.
enum class teArchiveClaim
{
    Claimed, // this process wrote the marker
    Taken,   // a live process holds the marker
    Failed,  // the marker could not be written (the archive is sent all the same)
};
// Claims a pending archive by writing "<archive>.busy" (the local time of the claim and this
// process's id): the text goes to a temporary file that is renamed to the marker only when no
// marker exists, so of two claims one wins. A marker whose process no longer runs, or now runs
// another program, was left by a crash: it is removed and the archive claimed again. Any thread.
teArchiveClaim tClaimPendingArchive(const wxString& sArchive);

// Turns each "<guid>.crash" record in sPendingFolder (left by the fatal-exception handler; its
// first line names the error log) into "<guid>.zip" through tSendErrorReport, and removes the
// record once the archive is complete. Returns the number of archives made.
int tPackCrashRecords(const wxString& sPendingFolder);
