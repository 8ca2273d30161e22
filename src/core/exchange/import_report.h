#pragma once
// What an import tells its user: a short summary in Arabic, and a report file beside the source
// listing each refused line with its number and reason.
#include "core/exchange/verse_import.h"

#include <string>

namespace barqeen::exchange {

std::string refusalName(Refusal reason);  // Arabic, UTF-8

// The file's format and encoding, and for plain text how its hemistichs are laid out (UTF-8).
std::string sourceText(const ImportResult& result);

// The import's outcome in a few lines (UTF-8): how many verses were taken, how many lines were
// refused and why, the poets and categories made, and where the report is.
std::string summaryText(const ImportResult& result);

// "DIR/poems.csv" -> "DIR/poems.csv.import-report.txt"
std::string reportPathFor(const std::string& source);

// Writes the report of a finished import beside its source and records its path in the result,
// or why it could not be written (the import itself stands).
void writeReport(ImportResult& result);

}  // namespace barqeen::exchange
