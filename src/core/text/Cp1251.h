// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows-1251, the 8-bit code page of the project files, to and from UTF-8 (the text of the
// program everywhere else). A fixed table: the core links no Qt and needs no iconv.

#include <cstddef>
#include <string>
#include <string_view>

// Every byte maps to one code point; 0x98, unassigned in the code page, maps to U+0098 so that
// decoding never fails and re-encoding gives the same byte back.
std::string Cp1251ToUtf8(std::string_view bytes);

// Code points without a Windows-1251 byte, and bytes that are not valid UTF-8, become '?'.
std::string Utf8ToCp1251(std::string_view text);

// True when every code point of `text` has a Windows-1251 byte (and the text is valid UTF-8).
bool IsCp1251Representable(std::string_view text);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no truncated sequence.
bool IsValidUtf8(std::string_view text);

// Decodes the code point at `pos` and advances `pos` past it. An invalid or truncated sequence
// yields false and advances by one byte, so a loop over any bytes always ends.
bool NextUtf8(std::string_view text, std::size_t &pos, char32_t &cp);
