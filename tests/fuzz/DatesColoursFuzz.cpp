// Dates and colour texts as files and settings store them. Invariants: a date the strict
// reader takes is a real day and comes back in canonical form; the date arithmetic stays
// within real dates; a bar given any date text keeps a date number that fits; a colour text
// that reads as a value reads the same after writing it back.
// fuzz-seeds: data/marketday/marketday_usa.csv
#include "FuzzSupport.h"
#include "framework/ColorText.h"
#include "framework/Dates.h"
#include "market/Keisen.h"

using namespace tavora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const int shift = static_cast<std::int8_t>(in.byte()) * 97;
    const std::string_view text = in.rest();

    if (const auto d = framework::parseDate(text)) {
        fuzz::check(framework::isValidDate(d->year, d->month, d->day), "parseDate took no real day", text);
        const std::string canonical = framework::canonicalDate(text);
        fuzz::check(canonical.size() == 10 && canonical[4] == '-' && canonical[7] == '-',
                    "canonical date not YYYY-MM-DD", canonical);
        fuzz::check(framework::parseDate(canonical) == d, "canonical date reads differently", canonical);
        fuzz::check(framework::ConvertCarenderToInt(text) == framework::dateNumber(*d), "date number differs",
                    text);
        for (const std::string& moved :
             {framework::GetDayOfDifferDay(text, shift), framework::GetDayOfDifferMonth(text, shift / 97)}) {
            // Far enough from the ends of the calendar, a shifted real day is a real day.
            if (d->year > 100 && d->year < 9900)
                fuzz::check(framework::parseDate(moved).has_value(), "a shifted date is not a date", moved);
        }
    } else {
        fuzz::check(framework::canonicalDate(text).empty(), "canonical form of a non-date", text);
    }

    const framework::YmdDate loose = framework::splitDate(text);
    (void)framework::weekKey(loose.year, loose.month, loose.day);
    market::KeisenElm bar;
    bar.setDate(text);
    fuzz::check(bar.year >= 0 && bar.year <= 99999 && bar.month >= 0 && bar.month <= 99 && bar.day >= 0 &&
                    bar.day <= 99,
                "a bar date that does not pack", text);
    (void)bar.dateNumber();
    (void)bar.weekKey();

    const std::uint32_t colour = framework::ConvertTCHARtoCR(text);
    fuzz::check(framework::ConvertTCHARtoCR(framework::ConvertCRtoTCHAR(colour)) == colour,
                "a colour does not survive writing it back", text);
    return 0;
}
