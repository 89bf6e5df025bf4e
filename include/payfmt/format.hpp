// payfmt for C++ code built with the library: what format.h offers, plus the
// functions that take C++ types. Only C++ translation units include this
// header; C hosts use format.h.
#ifndef PAYFMT_FORMAT_HPP
#define PAYFMT_FORMAT_HPP

#include <cstdint>
#include <string>

#include "format.h"

// Replaces result with the IStr text of count bytes at bytes: printable
// ASCII other than "#" stands for itself, every other byte is "#" and two
// upper-case hexadecimal digits ("AB#00#0D"). A null bytes reads as no bytes,
// whatever count says. result is the caller's string; nothing is handed out.
// No status and no error record: std::bad_alloc is the only failure, thrown
// to the caller. Takes the process lock like every export.
PAYFMT_API void RawToIStr(const void* bytes, std::uint32_t count, std::string& result);

#endif
