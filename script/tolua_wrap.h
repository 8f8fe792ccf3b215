#pragma once

// Helpers for the generated wrappers (tools/gen_bindings.py). A wrapper is an entry that raises
// and a body that never does: the body checks, converts, calls and pushes, and on failure leaves
// the message on the stack and returns -1; the entry then raises it, after the body's C++ objects
// are gone. Nothing here raises a Lua error or lets an exception out.

#include "script/tolua.h"
#include "varnak/include/tLua.h"
#include "varnak/include/tString.h"

#include <wx/string.h>

extern "C"
{
#include <lauxlib.h>
}

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

// The table spells container types as the package registers them ("vector<tcNode*>").
using std::vector;

namespace tolua_wrap
{
// The entry: raises what a failed body left.
inline int Finish(lua_State* L, int nResults)
{
    if (nResults < 0)
        return lua_error(L);
    return nResults;
}

inline int Fail(lua_State* L, const char* szMessage, const tolua_Error* err)
{
    tolua_pusherror(L, szMessage, err);
    return -1;
}

inline int FailText(lua_State* L, const char* szMessage)
{
    lua_pushstring(L, szMessage);
    return -1;
}

// "error in function 'X': " and what the exception says.
inline int FailException(lua_State* L, const char* szFunction, const char* szWhat)
{
    lua_pushfstring(L, "error in function '%s': %s", szFunction, szWhat ? szWhat : "unknown exception");
    return -1;
}

inline bool Missing(lua_State* L, int lo)
{
    return lua_gettop(L) < lo;
}

template <typename T> struct IsText : std::false_type
{
};
template <> struct IsText<wxString> : std::true_type
{
};
template <> struct IsText<std::string> : std::true_type
{
};
template <> struct IsText<std::wstring> : std::true_type
{
};

template <typename T> constexpr bool kIsInteger = std::is_integral_v<T> && !std::is_same_v<T, bool>;
template <typename T> constexpr bool kIsNumber = kIsInteger<T> || std::is_floating_point_v<T> || std::is_enum_v<T>;

// The range of T that a Lua integer can hold, as text for the argument error.
template <typename T> const char* RangeName()
{
    static const std::string s = []
    {
        using U = std::conditional_t<std::is_enum_v<T>, std::underlying_type<T>, std::type_identity<T>>;
        using I = typename U::type;
        const long long lo = static_cast<long long>(std::numeric_limits<I>::min());
        const long long hi = std::numeric_limits<I>::max() > static_cast<unsigned long long>(LLONG_MAX)
                                 ? LLONG_MAX
                                 : static_cast<long long>(std::numeric_limits<I>::max());
        return "number from " + std::to_string(lo) + " to " + std::to_string(hi);
    }();
    return s.c_str();
}

// A number argument as T: integers as they are, floats and numeric text by their integer part.
// False (err names the range) for NaN, infinities and values T cannot hold.
template <typename T> bool ToNumber(lua_State* L, int lo, T def, T* pOut, tolua_Error* err)
{
    if (Missing(L, lo))
    {
        *pOut = def;
        return true;
    }
    if constexpr (std::is_floating_point_v<T>)
    {
        *pOut = static_cast<T>(lua_tonumberx(L, lo, nullptr));
        return true;
    }
    else
    {
        using U = std::conditional_t<std::is_enum_v<T>, std::underlying_type<T>, std::type_identity<T>>;
        using I = typename U::type;
        const long long lo64 = static_cast<long long>(std::numeric_limits<I>::min());
        const long long hi64 = std::numeric_limits<I>::max() > static_cast<unsigned long long>(LLONG_MAX)
                                   ? LLONG_MAX
                                   : static_cast<long long>(std::numeric_limits<I>::max());
        int isInteger = 0;
        lua_Integer n = 0;
        if (lua_type(L, lo) == LUA_TNUMBER)
            n = lua_tointegerx(L, lo, &isInteger);
        if (!isInteger)
        {
            const double d = std::trunc(lua_tonumberx(L, lo, nullptr));
            // 2^63 is the first double outside a 64-bit integer.
            if (!std::isfinite(d) || d < -9223372036854775808.0 || d >= 9223372036854775808.0)
                goto out_of_range;
            n = static_cast<lua_Integer>(d);
        }
        if (n < lo64 || n > hi64)
            goto out_of_range;
        *pOut = static_cast<T>(n);
        return true;
    out_of_range:
        err->index = lo;
        err->array = 0;
        err->type = RangeName<T>();
        return false;
    }
}

inline wxString ToWxString(lua_State* L, int lo, const wxString& def)
{
    if (Missing(L, lo))
        return def;
    size_t n = 0;
    const char* s = lua_tolstring(L, lo, &n);
    return s ? kvFromUTF8LUA(s, n) : wxString();
}

inline std::string ToStdString(lua_State* L, int lo, const std::string& def)
{
    if (Missing(L, lo))
        return def;
    size_t n = 0;
    const char* s = lua_tolstring(L, lo, &n);
    return s ? std::string(s, n) : std::string();
}

inline const char* ToCString(lua_State* L, int lo, const char* def)
{
    if (Missing(L, lo))
        return def;
    const char* s = lua_tostring(L, lo);
    return s ? s : "";
}

// Pushes a value of a number, boolean or text type.
template <typename T> void Push(lua_State* L, const T& value)
{
    if constexpr (std::is_same_v<T, bool>)
        lua_pushboolean(L, value);
    else if constexpr (kIsInteger<T> || std::is_enum_v<T>)
        lua_pushinteger(L, static_cast<lua_Integer>(value));
    else if constexpr (std::is_floating_point_v<T>)
        lua_pushnumber(L, static_cast<lua_Number>(value));
    else if constexpr (std::is_same_v<T, wxString>)
    {
        const std::string s = tToUTF8(value);
        lua_pushlstring(L, s.data(), s.size());
    }
    else if constexpr (std::is_same_v<T, std::wstring>)
    {
        const std::string s = tToUTF8(wxString(value));
        lua_pushlstring(L, s.data(), s.size());
    }
    else if constexpr (std::is_same_v<T, std::string>)
        lua_pushlstring(L, value.data(), value.size());
    else
        static_assert(sizeof(T) == 0, "no push for this type");
}

inline void Push(lua_State* L, const char* value)
{
    tolua_pushstring(L, value);
}

// Generic element access for the vector classes: E is the element type; szType the element's
// registered name for objects (null for numbers, booleans and text).
template <typename E> bool CheckElement(lua_State* L, int lo, const char* szType, tolua_Error* err)
{
    if constexpr (std::is_same_v<E, bool>)
        return tolua_isboolean(L, lo, 0, err) && !lua_isnil(L, lo);
    else if constexpr (kIsNumber<E>)
        return tolua_isnumber(L, lo, 0, err);
    else if constexpr (IsText<E>::value)
        return tolua_isstring(L, lo, 0, err);
    else if constexpr (std::is_pointer_v<E>)
        return tolua_isusertype(L, lo, szType, 0, err);
    else
    {
        // Held by value: nil has no object to copy.
        if (!tolua_isusertype(L, lo, szType, 0, err))
            return false;
        if (lua_isnil(L, lo) || !tolua_tousertype(L, lo, nullptr))
        {
            err->index = lo;
            err->array = 0;
            err->type = szType;
            return false;
        }
        return true;
    }
}

// Reads the element (CheckElement passed). False with err filled for a number out of range.
template <typename E> bool GetElement(lua_State* L, int lo, E* pOut, tolua_Error* err)
{
    if constexpr (std::is_same_v<E, bool>)
        *pOut = lua_toboolean(L, lo) != 0;
    else if constexpr (kIsNumber<E>)
        return ToNumber<E>(L, lo, E(), pOut, err);
    else if constexpr (std::is_same_v<E, wxString>)
        *pOut = ToWxString(L, lo, wxString());
    else if constexpr (std::is_same_v<E, std::wstring>)
        *pOut = ToWxString(L, lo, wxString()).ToStdWstring();
    else if constexpr (std::is_same_v<E, std::string>)
        *pOut = ToStdString(L, lo, std::string());
    else if constexpr (std::is_pointer_v<E>)
        *pOut = static_cast<E>(tolua_tousertype(L, lo, nullptr));
    else
        *pOut = *static_cast<E*>(tolua_tousertype(L, lo, nullptr));
    return true;
}

// Pushes an element: numbers and text as values, pointers as unowned boxes, objects held by value
// as new copies that Lua owns.
template <typename E> void PushElement(lua_State* L, const E& value, const char* szType)
{
    if constexpr (std::is_same_v<E, bool> || kIsNumber<E> || IsText<E>::value)
        Push(L, value);
    else if constexpr (std::is_pointer_v<E>)
        tolua_pushusertype(L, const_cast<std::remove_const_t<std::remove_pointer_t<E>>*>(value), szType);
    else
        tolua_pushusertype_and_takeownership(L, new E(value), szType);
}
} // namespace tolua_wrap
