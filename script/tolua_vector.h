#pragma once

// The nine wrappers that every vector class of the package has, from one template. Tr gives the
// container (V), its registered name (kType, kConstType), its Lua name (kLuaName) and the
// element's registered name (kElemType; null for numbers, booleans and text). Indexes count from
// 0; an index outside the vector is the script's error, names '.geti' or '.seti' and touches
// nothing. Elements that cannot be copied (nodes, element kinds, attributes) are read as boxes of
// the element in place, kept valid by the vector's box, and cannot be stored from Lua.

#include "script/tolua_wrap.h"

namespace tolua_wrap
{
template <typename Tr> struct VectorClass
{
    using V = typename Tr::V;
    using E = typename V::value_type;
    static constexpr bool kCopyable =
        std::is_default_constructible_v<E> && std::is_copy_constructible_v<E> && std::is_copy_assignable_v<E>;

    static int FailNotCopyable(lua_State* L, const char* szFunction)
    {
        lua_pushfstring(L, "error in function '%s': elements of type '%s' cannot be copied", szFunction,
                        Tr::kElemType ? Tr::kElemType : "?");
        return -1;
    }

    static int ClearBody(lua_State* L)
    {
        tolua_Error err;
        if (!tolua_isusertype(L, 1, Tr::kType, 0, &err) || !tolua_isnoobj(L, 2, &err))
            return Fail(L, "#ferror in function 'clear'.", &err);
        auto* self = static_cast<V*>(tolua_tousertype(L, 1, nullptr));
        if (!self)
            return FailText(L, "invalid 'self' in function 'clear'");
        self->clear();
        return 0;
    }
    static int SizeBody(lua_State* L)
    {
        tolua_Error err;
        if (!tolua_isusertype(L, 1, Tr::kConstType, 0, &err) || !tolua_isnoobj(L, 2, &err))
            return Fail(L, "#ferror in function 'size'.", &err);
        auto* self = static_cast<const V*>(tolua_tousertype(L, 1, nullptr));
        if (!self)
            return FailText(L, "invalid 'self' in function 'size'");
        lua_pushinteger(L, static_cast<lua_Integer>(self->size()));
        return 1;
    }
    // Index at lo within the vector, else the message on the stack.
    static bool Index(lua_State* L, const V& v, int lo, const char* szFunction, size_t* pIndex)
    {
        tolua_Error err;
        lua_Integer n = 0;
        if (!ToNumber<lua_Integer>(L, lo, 0, &n, &err) || n < 0 || static_cast<size_t>(n) >= v.size())
        {
            lua_pushfstring(L, "error in function '%s': index %s out of range for '%s' of size %d", szFunction,
                            luaL_tolstring(L, lo, nullptr), Tr::kType, static_cast<int>(v.size()));
            lua_remove(L, -2);
            return false;
        }
        *pIndex = static_cast<size_t>(n);
        return true;
    }
    static int GetiConstBody(lua_State* L)
    {
        tolua_Error err;
        if (!tolua_isusertype(L, 1, Tr::kConstType, 0, &err) || !tolua_isnumber(L, 2, 0, &err) ||
            !tolua_isnoobj(L, 3, &err))
            return Fail(L, "#ferror in function '.geti'.", &err);
        auto* self = static_cast<const V*>(tolua_tousertype(L, 1, nullptr));
        if (!self)
            return FailText(L, "invalid 'self' in function 'operator[]'");
        size_t i = 0;
        if (!Index(L, *self, 2, ".geti", &i))
            return -1;
        try
        {
            if constexpr (kCopyable)
                PushElement<E>(L, (*self)[i], Tr::kElemType);
            else
                tolua_pushusertype_part(L, const_cast<E*>(&(*self)[i]), Tr::kElemType, 1);
        }
        catch (const std::exception& e)
        {
            return FailException(L, ".geti", e.what());
        }
        return 1;
    }
    static int SetiBody(lua_State* L)
    {
        tolua_Error err;
        if (!tolua_isusertype(L, 1, Tr::kType, 0, &err) || !tolua_isnumber(L, 2, 0, &err) ||
            !CheckElement<E>(L, 3, Tr::kElemType, &err) || !tolua_isnoobj(L, 4, &err))
            return Fail(L, "#ferror in function '.seti'.", &err);
        auto* self = static_cast<V*>(tolua_tousertype(L, 1, nullptr));
        if (!self)
            return FailText(L, "invalid 'self' in function 'operator&[]'");
        size_t i = 0;
        if (!Index(L, *self, 2, ".seti", &i))
            return -1;
        try
        {
            if constexpr (kCopyable)
            {
                E value{};
                if (!GetElement<E>(L, 3, &value, &err))
                    return Fail(L, "#ferror in function '.seti'.", &err);
                (*self)[i] = value;
            }
            else
                return FailNotCopyable(L, ".seti");
        }
        catch (const std::exception& e)
        {
            return FailException(L, ".seti", e.what());
        }
        return 0;
    }
    // The non-const form, registered after the const one: reading an element is the same for
    // both, and a const vector falls back to the const form, which reports any mismatch.
    static int GetiBody(lua_State* L) { return GetiConstBody(L); }
    static int PushBackBody(lua_State* L)
    {
        tolua_Error err;
        if (!tolua_isusertype(L, 1, Tr::kType, 0, &err) || !CheckElement<E>(L, 2, Tr::kElemType, &err) ||
            !tolua_isnoobj(L, 3, &err))
            return Fail(L, "#ferror in function 'push_back'.", &err);
        auto* self = static_cast<V*>(tolua_tousertype(L, 1, nullptr));
        if (!self)
            return FailText(L, "invalid 'self' in function 'push_back'");
        try
        {
            if constexpr (kCopyable)
            {
                E value{};
                if (!GetElement<E>(L, 2, &value, &err))
                    return Fail(L, "#ferror in function 'push_back'.", &err);
                self->push_back(value);
            }
            else
                return FailNotCopyable(L, "push_back");
        }
        catch (const std::exception& e)
        {
            return FailException(L, "push_back", e.what());
        }
        return 0;
    }
    static int NewBody(lua_State* L, bool bLocal)
    {
        tolua_Error err;
        if (!tolua_isusertable(L, 1, Tr::kType, 0, &err) || !tolua_isnoobj(L, 2, &err))
            return Fail(L, "#ferror in function 'new'.", &err);
        try
        {
            auto* p = new V();
            if (bLocal)
                tolua_pushusertype_and_takeownership(L, p, Tr::kType);
            else
            {
                tolua_pushusertype(L, p, Tr::kType);
                tolua_markmade(L, p);
            }
        }
        catch (const std::exception& e)
        {
            return FailException(L, "new", e.what());
        }
        return 1;
    }
    static int DeleteBody(lua_State* L)
    {
        tolua_Error err;
        if (!tolua_isusertype(L, 1, Tr::kType, 0, &err) || !tolua_isnoobj(L, 2, &err))
            return Fail(L, "#ferror in function 'delete'.", &err);
        auto* self = static_cast<V*>(tolua_tousertype(L, 1, nullptr));
        if (!self)
            return FailText(L, "invalid 'self' in function 'delete'");
        tolua_released(self);
        delete self;
        return 0;
    }

    static int Clear(lua_State* L) { return Finish(L, ClearBody(L)); }
    static int Size(lua_State* L) { return Finish(L, SizeBody(L)); }
    static int GetiConst(lua_State* L) { return Finish(L, GetiConstBody(L)); }
    static int Seti(lua_State* L) { return Finish(L, SetiBody(L)); }
    static int Geti(lua_State* L) { return Finish(L, GetiBody(L)); }
    static int PushBack(lua_State* L) { return Finish(L, PushBackBody(L)); }
    static int New(lua_State* L) { return Finish(L, NewBody(L, false)); }
    static int NewLocal(lua_State* L) { return Finish(L, NewBody(L, true)); }
    static int Delete(lua_State* L) { return Finish(L, DeleteBody(L)); }
    static int Collect(lua_State* L)
    {
        auto* p = static_cast<V*>(tolua_tousertype(L, 1, nullptr));
        tolua_released(p);
        delete p;
        return 0;
    }

    // The class and its members, into the current module.
    static void Register(lua_State* L)
    {
        tolua_cclass(L, Tr::kLuaName, Tr::kType, "", Collect);
        tolua_beginmodule(L, Tr::kLuaName);
        tolua_function(L, "clear", Clear);
        tolua_function(L, "size", Size);
        tolua_function(L, ".geti", GetiConst);
        tolua_function(L, ".seti", Seti);
        tolua_function(L, ".geti", Geti);
        tolua_function(L, "push_back", PushBack);
        tolua_function(L, "new", New);
        tolua_function(L, "new_local", NewLocal);
        tolua_function(L, ".call", NewLocal);
        tolua_function(L, "delete", Delete);
        tolua_endmodule(L);
    }
};
} // namespace tolua_wrap
