#pragma once
// Whether a price database holds exactly what the program creates in it: table `kabukadb` and
// its two indexes, with the very statements PriceDatabase::open runs, and nothing else (no
// trigger, view or other table). A file from outside (a backup to restore) must pass this
// before it becomes the live database: a trigger in it would run on the program's next write.
// Any thread, on a connection of the calling thread.
#include <string>

struct sqlite3;

namespace tavora::market {

// Why the database's schema is not the price database's, in one line (objects named as
// "trigger \"name\""); empty when it is exactly that.
std::string priceSchemaProblem(sqlite3* db);

} // namespace tavora::market
