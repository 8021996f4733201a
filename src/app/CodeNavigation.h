#pragma once
// Which catalogue entry the navigation buttons make current. Plain logic, any thread.
#include "app/core/Commands.h"
#include "market/CodeList.h"

#include <cstddef>
#include <optional>

namespace tavora::app {

// The index to make current for command 537 (first), 266 (previous), 265 (next) or 538
// (last), or none when nothing changes. In favourites-only mode only marked entries count.
std::optional<std::size_t> navigationTarget(const market::CodeList& catalogue, std::optional<std::size_t> current,
                                            Command which, bool favouritesOnly);

// The first entry with a favourite mark; none when no entry has one.
std::optional<std::size_t> firstFavourite(const market::CodeList& catalogue);

}  // namespace tavora::app
