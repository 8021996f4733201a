#include "app/CodeNavigation.h"

namespace tavora::app {

std::optional<std::size_t> firstFavourite(const market::CodeList& catalogue) {
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        if (catalogue[i].favourite)
            return i;
    return std::nullopt;
}

namespace {
std::optional<std::size_t> lastFavourite(const market::CodeList& catalogue) {
    for (std::size_t i = catalogue.size(); i-- > 0;)
        if (catalogue[i].favourite)
            return i;
    return std::nullopt;
}

std::optional<std::size_t> favouriteTarget(const market::CodeList& catalogue, std::optional<std::size_t> current,
                                           Command which) {
    switch (which) {
    case Command::FirstCode:
        return firstFavourite(catalogue);
    case Command::LastCode:
        return lastFavourite(catalogue);
    case Command::PrevCode:
        if (!current)
            return std::nullopt;
        for (std::size_t i = *current; i-- > 0;)
            if (catalogue[i].favourite)
                return i;
        return std::nullopt;
    case Command::NextCode:
        for (std::size_t i = current ? *current + 1 : 0; i < catalogue.size(); ++i)
            if (catalogue[i].favourite)
                return i;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}
}  // namespace

std::optional<std::size_t> navigationTarget(const market::CodeList& catalogue, std::optional<std::size_t> current,
                                            Command which, bool favouritesOnly) {
    if (catalogue.empty())
        return std::nullopt;
    if (current && *current >= catalogue.size())
        current.reset();
    if (favouritesOnly)
        return favouriteTarget(catalogue, current, which);
    const std::size_t last = catalogue.size() - 1;
    switch (which) {
    case Command::FirstCode:
        return current == std::size_t{0} ? std::nullopt : std::optional<std::size_t>(0);
    case Command::PrevCode:
        return !current || *current == 0 ? std::nullopt : std::optional<std::size_t>(*current - 1);
    case Command::NextCode:
        if (!current)
            return 0;
        return *current == last ? std::nullopt : std::optional<std::size_t>(*current + 1);
    case Command::LastCode:
        return last;
    default:
        return std::nullopt;
    }
}

}  // namespace tavora::app
