#pragma once

// The standard containers under the short names the registration table's type names use
// ("vector<int>", "pair<int,int>"), for the generated wrappers only.

#include <string>
#include <utility>
#include <vector>

using std::pair;
using std::string;
using std::vector;
