#include "core/prosody/scansion_detail.h"

#include "core/prosody/pattern_trie.h"
#include "core/prosody/prosodic_writing.h"

#include <algorithm>
#include <limits>
#include <map>
#include <utility>

namespace barqeen::prosody {
namespace {

constexpr float kNever = std::numeric_limits<float>::infinity();
// A verse fits the poem's meter when that meter reads it for no more than this above the verse's
// own best.
constexpr float kPoemSlack = 1.0f;

// The sound last foot of each meter in its form.
std::string_view soundLastFoot(Meter meter, Shape shape)
{
    switch (meter) {
    case Meter::Tawil: return "مفاعيلن";
    case Meter::Madid: return "فاعلاتن";
    case Meter::Basit: return shape == Shape::Full ? "فاعلن" : "مستفعلن";
    case Meter::Wafir: return "مفاعلتن";
    case Meter::Kamil: return "متفاعلن";
    case Meter::Hazaj: return "مفاعيلن";
    case Meter::Rajaz: return "مستفعلن";
    case Meter::Ramal: return "فاعلاتن";
    case Meter::Sari: return "مفعولات";
    case Meter::Munsarih: return "مفعولات";
    case Meter::Khafif: return shape == Shape::Full ? "فاعلاتن" : "مستفع لن";
    case Meter::Mudari: return "فاع لاتن";
    case Meter::Muqtadab: return "مستفعلن";
    case Meter::Mujtath: return "فاعلاتن";
    case Meter::Mutaqarib: return "فعولن";
    case Meter::Mutadarik: return "فاعلن";
    }
    return {};
}

// The ones shown by name; the rest are said to be a زحاف or an علة.
const std::map<std::pair<std::string_view, std::string_view>, std::string_view>& changes()
{
    static const std::map<std::pair<std::string_view, std::string_view>, std::string_view> names = {
        {{"مستفعلن", "مفاعلن"}, "خبن"},     {{"مستفعلن", "مفتعلن"}, "طي"},
        {{"مستفعلن", "فعلتن"}, "خبل"},      {{"مستفعلن", "مفعولن"}, "قطع"},
        {{"مستفعلن", "فعولن"}, "خبن وقطع"}, {{"متفاعلن", "مستفعلن"}, "إضمار"},
        {{"متفاعلن", "مفاعلن"}, "وقص"},     {{"متفاعلن", "مفتعلن"}, "خزل"},
        {{"متفاعلن", "فعلاتن"}, "قطع"},     {{"متفاعلن", "مفعولن"}, "إضمار وقطع"},
        {{"متفاعلن", "فعلن"}, "حذذ"},       {{"مفاعلتن", "مفاعيلن"}, "عصب"},
        {{"مفاعلتن", "مفاعلن"}, "عقل"},     {{"مفاعلتن", "فعولن"}, "قطف"},
        {{"مفاعيلن", "مفاعيل"}, "كف"},      {{"مفاعيلن", "مفاعلن"}, "قبض"},
        {{"مفاعيلن", "فعولن"}, "حذف"},      {{"فعولن", "فعول"}, "قبض"},
        {{"فعولن", "فعل"}, "حذف"},          {{"فاعلن", "فعلن"}, "خبن"},
        {{"فاعلاتن", "فعلاتن"}, "خبن"},     {{"فاعلاتن", "فاعلات"}, "كف"},
        {{"فاعلاتن", "فعلات"}, "شكل"},      {{"فاعلاتن", "فاعلن"}, "حذف"},
        {{"فاعلاتن", "فعلن"}, "خبن وحذف"},  {{"فاعلاتن", "فاعلان"}, "قصر"},
        {{"مفعولات", "فاعلات"}, "طي"},      {{"مفعولات", "فعولات"}, "خبن"},
        {{"مفعولات", "مفعولن"}, "كسف"},     {{"مفعولات", "فاعلن"}, "طي وكسف"},
        {{"مستفع لن", "مفاعلن"}, "خبن"},    {{"فاع لاتن", "فاع لات"}, "كف"},
    };
    return names;
}

// The cheapest readings of the slots that say exactly `target`: for each pronounced letter, the
// slot it came from; empty when none does.
std::vector<int> align(const std::vector<Slot>& row, const std::string& target)
{
    const size_t n = target.size();
    std::vector<std::vector<float>> best(row.size() + 1, std::vector<float>(n + 1, kNever));
    std::vector<std::vector<int>> from(row.size() + 1, std::vector<int>(n + 1, -1));
    best[0][0] = 0;
    for (size_t s = 0; s < row.size(); ++s)
        for (size_t at = 0; at <= n; ++at) {
            if (best[s][at] == kNever)
                continue;
            for (const Reading& r : row[s]) {
                const std::string said = patternOf(r);
                if (at + said.size() > n || target.compare(at, said.size(), said) != 0)
                    continue;
                const float cost = best[s][at] + r.cost;
                if (cost < best[s + 1][at + said.size()]) {
                    best[s + 1][at + said.size()] = cost;
                    from[s + 1][at + said.size()] = int(at);
                }
            }
        }
    if (best[row.size()][n] == kNever)
        return {};
    std::vector<int> slotOf(n, 0);
    size_t at = n;
    for (size_t s = row.size(); s > 0; --s) {
        const int before = from[s][at];
        for (size_t k = size_t(before); k < at; ++k)
            slotOf[k] = int(s - 1);
        at = size_t(before);
    }
    return slotOf;
}

// The words of letters [a, b); a word that goes on before or after is marked cut with "ـ".
QString wordsBetween(const std::vector<int>& wordAt, const std::vector<QString>& words, size_t a, size_t b)
{
    QString text;
    int last = -1;
    for (size_t k = a; k < b && k < wordAt.size(); ++k) {
        const int w = wordAt[k];
        if (w == last)
            continue;
        if (!text.isEmpty())
            text += u' ';
        if (k == a && k > 0 && wordAt[k - 1] == w)
            text += QChar(0x0640);
        text += words[size_t(w)];
        last = w;
    }
    if (b < wordAt.size() && b > a && wordAt[b] == wordAt[b - 1])
        text += QChar(0x0640);
    return text;
}

void fillFeet(HemistichDetail& detail, const std::vector<Slot>& row, const std::vector<int>& wordOfSlot,
              const std::vector<QString>& words, const std::vector<std::string_view>& names,
              const std::vector<std::string_view>& patterns, std::string_view soundLast,
              const std::vector<std::string_view>& soundInner)
{
    std::string target;
    for (const std::string_view p : patterns)
        target += p;
    const std::vector<int> slotAt = align(row, target);
    std::vector<int> wordAt;
    for (const int s : slotAt)
        wordAt.push_back(wordOfSlot.empty() ? 0 : wordOfSlot[size_t(s)]);
    detail.pattern = target;
    if (!wordAt.empty()) {
        detail.said.clear();
        for (size_t k = 0; k < wordAt.size();) {
            size_t end = k;
            while (end < wordAt.size() && wordAt[end] == wordAt[k])
                ++end;
            if (!detail.said.isEmpty())
                detail.said += u' ';
            detail.said += words[size_t(wordAt[k])] + u'(' + QString::fromStdString(target.substr(k, end - k)) + u')';
            k = end;
        }
    }
    size_t at = 0;
    for (size_t f = 0; f < names.size(); ++f) {
        FootDetail foot{names[f], patterns[f], {}, {}};
        const bool lastFoot = f + 1 == names.size();
        const std::string_view sound = lastFoot ? soundLast : f < soundInner.size() ? soundInner[f] : std::string_view();
        if (!sound.empty() && sound != names[f])
            foot.change = changeName(sound, names[f], lastFoot);
        if (!wordAt.empty())
            foot.text = wordsBetween(wordAt, words, at, at + patterns[f].size());
        at += patterns[f].size();
        detail.feet.push_back(std::move(foot));
    }
}

std::string likeliestOf(const std::vector<Slot>& row, const std::vector<int>& wordOfSlot,
                        const std::vector<QString>& words, QString& said)
{
    std::string pattern;
    int word = -1;
    QString piece;
    for (size_t s = 0; s < row.size(); ++s) {
        const auto best = std::min_element(row[s].begin(), row[s].end(),
                                           [](const Reading& a, const Reading& b) { return a.cost < b.cost; });
        const std::string one = best == row[s].end() ? std::string() : patternOf(*best);
        if (wordOfSlot[s] != word) {
            if (word >= 0)
                said += (said.isEmpty() ? QString() : QStringLiteral(" ")) + words[size_t(word)] + u'(' + piece + u')';
            word = wordOfSlot[s];
            piece.clear();
        }
        piece += QString::fromStdString(one);
        pattern += one;
    }
    if (word >= 0)
        said += (said.isEmpty() ? QString() : QStringLiteral(" ")) + words[size_t(word)] + u'(' + piece + u')';
    return pattern;
}

// The inner feet of a form, sound.
std::vector<std::string_view> soundInnerFeet(Meter meter, Shape shape)
{
    for (const MeterForm& form : meterForms())
        if (form.meter == meter && form.shape == shape) {
            std::vector<std::string_view> feet;
            for (const FootChoices& choices : form.inner)
                feet.push_back(choices.front().name);
            return feet;
        }
    return {};
}

}  // namespace

std::string changeName(std::string_view sound, std::string_view scanned, bool lastFoot)
{
    const auto found = changes().find({sound, scanned});
    if (found != changes().end())
        return std::string(found->second);
    return lastFoot ? "علة" : "زحاف";
}

VerseDetail scanInDetail(const QString& verse)
{
    VerseDetail detail;
    const std::vector<QString> halves = readTogether(hemistichsOf(verse));
    detail.scansion = scanVerse(verse);
    const std::vector<MeterFit> fits = meterFits(verse);
    std::vector<std::vector<Slot>> rows;
    std::vector<std::vector<int>> wordsOfSlots;
    std::vector<std::vector<QString>> words;
    for (const QString& half : halves) {
        std::vector<int> wordOfSlot;
        std::vector<QString> texts;
        rows.push_back(prosodicWriting(half, &wordOfSlot, &texts));
        wordsOfSlots.push_back(std::move(wordOfSlot));
        words.push_back(std::move(texts));
        HemistichDetail h;
        h.pattern = likeliestOf(rows.back(), wordsOfSlots.back(), words.back(), h.said);
        detail.hemistichs.push_back(std::move(h));
    }
    // The meter shown: the one named (the likelier of two), else the closest that fits at all.
    const MeterFit* shown = nullptr;
    for (const MeterFit& f : fits)
        if ((detail.scansion.known || detail.scansion.ambiguous) && f.meter == detail.scansion.meter)
            shown = &f;
    if (!shown && !detail.scansion.known && !detail.scansion.ambiguous && !fits.empty()) {
        shown = &fits.front();
        detail.closestKnown = true;
        detail.closest = shown->meter;
        detail.closestShape = shown->shape;
    }
    if (shown) {
        const std::vector<std::string_view> inner = soundInnerFeet(shown->meter, shown->shape);
        for (size_t h = 0; h < detail.hemistichs.size() && h < shown->feet.size(); ++h) {
            HemistichDetail& hd = detail.hemistichs[h];
            hd.said.clear();
            fillFeet(hd, rows[h], wordsOfSlots[h], words[h], shown->feet[h], shown->footPatterns[h],
                     soundLastFoot(shown->meter, shown->shape), inner);
            if (hd.said.isEmpty())
                likeliestOf(rows[h], wordsOfSlots[h], words[h], hd.said);
        }
        return detail;
    }
    // No meter fits: the one whose hemistich patterns the likeliest reading follows furthest.
    const PatternTrie& trie = PatternTrie::instance();
    const bool single = detail.hemistichs.size() == 1;
    std::vector<std::vector<size_t>> reach(meterForms().size(), std::vector<size_t>(detail.hemistichs.size(), 0));
    std::vector<std::vector<int>> reachedBy(meterForms().size(), std::vector<int>(detail.hemistichs.size(), -1));
    for (int p = 0; p < trie.patternCount(); ++p) {
        const HemistichPattern& hp = trie.pattern(p);
        if (meterForms()[size_t(hp.form)].singleHemistich() != single)
            continue;
        std::string said;
        for (const FootForm* foot : hp.feet)
            said += foot->pattern;
        for (size_t h = 0; h < detail.hemistichs.size(); ++h) {
            const Role role = h + 1 == detail.hemistichs.size() ? Role::Last : Role::First;
            if (hp.role != role)
                continue;
            const std::string& own = detail.hemistichs[h].pattern;
            size_t same = 0;
            while (same < own.size() && same < said.size() && own[same] == said[same])
                ++same;
            if (same == own.size() && same == said.size())
                ++same;  // the whole hemistich
            if (same > reach[size_t(hp.form)][h]) {
                reach[size_t(hp.form)][h] = same;
                reachedBy[size_t(hp.form)][h] = p;
            }
        }
    }
    size_t bestReach = 0;
    int bestForm = -1;
    for (size_t f = 0; f < meterForms().size(); ++f) {
        size_t total = 0;
        for (const size_t r : reach[f])
            total += r;
        if (total > bestReach) {
            bestReach = total;
            bestForm = int(f);
        }
    }
    if (bestForm < 0)
        return detail;
    detail.closestKnown = true;
    detail.closest = meterForms()[size_t(bestForm)].meter;
    detail.closestShape = meterForms()[size_t(bestForm)].shape;
    for (size_t h = 0; h < detail.hemistichs.size(); ++h) {
        const size_t own = detail.hemistichs[h].pattern.size();
        if (reach[size_t(bestForm)][h] > own)
            continue;  // this hemistich is whole in the meter
        detail.breaksInHemistich = int(h);
        const int p = reachedBy[size_t(bestForm)][h];
        size_t at = 0;
        detail.breaksAtFoot = 0;
        if (p >= 0)
            for (const FootForm* foot : trie.pattern(p).feet) {
                at += foot->pattern.size();
                if (at > reach[size_t(bestForm)][h])
                    break;
                ++detail.breaksAtFoot;
            }
        break;
    }
    return detail;
}

QString strokes(std::string_view pattern)
{
    QString text;
    for (const char c : pattern)
        text += c == '1' ? u'/' : u'o';
    return text;
}

QString hemistichName(size_t hemistich)
{
    return hemistich == 0 ? QStringLiteral("الأول") : QStringLiteral("الثاني");
}

QString closestMeterSentence(const VerseDetail& detail)
{
    static const char* const kOrdinals[] = {"الأولى", "الثانية", "الثالثة", "الرابعة", "الخامسة", "السادسة"};
    if (!detail.closestKnown)
        return {};
    QString sentence = QStringLiteral("أقرب البحور إليه: ") +
                       QString::fromStdString(meterWithShape(detail.closest, detail.closestShape));
    if (detail.breaksInHemistich >= 0)
        sentence += QStringLiteral("، ويخرج عنه في الشطر %1 عند التفعيلة %2")
                        .arg(hemistichName(size_t(detail.breaksInHemistich)),
                             QString::fromUtf8(kOrdinals[std::clamp(detail.breaksAtFoot, 0, 5)]));
    return sentence;
}

PoemMeter poemMeter(const std::vector<QString>& verses)
{
    PoemMeter poem;
    std::vector<std::vector<MeterFit>> fits;
    std::vector<Scansion> named;
    for (const QString& verse : verses) {
        fits.push_back(meterFits(verse));
        named.push_back(scanVerse(verse));
    }
    // Per meter: the verses it reads nearly as well as their own best; ties go to the cheaper sum.
    std::vector<int> count(kMeterCount, 0);
    std::vector<float> sum(kMeterCount, 0);
    for (const std::vector<MeterFit>& f : fits) {
        if (f.empty())
            continue;
        for (const MeterFit& m : f)
            if (m.cost <= f.front().cost + kPoemSlack) {
                ++count[size_t(m.meter)];
                sum[size_t(m.meter)] += m.cost;
            }
    }
    int best = -1;
    for (int m = 0; m < kMeterCount; ++m)
        if (count[size_t(m)] > 0 &&
            (best < 0 || count[size_t(m)] > count[size_t(best)] ||
             (count[size_t(m)] == count[size_t(best)] && sum[size_t(m)] < sum[size_t(best)])))
            best = m;
    if (best < 0 || count[size_t(best)] * 2 <= int(verses.size()))
        return poem;
    poem.known = true;
    poem.meter = Meter(best);
    for (size_t v = 0; v < verses.size(); ++v) {
        const auto it = std::find_if(fits[v].begin(), fits[v].end(), [&](const MeterFit& m) { return m.meter == poem.meter; });
        const bool namedOther = named[v].known && named[v].meter != poem.meter;
        if (fits[v].empty() && !named[v].ambiguous)
            poem.unread.push_back(int(v));  // no meter reads it: the text, not the verse, is in doubt
        else if (it == fits[v].end() || namedOther)
            poem.notFitting.push_back(int(v));
        else
            ++poem.fitting;
    }
    return poem;
}

}  // namespace barqeen::prosody
