#pragma once
// Names the meter of a verse as a prosodist does: writes each hemistich as it is said, tries
// every meter with the changes it allows, and names the one that fits both hemistichs clearly
// better than any other, with the feet that prove it. When the evidence is not clear it names
// none: a wrong name is worse than no name.
#include "core/prosody/meter_rules.h"

#include <QString>

#include <string>
#include <cstdint>
#include <string_view>
#include <vector>

namespace barqeen::prosody {

struct Scansion {
    bool known = false;
    Meter meter = Meter::Tawil;
    Shape shape = Shape::Full;
    // The feet of each hemistich as scanned (UTF-8 names), one list a hemistich.
    std::vector<std::vector<std::string_view>> feet;
    // The verse is the same feet under two meters' names (الهزج and مجزوء الوافر with every foot
    // معصوب; الرجز and الكامل with every foot مضمر): no single meter is named (`known` is false),
    // `meter` and `shape` are the likelier, `otherMeter` and `otherShape` the other.
    bool ambiguous = false;
    Meter otherMeter = Meter::Tawil;
    Shape otherShape = Shape::Full;
};

// How well one meter fits a verse: the cost of the readings and changes it needs (lower is
// better), with its best shape and feet.
struct MeterFit {
    Meter meter;
    Shape shape;
    float cost;
    float readingCost;  // the part of `cost` owed to unlikely readings of the text
    std::vector<std::vector<std::string_view>> feet;
    std::vector<std::vector<std::string_view>> footPatterns;  // each foot's letters, "11010"
};
// Every meter that fits the verse at all, the best first.
std::vector<MeterFit> meterFits(const QString& verse);

// The verse as Unicode text: its hemistichs separated by a line break or a TAB.
Scansion scanVerse(const QString& verse);
// The verse as the program holds it (Windows-1256, hemistichs on two lines).
Scansion scanVerseBytes(std::string_view verse);

// The hemistichs of a verse: split at line breaks and TABs (or, in a line that has neither, at
// stars or a gap of three spaces as printed books set them apart), blank pieces dropped.
std::vector<QString> hemistichsOf(const QString& verse);

// "الطويل", "مجزوء الوافر", "مشطور الرجز": the meter with its form as the books name it.
std::string meterWithShape(Meter meter, Shape shape);

// "الطويل (تام): فعولن مفاعيلن فعولن مفاعلن / فعولن مفاعيلن فعولن مفاعيلن", or «غير معروف»; two meters
// that fit alike as "الهزج أو مجزوء الوافر: مفاعيلن مفاعيلن / مفاعيلن مفاعيلن".
std::string describe(const Scansion& scansion);
// The feet of one hemistich, separated by spaces.
std::string feetText(const std::vector<std::string_view>& feet);

inline constexpr std::string_view kUnknownMeter = "غير معروف";

// Raised with every change here that may name a verse's meter otherwise: meters kept from an
// older reading (Poem.meters) are then made again.
inline constexpr uint32_t kScannerRevision = 2;  // 2: the bare «ام», inner marks, cut words

}  // namespace barqeen::prosody
