#pragma once

#include <stdexcept>
#include <string>

// Thrown by calls of features this library does not have (clipboard, filters, masks, compare,
// RTF and HTML export, web search, sort plug-ins, auto-numbering) where the call returns nothing
// and silently doing nothing would read as success. Calls that return something give the neutral
// result instead (null, false, 0, -1, empty); each header says which. The script binding turns
// this into a Lua error carrying what().
class tcNotSupported : public std::runtime_error
{
public:
    // what(): "'<sFeature>' is not supported by this build".
    explicit tcNotSupported(const std::string& sFeature)
        : std::runtime_error("'" + sFeature + "' is not supported by this build"), m_sFeature(sFeature)
    {
    }
    const std::string& GetFeature() const { return m_sFeature; }

private:
    std::string m_sFeature;
};
