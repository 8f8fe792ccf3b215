#include "tests/script/FixtureClasses.h"

#include "varnak/include/tDTDHelpers.h"
#include "varnak/include/tLua.h"
#include "varnak/include/tcDocument.h"
#include "varnak/include/tcNode.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

std::map<std::string, int>& tfDestroyed()
{
    // Never destroyed: the global tfPoint below counts in its destructor at exit.
    static auto* pCounts = new std::map<std::string, int>;
    return *pCounts;
}

int g_tfCounter = 3;
tfPoint g_tfOrigin;
wxString g_tfName = "fixture";

namespace
{
lua_State* g_pCallbackState = nullptr;

int Distance(const wxString& a, const wxString& b, int nIns, int nDel, int nSub)
{
    std::vector<int> prev(b.length() + 1), cur(b.length() + 1);
    for (size_t j = 0; j <= b.length(); ++j)
        prev[j] = static_cast<int>(j) * nIns;
    for (size_t i = 1; i <= a.length(); ++i)
    {
        cur[0] = static_cast<int>(i) * nDel;
        for (size_t j = 1; j <= b.length(); ++j)
            cur[j] = std::min({prev[j] + nDel, cur[j - 1] + nIns, prev[j - 1] + (a[i - 1] == b[j - 1] ? 0 : nSub)});
        std::swap(prev, cur);
    }
    return prev[b.length()];
}
} // namespace

int tfDistance(wxString& a, wxString& b)
{
    return Distance(a, b, 1, 1, 1);
}

int tfDistance(wxString& a, wxString& b, int nCost)
{
    return Distance(a, b, nCost, nCost, nCost);
}

int tfDistance(wxString& a, wxString& b, int nIns, int nDel, int nSub, int)
{
    return Distance(a, b, nIns, nDel, nSub);
}

int tfTake(int n)
{
    return n;
}

bool tfIsNull(const tfPoint* p)
{
    return p == nullptr;
}

int tfSumOf(const tfPoint& p)
{
    return p.Sum();
}

wxString tfConcat(const wxString& a, const wxString& b)
{
    return a + "|" + b;
}

void tfThrowStd()
{
    throw std::runtime_error("standard failure");
}

void tfThrowOther()
{
    throw 42;
}

bool tfCallBack(const wxString& sFunction)
{
    lua_getglobal(g_pCallbackState, sFunction.utf8_str());
    if (!tLuaPCall(g_pCallbackState, 0, 0))
        throw std::runtime_error("the callback failed");
    return true;
}

void tfSetCallbackState(lua_State* L)
{
    g_pCallbackState = L;
}

tcNode* tfBuildTree(tcDocument* pDoc)
{
    if (pDoc->GetDTD()->GetNumElements() == 0)
    {
        pDoc->CreateDoc("fixture");
        pDoc->CreateEmptyOvraDTD();
    }
    tcElement* pA = tEnsureElementExists(pDoc, "a", nullptr, false, CHILD_ZEROORMORE);
    tcElement* pB = tEnsureElementExists(pDoc, "b", pA, false, CHILD_ZEROORMORE);
    tcNode* pNodeA = pDoc->AllocateElement(pA);
    tcNode* pNodeB = pDoc->AllocateElement(pB);
    pNodeA->AddChildLast(pNodeB);
    pNodeB->AddChildLast(pDoc->AllocateTextNode("t"));
    return pNodeA;
}
