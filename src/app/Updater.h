#pragma once
// Starting the updater program at exit when the user asked for a software update.
#include <QStringList>

#include <string>

namespace tavora::app {

struct AppContext;

// The updater's path: <updater directory>/ZUpdater.
std::string updaterPath(const AppContext& ctx);
// Its arguments: "Tavora", the update account's user, password, host and port, and the
// pending-update text (empty when none was found).
QStringList updaterArguments(const AppContext& ctx);
// Starts the updater detached when the update-on-exit flag is set and the program exists;
// false when it was not started. The program does not wait for it.
bool startUpdaterIfRequested(const AppContext& ctx);

}  // namespace tavora::app
