#pragma once

#include <cstddef>
#include <cstdint>

// The parts of the log that a fatal-signal handler may use. Every routine here is
// async-signal-safe: no allocation, no stdio, no locks, only write(2), clock_gettime and plain
// memory reads. The log (kvLog.h) feeds them: it keeps its descriptor and a fixed ring of its
// most recent bytes where these routines can read them without its lock.
namespace kvSignalSafe
{
// The open log file's descriptor; -1 before kvLogInit and after kvLogDone.
int LogDescriptor();

// Notes the local time zone's offset from UTC, which the handler cannot look up. kvLogInit calls
// it; call it again where the zone may have changed.
void NoteUTCOffset();

// Writes the local time as "YYYY-MM-DD HH:MM:SS.mmm" (23 bytes, no NUL) into pBuf, which holds at
// least 24 bytes, with the offset noted last; with bMillis false the last four are left out.
// Returns the number of bytes written.
size_t FormatNow(char* pBuf, bool bMillis);

// Writes one line to the log file as the log writes it (time, blank, text, line end). Nothing
// happens when no log file is open. The line does not reach the log's sinks.
void LogLine(const char* szText);

// Copies the most recent lines of the log, whole lines, oldest first, into pBuf; returns the
// number of bytes copied (at most nSize). Lines logged meanwhile by another thread may appear
// torn: the handler reads while the process is failing.
size_t CopyRecent(char* pBuf, size_t nSize);

// Writes all bytes to the descriptor, retrying after EINTR; false on any other error.
bool WriteAll(int fd, const char* pData, size_t nSize);
// strlen for the handler.
size_t Length(const char* sz);
// Writes the decimal digits of n into pBuf (at least 21 bytes, no NUL); returns their number.
size_t FormatUnsigned(char* pBuf, uint64_t n);
} // namespace kvSignalSafe

namespace kv_signal_detail
{
// Called by the log, under its lock, for every line it writes (time included, line end included).
void AppendRecent(const char* pData, size_t nSize);
// Called by the log when its file changes.
void SetLogDescriptor(int fd);
} // namespace kv_signal_detail
