#include "app/core/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

namespace tavora::app {

namespace {

std::int64_t overlapArea(const PlaceRect& a, const PlaceRect& b) {
    const std::int64_t w = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const std::int64_t h = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

PlaceRect withFrame(const PlaceRect& client, const FrameMargins& f) {
    return {client.x - f.left, client.y - f.top, client.width + f.left + f.right,
            client.height + f.top + f.bottom};
}

// The screen holding the largest part of `outer`; none when it touches no screen.
std::optional<std::size_t> screenOf(const std::vector<PlaceRect>& screens, const PlaceRect& outer) {
    std::optional<std::size_t> best;
    std::int64_t bestArea = 0;
    for (std::size_t i = 0; i < screens.size(); ++i)
        if (const std::int64_t area = overlapArea(screens[i], outer); area > bestArea) {
            best = i;
            bestArea = area;
        }
    return best;
}

// The start of a span of `length` placed at `wanted` and moved inside [from, from + room); a
// span longer than the room starts at `from`.
int clampSpan(int wanted, int length, int from, int room) {
    if (length >= room)
        return from;
    return std::clamp(wanted, from, from + room - length);
}

} // namespace

PlaceRect placeWindow(const PlacementInput& in) {
    const PlaceRect asGiven =
        in.stored ? *in.stored : PlaceRect{0, 0, in.defaultSize.width, in.defaultSize.height};
    if (in.screens.empty())
        return asGiven;

    const FrameMargins& f = in.frame;
    std::optional<std::size_t> onScreen;
    if (in.stored)
        onScreen = screenOf(in.screens, withFrame(*in.stored, f));
    const bool centre = !onScreen;
    const std::size_t opening =
        in.openingScreen >= 0 && std::size_t(in.openingScreen) < in.screens.size() ? std::size_t(in.openingScreen) : 0;
    const PlaceRect& area = in.screens[onScreen.value_or(opening)];

    const int roomWidth = area.width - f.left - f.right;
    const int roomHeight = area.height - f.top - f.bottom;
    PlaceRect r;
    r.width = std::max(in.minimumSize.width, std::min(asGiven.width, roomWidth));
    r.height = std::max(in.minimumSize.height, std::min(asGiven.height, roomHeight));
    const int outerWidth = r.width + f.left + f.right;
    const int outerHeight = r.height + f.top + f.bottom;
    const int wantedX = centre ? area.x + (area.width - outerWidth) / 2 : asGiven.x - f.left;
    const int wantedY = centre ? area.y + (area.height - outerHeight) / 2 : asGiven.y - f.top;
    r.x = clampSpan(wantedX, outerWidth, area.x, area.width) + f.left;
    r.y = clampSpan(wantedY, outerHeight, area.y, area.height) + f.top;
    return r;
}

} // namespace tavora::app
