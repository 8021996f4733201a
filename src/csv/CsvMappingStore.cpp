#include "csv/CsvMappingStore.h"

#include "settings/SettingsStore.h"

namespace tavora::csv {

CsvMapping loadCsvMapping(const std::string& setteiDb) {
    return mappingFromStored(settings::SettingsStore(setteiDb).readStored());
}

bool storeCsvMapping(const std::string& setteiDb, const CsvMapping& mapping) {
    return settings::SettingsStore(setteiDb).write(mappingKeyValues(mapping));
}

} // namespace tavora::csv
