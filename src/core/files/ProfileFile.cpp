// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ProfileFile.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include "files/AtomicFile.h"
#include "text/Cp1251.h"
#include "text/FormatSettings.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Lower case for ASCII and Cyrillic, enough to compare section and key names.
std::string Fold(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    char32_t cp = 0;
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t start = pos;
        if (!NextUtf8(s, pos, cp)) {
            out += s[start];
            continue;
        }
        if (cp >= U'A' && cp <= U'Z')
            cp += 0x20;
        else if (cp >= 0x0410 && cp <= 0x042F)
            cp += 0x20;
        else if (cp >= 0x0400 && cp <= 0x040F)
            cp += 0x50;
        else if (cp == 0x0490) // Ґ
            cp = 0x0491;
        out += Utf8(cp);
    }
    return out;
}

bool SectionHeader(std::string_view line, std::string_view &name) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[')
        return false;
    const std::size_t close = t.find(']');
    if (close == std::string_view::npos)
        return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

bool Entry(std::string_view line, std::string_view &key, std::string_view &value) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[')
        return false;
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
}

std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char &c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

[[noreturn]] void Fail(const std::string &path) {
    throw ProfileWriteError(path);
}

bool HasWriteBits(mode_t mode) {
    return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

} // namespace

ProfileFile ProfileFile::Load(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return {};
    return Parse(bytes);
}

ProfileFile ProfileFile::Parse(std::string_view bytes) {
    std::string text;
    bool ascii = true;
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii && IsValidUtf8(bytes)) {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
            bytes.remove_prefix(3);
        text = std::string(bytes);
    } else {
        text = Cp1251ToUtf8(bytes);
    }
    ProfileFile p;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        p.lines_.push_back(std::move(line));
        start = end + 1;
    }
    return p;
}

std::vector<ProfileFile::Range> ProfileFile::Sections(std::string_view section) const {
    const std::string want = Fold(Trim(section));
    std::vector<Range> out;
    bool inside = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (!SectionHeader(lines_[i], name))
            continue;
        if (inside)
            out.back().end = i;
        inside = Fold(name) == want;
        if (inside)
            out.push_back({i, i + 1, lines_.size()});
    }
    return out;
}

std::optional<std::string> ProfileFile::Read(std::string_view section, std::string_view key) const {
    const std::string want = Fold(Trim(key));
    for (const Range &r : Sections(section))
        for (std::size_t i = r.begin; i < r.end; ++i) {
            std::string_view k, v;
            if (Entry(lines_[i], k, v) && Fold(k) == want)
                return std::string(v);
        }
    return std::nullopt;
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key, std::string_view def,
                                    std::size_t maxChars) const {
    const auto v = Read(section, key);
    if (!v)
        return std::string(def);
    std::size_t pos = 0, chars = 0;
    char32_t cp = 0;
    while (pos < v->size() && chars < maxChars) {
        NextUtf8(*v, pos, cp);
        ++chars;
    }
    return v->substr(0, pos);
}

bool ProfileFile::HasSection(std::string_view section) const {
    return !Sections(section).empty();
}

void ProfileFile::EraseSection(std::string_view section) {
    const auto ranges = Sections(section);
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(it->header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(it->end));
}

void ProfileFile::Write(std::string_view section, std::string_view key, std::string_view value) {
    const std::string k = OneLine(Trim(key));
    std::string line = k;
    line += '=';
    line += OneLine(value);
    const std::string want = Fold(k);
    const auto ranges = Sections(section);
    for (const Range &r : ranges)
        for (std::size_t i = r.begin; i < r.end; ++i) {
            std::string_view ek, ev;
            if (Entry(lines_[i], ek, ev) && Fold(ek) == want) {
                lines_[i] = std::move(line);
                return;
            }
        }
    if (ranges.empty()) {
        std::string header = "[";
        header += OneLine(Trim(section));
        header += ']';
        lines_.push_back(std::move(header));
        lines_.push_back(std::move(line));
        return;
    }
    std::size_t at = ranges.front().begin;
    for (std::size_t i = ranges.front().begin; i < ranges.front().end; ++i)
        if (!Trim(lines_[i]).empty())
            at = i + 1;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

std::string ProfileFile::ToBytes() const {
    std::string text;
    for (const auto &l : lines_) {
        text += l;
        text += "\r\n";
    }
    if (IsCp1251Representable(text)) {
        std::string bytes = Utf8ToCp1251(text);
        // A rare run of Windows-1251 letters is also valid UTF-8 ("Р°" is D0 B0, "а" in UTF-8) and
        // would be misread by Load; UTF-8 reads back unambiguously.
        if (!IsValidUtf8(bytes) || bytes == text)
            return bytes;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.insert(0, "\xEF\xBB\xBF"); // Load drops one byte-order mark; keep the text's own
    return text;
}

void ProfileFile::Save(const std::string &path) const {
    const std::string target = ReplacedFile(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    // The rename would replace a read-only file, since only the folder's permission counts for it.
    if (exists && (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0 || !HasWriteBits(st.st_mode)))
        Fail(path);

    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
    struct stat dirSt {};
    if (::stat(folder.c_str(), &dirSt) != 0 || !S_ISDIR(dirSt.st_mode) || !HasWriteBits(dirSt.st_mode) ||
        ::access(folder.c_str(), W_OK) != 0)
        Fail(path);
    if (!WriteFileAtomically(target, ToBytes()))
        Fail(path);
}
