#include "core/prosody/meter_finder.h"
#include "core/prosody/meter_rules.h"

#include <gtest/gtest.h>

namespace barqeen::prosody {
namespace {

// Each meter's key couplet names the meter in its own rhythm and then spells its feet.
TEST(KeyVerses, EachNamesItsOwnMeter)
{
    for (int m = 0; m < kMeterCount; ++m) {
        const Meter meter = Meter(m);
        const QString verse = QString::fromUtf8(meterKeyVerse(meter).data(), int(meterKeyVerse(meter).size()));
        const Scansion s = scanVerse(verse);
        // الرجز's and الهزج's key verses, all their feet sound, are also الكامل and مجزوء الوافر
        // with every foot changed: the verse alone gives both names.
        const bool pair = s.ambiguous && (s.meter == meter || s.otherMeter == meter) &&
                          (meter == Meter::Rajaz || meter == Meter::Hazaj);
        EXPECT_TRUE((s.known && s.meter == meter) || pair)
            << meterName(meter) << " -> " << describe(s);
    }
}

}  // namespace
}  // namespace barqeen::prosody
