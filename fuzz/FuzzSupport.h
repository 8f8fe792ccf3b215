#pragma once

#include <wx/string.h>

#include <cstddef>
#include <cstdint>
#include <string>

// What every fuzz target shares: a process set up once as the program sets itself up (UTF-8
// character classification, the XLIFF, TMX and SRX handlers registered, nothing modal), a private
// scratch folder for the files the handlers read and write, and a loud stop for a broken promise.

// Sets the process up on the first call; later calls do nothing.
void FuzzInit();

// Writes the bytes as the file sName in the scratch folder and returns its path.
wxString FuzzWriteFile(const std::string& sName, const uint8_t* pData, size_t nSize);
wxString FuzzWriteFile(const std::string& sName, const std::string& sBytes);
// The path of sName in the scratch folder (the file need not exist).
wxString FuzzPath(const std::string& sName);
// A file's bytes; empty when it cannot be read.
std::string FuzzReadFile(const wxString& sPath);

// Reports a broken promise with the input's context and aborts, which the fuzzer records as a
// finding.
[[noreturn]] void FuzzFail(const char* szWhat, const std::string& sDetail = std::string());
