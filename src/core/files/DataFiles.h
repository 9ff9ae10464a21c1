// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Output files for machines: CSV tables and a small JSON writer. Locale-independent: "." as decimal
// point, "," between CSV fields, a header row with units, and every number in the shortest form
// that reads back as the same double.

#include <cstddef>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

class TSignalRecord;

// Shortest round-trip text of a double ("0.1", "-2.5e-07", "inf", "nan").
std::string ShortestNumber(double value);

// The header line (SignalsCsvHeader of the record's signals), then one row per sample of the record.
// Returns false when the stream failed.
bool WriteSignalsCsv(std::ostream &out, const TSignalRecord &record);

// The header line, then row i of every column; the columns have equal length.
bool WriteColumnsCsv(std::ostream &out, std::string_view header,
                     std::initializer_list<const std::vector<double> *> columns);

// A JSON object written member by member, nested objects by Begin/End.
class JsonWriter {
public:
    JsonWriter &Begin(std::string_view key = {});
    JsonWriter &End();
    JsonWriter &Number(std::string_view key, double value); // non-finite values become null
    JsonWriter &Integer(std::string_view key, long long value);
    JsonWriter &String(std::string_view key, std::string_view value);
    JsonWriter &Bool(std::string_view key, bool value);
    const std::string &Text() const { return FText; }

private:
    void Key(std::string_view key);
    void Quoted(std::string_view text);
    std::string FText;
    std::vector<bool> FFirst; // per open object: no member written yet
};
