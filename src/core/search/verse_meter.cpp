#include "core/search/verse_meter.h"

#include "core/prosody/meter_finder.h"
#include "core/prosody/meter_rules.h"

namespace barqeen {

const uint8_t kNoMeterNamed = uint8_t(prosody::kMeterCount);

int MeterChoiceCount()
{
    return prosody::kMeterCount + 1;
}

std::string MeterChoiceName(int choice)
{
    if (choice >= 0 && choice < prosody::kMeterCount)
        return std::string(prosody::meterName(prosody::Meter(choice)));
    return std::string(prosody::kUnknownMeter);
}

VerseMeter VerseMeterOf(std::string_view text)
{
    const prosody::Scansion s = prosody::scanVerseBytes(text);
    VerseMeter m;
    m.first = s.known || s.ambiguous ? uint8_t(s.meter) : kNoMeterNamed;
    m.second = s.ambiguous ? uint8_t(s.otherMeter) : kNoMeterNamed;
    return m;
}

bool MeterMatches(int choice, VerseMeter meter)
{
    if (choice == kNoMeterNamed)
        return meter.first == kNoMeterNamed;
    return choice >= 0 && choice < kNoMeterNamed && (meter.first == choice || meter.second == choice);
}

}  // namespace barqeen
