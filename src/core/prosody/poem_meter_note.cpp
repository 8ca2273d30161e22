#include "core/prosody/poem_meter_note.h"

#include "core/prosody/meter_rules.h"
#include "core/prosody/scansion_detail.h"
#include "core/text/codepage.h"

namespace barqeen::prosody {

exchange::PoemMeterNote readPoemMeter(const std::vector<std::string>& verses)
{
    std::vector<QString> unicode;
    unicode.reserve(verses.size());
    for (const std::string& verse : verses)
        unicode.push_back(codepage::toUnicode(verse));
    const PoemMeter poem = poemMeter(unicode);
    exchange::PoemMeterNote note;
    note.known = poem.known;
    if (poem.known)
        note.meter = std::string(meterName(poem.meter));
    note.fitting = poem.fitting;
    note.notFitting = poem.notFitting;
    note.unread = poem.unread;
    return note;
}

}  // namespace barqeen::prosody
