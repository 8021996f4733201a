#include "app/FileDialogPlaces.h"

#include "app/core/UserOutput.h"
#include "framework/ui/FileDialog.h"
#include "settings/SettingsStore.h"

namespace tavora::app {

void installFileDialogPlaces(const AppContext& ctx) {
    const std::string settingsFile = ctx.paths.setteiDb;
    framework::ui::FileDialogPlaces places;
    places.keptFolders = keptFolders(ctx.paths);
    places.readSetting = [settingsFile](const std::string& key) {
        const auto stored = settings::SettingsStore(settingsFile).readStored();
        const auto it = stored.find(key);
        return it == stored.end() ? std::string() : it->second;
    };
    places.writeSetting = [settingsFile](const std::string& key, const std::string& value) {
        settings::SettingsStore(settingsFile).write({{key, value}});
    };
    framework::ui::FileDialog::setPlaces(std::move(places));
}

} // namespace tavora::app
