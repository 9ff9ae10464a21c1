// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ProjectFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/CoreTexts.h"

namespace {

// The whole file, or false on any failure of open or read (a directory fails its read).
bool ReadAllBytes(const std::string &path, std::string &bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = true;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ok;
}

} // namespace

ProfileFile LoadProjectProfile(const std::string &path) {
    std::string bytes;
    if (!ReadAllBytes(path, bytes))
        throw ProjectFileError(ArgText(QT_TRANSLATE_NOOP("Core", "Не удалось прочитать файл %1"), {path}));
    ProfileFile profile = ProfileFile::Parse(bytes);
    for (const char *section : kProjectSections)
        if (profile.HasSection(section))
            return profile;
    throw ProjectFileError(ArgText(
        QT_TRANSLATE_NOOP("Core",
                          "Файл %1 не является проектом: в нем нет разделов MainForm, ParametersForm и "
                          "ElectroForm."),
        {path}));
}
