#pragma once

// The fatal-exception report. The toolkit calls the handler inside its handler of fatal signals
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGSYS) and aborts the process afterwards, so the handler is
// async-signal-safe: it only writes, with write(2), to descriptors and paths prepared beforehand
// (no allocation, no stdio, no locks, no toolkit calls). It logs "FATAL EXCEPTION", writes an
// error log, leaves the record "Pending/<guid>.crash" naming it (the next start packs it into
// "Pending/<guid>.zip"), opens the report address when one may be opened, and logs the memory
// figures. It arms alarm(2) first, so a handler that hangs cannot keep the process alive.
//
// A stack overflow is not reported: the handler would run on the exhausted stack.

// Prepares what the handler writes: the next report's GUID, the error-log path, the Pending
// folder, the log file's name, the report address (only when the report service is set and
// sending is allowed; without a store, none) and the path of xdg-open. Call it once the log is
// open, again when the options are loaded, and after the store is gone. Main thread.
void tPrepareFatalReport();

// The handler; async-signal-safe.
void tReportFatalException();

// Test hooks of the program (see DESIGN.md): the handler waits forever after logging, and the
// alarm that ends it fires after nSeconds.
void tSetFatalReportHangForTest(bool bHang, int nAlarmSeconds);
