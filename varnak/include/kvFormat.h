#pragma once

#include <wx/buffer.h>
#include <wx/string.h>

#include <cstdarg>
#include <cstddef>
#include <string>
#include <type_traits>

// The log's printf-style formatter. Wide formats are handled here, never by the C library, so that
// wide and narrow arguments mean the same on every platform and numbers ignore the locale.
//
// Conversions: %s a wide string (const wchar_t*), %S a narrow UTF-8 string (const char*); %ls is
// always wide and %hs always narrow. %c a wide character, %C a narrow one. %d %i %u %o %x %X with
// the length modifiers hh h l ll j z t (and I64, I32); %f %F %e %E %g %G %a %A (L for long double),
// written with "." whatever the locale; %p; %%. Flags - + space # 0, width and precision (also as
// *). A string's precision counts characters, also for narrow strings. A null string argument
// writes "(null)"; invalid UTF-8 becomes U+FFFD. %n is consumed and ignored (it never writes). An
// unknown conversion and a lone % at the end are copied as they stand.
//
// Arguments must match their conversions as for printf. Besides numbers and pointers the callers
// may pass a wxString (or its c_str()) or a std::wstring for %s and a wxCharBuffer (utf8_str()) for
// %S: they are passed on as their text. Any other class, std::string included (pass its c_str()
// for %S), is refused at compile time, where a C variadic call would take it silently and read
// garbage.

namespace kv_format_detail
{
// Exact types only: a std::string would otherwise slip in through wxString's converting constructor.
template <typename T>
requires std::is_same_v<T, wxString> || std::is_same_v<T, std::wstring>
const wchar_t* Arg(const T& s)
{
    return s.c_str();
}
template <typename T>
requires std::is_same_v<T, wxCStrData>
const wchar_t* Arg(const T& s)
{
    return s.AsWChar();
}
// wxCharBuffer and wxWCharBuffer (and their scoped bases) bind here by derived-to-base deduction.
template <typename C> const C* Arg(const wxScopedCharTypeBuffer<C>& b)
{
    return b.data();
}
template <typename T>
concept PlainValue = std::is_arithmetic_v<T> || std::is_pointer_v<T> || std::is_enum_v<T> || std::is_null_pointer_v<T>;
template <PlainValue T> T Arg(T value)
{
    return value;
}

// The C variadic formatter behind kvFormat; the arguments are plain values by now.
wxString Format(const wchar_t* szFormat, ...);
} // namespace kv_format_detail

// Formats like printf with the conversions above. A null format gives an empty text. Any thread.
template <typename... Args> wxString kvFormat(const wchar_t* szFormat, const Args&... args)
{
    return kv_format_detail::Format(szFormat, kv_format_detail::Arg(args)...);
}
wxString kvFormatV(const wchar_t* szFormat, va_list args);
