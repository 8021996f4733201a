#pragma once
// Reads and writes the column mapping of the price CSV import under its DT_ keys in
// settei.db. Each call opens its own connection; one thread at a time.
#include "csv/CsvMapping.h"

#include <string>

namespace tavora::csv {

// The stored mapping over the defaults (the KABU+ layout when nothing is stored or the
// database does not open).
CsvMapping loadCsvMapping(const std::string& setteiDb);
// Writes every DT_ key in one transaction; false when the database does not open or a row fails.
bool storeCsvMapping(const std::string& setteiDb, const CsvMapping& mapping);

} // namespace tavora::csv
