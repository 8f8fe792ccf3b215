#pragma once

// Small classes and functions that the fixture registration table binds, to test the wrapper
// conventions. Destructors count, so tests can tell who destroyed what.

#include "varnak/include/tObjectLife.h"

#include <wx/string.h>

#include <map>
#include <string>

extern "C"
{
#include <lua.h>
}

std::map<std::string, int>& tfDestroyed();

enum tfConstant
{
    TF_ONE = 1,
    TF_FLAGS = 512,
    TF_NEGATIVE = -1,
};

class tfPoint
{
public:
    tfPoint() = default;
    tfPoint(int nX, int nY) : x(nX), y(nY) {}
    tfPoint(const tfPoint&) = default;
    tfPoint& operator=(const tfPoint&) = default;
    ~tfPoint()
    {
        ++tfDestroyed()["tfPoint"];
        tNotifyDestroyed(this);
    }
    int Sum() const { return x + y; }
    void Move(int dx, int dy)
    {
        x += dx;
        y += dy;
    }
    double Ratio() const { return y ? static_cast<double>(x) / y : 0.0; }
    tfPoint Doubled() const { return tfPoint(2 * x, 2 * y); }
    int x = 0;
    int y = 0;
};

class tfShape
{
public:
    virtual ~tfShape()
    {
        ++tfDestroyed()["tfShape"];
        tNotifyDestroyed(this);
    }
    virtual wxString Name() const { return "shape"; }
    int Id() const { return m_nId; }
    int m_nId = 7;
};

class tfCircle : public tfShape
{
public:
    wxString Name() const override { return "circle"; }
    double Radius() const { return 1.5; }
};

// A holder with fields of each kind.
class tfHolder
{
public:
    ~tfHolder()
    {
        ++tfDestroyed()["tfHolder"];
        tNotifyDestroyed(this);
    }
    tfPoint pt;
    tfShape* pShape = nullptr;
    wxString sLabel;
    double dRatio = 0.5;
    bool bFlag = false;
    const tfPoint* ConstPoint() const { return &pt; }
    int nCount = 0;
    unsigned char nSmall = 0;
};

// Three forms: the edit distance with unit costs, one cost for all, or four costs. The texts are
// reference outputs, as the library's routine has them.
int tfDistance(wxString& a, wxString& b);
int tfDistance(wxString& a, wxString& b, int nCost);
int tfDistance(wxString& a, wxString& b, int nIns, int nDel, int nSub, int nSwap);
int tfTake(int n);
bool tfIsNull(const tfPoint* p);
int tfSumOf(const tfPoint& p);
wxString tfConcat(const wxString& a, const wxString& b);
void tfThrowStd();
void tfThrowOther();
// Calls the global Lua function of that name through the library's protected call; throws when the
// call fails.
bool tfCallBack(const wxString& sFunction);
void tfSetCallbackState(lua_State* L);

class tcDocument;
class tcNode;
// Gives the document a small DTD and returns a new node "a" with a child "b" holding the text "t";
// all owned by the document.
tcNode* tfBuildTree(tcDocument* pDoc);

extern int g_tfCounter;
extern tfPoint g_tfOrigin;
extern wxString g_tfName;
