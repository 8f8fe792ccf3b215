#pragma once

#include <string>
#include <string_view>

// A project file's bytes with the `date` attribute of every `file` element left out (the space
// before it included). Each converted document is stamped with the clock when it is converted, so
// two conversions of the same documents differ there and nowhere else when they agree. Anything
// else, other elements' dates included, stays as it is. No state; any thread.
std::string tWithoutFileDates(std::string_view sXLIFF);
