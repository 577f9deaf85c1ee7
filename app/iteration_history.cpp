// The history's rows as CSV, and their append.
#include "app/iteration_history.h"

#include <charconv>
#include <cmath>

#include "app/journal_append.h"
#include "app/result_text.h"
#include "platform/cp866.h"
#include "platform/format_text.h"
#include "platform/os_error.h"

namespace zarvo {

namespace {

tHistoryField Empty() {
    return {};
}

tHistoryField Integer(std::int64_t value) {
    tHistoryField field;
    field.Kind = tHistoryField::tKind::Integer;
    field.Integer = value;
    return field;
}

// Rounded once here, so that the CSV text and the JSON number agree.
tHistoryField Decimal(double value, int places) {
    tHistoryField field;
    field.Kind = tHistoryField::tKind::Decimal;
    double scale = std::pow(10.0, places);
    field.Decimal = std::round(value * scale) / scale;
    field.Places = places;
    return field;
}

tHistoryField Text(std::string text) {
    tHistoryField field;
    field.Kind = tHistoryField::tKind::Text;
    field.Text = std::move(text);
    return field;
}

tHistoryField Milliseconds(bool known, std::uint64_t micros) {
    return known ? Decimal(double(micros) / 1000.0, 3) : Empty();
}

} // namespace

std::vector<tHistoryField> HistoryFields(const tRunFacts& facts, const tIterationRecord& r) {
    return {
        Text(r.StartTime),
        Text(facts.Host),
        Text(facts.Directory),
        Integer(facts.FileSize),
        Integer(r.Iteration),
        Integer(r.WriteBytes),
        Integer(r.ReadBytes),
        Decimal(double(r.WriteMs) / 1000.0, 3),
        Decimal(double(r.ReadMs) / 1000.0, 3),
        r.WriteRated ? Decimal(RateOf(r.WriteBytes, r.WriteMs), 2) : Empty(),
        r.ReadRated ? Decimal(RateOf(r.ReadBytes, r.ReadMs), 2) : Empty(),
        Integer(r.ErrorBytes),
        r.FirstMismatch >= 0 ? Integer(r.FirstMismatch) : Empty(),
        Integer(r.MismatchBlocks),
        Integer(r.PersistentBlocks),
        Integer(r.TransientBlocks),
        Milliseconds(r.Write.Known, r.Write.P50),
        Milliseconds(r.Write.Known, r.Write.P99),
        Milliseconds(r.Write.Known, r.Write.Maximum),
        Milliseconds(r.Read.Known, r.Read.P50),
        Milliseconds(r.Read.Known, r.Read.P99),
        Milliseconds(r.Read.Known, r.Read.Maximum),
        Decimal(double(r.LongestStallMicros) / 1e6, 1),
        Text(r.Outcome),
    };
}

std::string CsvField(const tHistoryField& field) {
    switch (field.Kind) {
    case tHistoryField::tKind::Empty:
        return {};
    case tHistoryField::tKind::Integer:
        return std::to_string(field.Integer);
    case tHistoryField::tKind::Decimal: {
        char digits[64];
        // to_chars ignores the locale: the point is always ".".
        auto result = std::to_chars(digits, digits + sizeof digits, field.Decimal,
                                    std::chars_format::fixed, field.Places);
        return std::string(digits, result.ptr);
    }
    case tHistoryField::tKind::Text:
        break;
    }
    if (field.Text.find_first_of(",\"\r\n") == std::string::npos)
        return field.Text;
    std::string quoted = "\"";
    for (char c : field.Text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

std::string CsvHeading() {
    std::string line;
    for (std::string_view column : kHistoryColumns) {
        if (!line.empty())
            line += ',';
        line += column;
    }
    return line + '\n';
}

std::string CsvRow(const std::vector<tHistoryField>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += CsvField(fields[i]);
    }
    return line + '\n';
}

bool AppendHistory(const tRunFacts& facts, const tIterationRecord& record) {
    std::string row = CsvRow(HistoryFields(facts, record));
    return AppendWholeRecord(kHistoryFileName,
                             [&row](bool empty) { return empty ? CsvHeading() + row : row; });
}

std::string HistoryFailureText(int osError) {
    return FormatText("Не удалось записать историю %s\r(код: %d) %s"_oem,
                      {std::string(kHistoryFileName), osError, OsErrorText(osError)});
}

} // namespace zarvo
