// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A reader and writer of the INI layout of the project files: "[section]" lines and "key=value"
// entries, section and key names compared without regard to letter case (ASCII and Cyrillic),
// blanks (spaces, tabs) around names and values not part of them. Any other line (comments, blank
// lines, text before the first section) is kept as it is. Texts are UTF-8 in memory; the file holds
// Windows-1251 bytes.

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A failed save; what() is "Unable to write to <path>", the text the windows show.
class ProfileWriteError : public std::runtime_error {
public:
    explicit ProfileWriteError(const std::string &path)
        : std::runtime_error("Unable to write to " + path), path_(path) {}
    const std::string &Path() const { return path_; }

private:
    std::string path_;
};

class ProfileFile {
public:
    // A missing or unreadable file gives an empty profile. The bytes are read as Windows-1251,
    // except that a file that is valid UTF-8 and holds non-ASCII bytes is read as UTF-8 (a leading
    // byte-order mark is dropped).
    static ProfileFile Load(const std::string &path);
    // The same decoding from bytes in memory; lines end with LF or CRLF.
    static ProfileFile Parse(std::string_view bytes);

    // The value of the first entry `key` in a section `section`, blanks around it dropped.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    // Read, or `def` when missing; a stored value is cut to `maxChars` characters.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def,
                           std::size_t maxChars = 2047) const;
    bool HasSection(std::string_view section) const;

    // Removes every section of that name with all its lines.
    void EraseSection(std::string_view section);
    // Replaces the first existing entry in place, else appends the entry to the section (after its
    // last non-blank line), creating the section at the end when needed. Line breaks inside key or
    // value would split the entry, so they are written as blanks.
    void Write(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes: CRLF line ends; Windows-1251, or UTF-8 when some text has no Windows-1251
    // character (so that nothing typed is lost) or when the Windows-1251 bytes would happen to read
    // as UTF-8. Parse(ToBytes()) always gives the same lines back.
    std::string ToBytes() const;
    // Writes ToBytes() through a temporary file in the same folder and an atomic rename: an
    // interrupted or failed save leaves the previous file as it was. A read-only existing file (by
    // access() or by its mode bits, which also holds for root), a read-only or missing folder, or
    // any write error throws ProfileWriteError. A symbolic link is followed; the file's mode is kept.
    void Save(const std::string &path) const;

    const std::vector<std::string> &Lines() const { return lines_; }

private:
    // [begin, end) line ranges of the bodies of the sections named `section`, in file order.
    struct Range {
        std::size_t header, begin, end;
    };
    std::vector<Range> Sections(std::string_view section) const;

    std::vector<std::string> lines_;
};
