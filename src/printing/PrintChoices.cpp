#include "printing/PrintChoices.h"

namespace tavora::printing {

namespace {
constexpr framework::ColorRef rgb(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}
} // namespace

PrintChoices initialChoices(int currentYear) {
    PrintChoices c;
    c.start = {currentYear, 1};
    return c;
}

LineColours lineColours(LineScheme scheme) {
    if (scheme == LineScheme::Grey)
        return {rgb(239, 239, 239), rgb(229, 229, 229), rgb(224, 224, 224),
                rgb(204, 204, 204), rgb(128, 128, 128), rgb(127, 127, 127)};
    return {rgb(239, 247, 255), rgb(229, 242, 255), rgb(224, 239, 255),
            rgb(204, 230, 255), rgb(137, 194, 255), rgb(127, 190, 255)};
}

} // namespace tavora::printing
