#pragma once
// Whether a price database holds exactly what the program creates in it: table `kabukadb` and
// its two indexes, with the very statements PriceDatabase::open runs, and nothing else (no
// trigger, view or other table). A file from outside (a backup to restore) must pass this
// before it becomes the live database: a trigger in it would run on the program's next write.
// Any thread, on a connection of the calling thread.
#include "framework/Result.h"
#include "framework/Sql.h"

namespace tavora::market {

// Fails, saying why in one line (objects named as "trigger \"name\""), unless the database's
// schema is exactly the price database's. The reason is technical English that serves both
// texts (the window shows it beside its own Japanese status).
framework::Result<> checkPriceSchema(framework::ZSqlElement& db);

} // namespace tavora::market
