// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DataFiles.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "circuit/SignalRecord.h"

std::string ShortestNumber(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

namespace {

void AppendNumber(std::string &line, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    line.append(buffer, result.ptr);
}

} // namespace

bool WriteSignalsCsv(std::ostream &out, const TSignalRecord &record) {
    std::string block = SignalsCsvHeader(record.Signals());
    block += '\n';
    const int signals = record.SignalCount();
    for (std::size_t i = 0; i < record.Count(); ++i) {
        AppendNumber(block, record.Time(i));
        for (int s = 0; s < signals; ++s) {
            block += ',';
            AppendNumber(block, record.Value(s, i));
        }
        block += '\n';
        if (block.size() > (1u << 16)) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    return static_cast<bool>(out);
}

bool WriteColumnsCsv(std::ostream &out, std::string_view header,
                     std::initializer_list<const std::vector<double> *> columns) {
    std::string block(header);
    block += '\n';
    const std::size_t rows = columns.size() ? (*columns.begin())->size() : 0;
    for (std::size_t i = 0; i < rows; ++i) {
        bool first = true;
        for (const std::vector<double> *c : columns) {
            if (!first)
                block += ',';
            first = false;
            AppendNumber(block, i < c->size() ? (*c)[i] : std::nan(""));
        }
        block += '\n';
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    return static_cast<bool>(out);
}

void JsonWriter::Quoted(std::string_view text) {
    FText += '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            FText += "\\\"";
            break;
        case '\\':
            FText += "\\\\";
            break;
        case '\n':
            FText += "\\n";
            break;
        case '\r':
            FText += "\\r";
            break;
        case '\t':
            FText += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                FText += escaped;
            } else {
                FText += c; // UTF-8 bytes pass as they are
            }
        }
    }
    FText += '"';
}

// A member's key on a new line of the open object; nothing for the outermost object.
void JsonWriter::Key(std::string_view key) {
    if (FFirst.empty())
        return;
    if (!FFirst.back())
        FText += ',';
    FFirst.back() = false;
    FText += '\n';
    FText.append(2 * FFirst.size(), ' ');
    Quoted(key);
    FText += ": ";
}

JsonWriter &JsonWriter::Begin(std::string_view key) {
    Key(key);
    FText += '{';
    FFirst.push_back(true);
    return *this;
}

JsonWriter &JsonWriter::End() {
    const bool empty = FFirst.back();
    FFirst.pop_back();
    if (!empty) {
        FText += '\n';
        FText.append(2 * FFirst.size(), ' ');
    }
    FText += '}';
    if (FFirst.empty())
        FText += '\n';
    return *this;
}

JsonWriter &JsonWriter::Number(std::string_view key, double value) {
    Key(key);
    FText += std::isfinite(value) ? ShortestNumber(value) : std::string("null");
    return *this;
}

JsonWriter &JsonWriter::Integer(std::string_view key, long long value) {
    Key(key);
    FText += std::to_string(value);
    return *this;
}

JsonWriter &JsonWriter::Bool(std::string_view key, bool value) {
    Key(key);
    FText += value ? "true" : "false";
    return *this;
}

JsonWriter &JsonWriter::String(std::string_view key, std::string_view value) {
    Key(key);
    Quoted(value);
    return *this;
}
