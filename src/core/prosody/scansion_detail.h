#pragma once
// The scansion (التقطيع) a student checks: for each hemistich the letters as said, the pattern of
// moving and silent letters, and each foot with the words it covers and the change it carries.
// Where no meter is named, the closest meter and the foot where the verse leaves it.
#include "core/prosody/meter_finder.h"

#include <QString>

#include <string>
#include <vector>

namespace barqeen::prosody {

struct FootDetail {
    std::string_view name;     // as scanned, "مفاعلن"
    std::string_view pattern;  // "110110"
    std::string change;        // "قبض", or empty for a sound foot
    QString text;              // the written words it covers; a word it shares is cut with "ـ"
};

struct HemistichDetail {
    QString said;                 // each word with its pattern: "أَلا(110) في(10) …"
    std::string pattern;          // "1101011010…"
    std::vector<FootDetail> feet;  // empty when the meter is not known
};

struct VerseDetail {
    Scansion scansion;
    std::vector<HemistichDetail> hemistichs;
    // When no meter is named: the meter whose patterns the verse follows furthest, the hemistich
    // (0 or 1) and the foot (from 0) where it leaves it; `closestKnown` false when none at all.
    bool closestKnown = false;
    Meter closest = Meter::Tawil;
    Shape closestShape = Shape::Full;
    int breaksInHemistich = -1;
    int breaksAtFoot = -1;
};

VerseDetail scanInDetail(const QString& verse);

// The books' strokes and circles: "/" for a moving letter, "o" for a silent one.
QString strokes(std::string_view pattern);
// "الأول" / "الثاني": the hemistich (from 0) as the scansion names it.
QString hemistichName(size_t hemistich);
// Where no meter is named: "أقرب البحور إليه: …، ويخرج عنه في الشطر … عند التفعيلة …"; empty
// when no meter comes close.
QString closestMeterSentence(const VerseDetail& detail);

// The change a foot carries, from the sound foot of its place: "خبن", "قبض", "حذف" … or
// "زحاف"/"علة" when the books' name is not known here.
std::string changeName(std::string_view sound, std::string_view scanned, bool lastFoot);

// The whole poem's meter, decided from all its verses: the meter that fits the most verses best,
// and the verses (from 0) that do not fit it.
struct PoemMeter {
    bool known = false;
    Meter meter = Meter::Tawil;
    int fitting = 0;
    std::vector<int> notFitting;  // read as another meter's, or only so
    std::vector<int> unread;      // no meter reads them at all (a bare text the scanner misreads)
};
PoemMeter poemMeter(const std::vector<QString>& verses);

}  // namespace barqeen::prosody
