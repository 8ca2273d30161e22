#include "core/prosody/meter_finder.h"

#include "core/prosody/pattern_trie.h"
#include "core/prosody/prosodic_writing.h"
#include "core/text/codepage.h"

#include <algorithm>
#include <limits>
#include <optional>

#include <QRegularExpression>

namespace barqeen::prosody {
namespace {

constexpr float kNever = std::numeric_limits<float>::infinity();

// Readings farther than this from the best one so far are dropped while walking a hemistich.
constexpr float kBeam = 5.0f;
// The meter named must beat every other meter by this much ...
constexpr float kClearMargin = 0.3f;
// ... and by more when the text itself is in doubt: each unlikely reading the best meter needed
// may as well have been another, so the lead must grow with them.
constexpr float kMarginPerReadingCost = 0.2f;
// ... and cost no more than this for each written letter (a verse that fits only by many unlikely
// readings and changes is not taken as evidence; short prose often fits some meter that way).
// A rare meter's extra price is not counted here: it is doubt about the meter, not the text.
constexpr float kMostCostPerLetter = 0.09f;
// Another meter reading the verse as the very same feet is a true second name unless it needs
// more than this in changes (a foot or two of its rarest).
constexpr float kSameFeetMostExtra = 2.0f;
// ... each of its feet sound or with a common change (إضمار، عصب، خبن), none of the rare ones.
constexpr float kCommonChange = 0.5f;
// The share of a seldom used runner-up's rarity price waived when the readings are in doubt.
constexpr float kSeldomUsedDoubt = 0.25f;

// The rarer meters need a little more evidence than the common ones; not much more, for the
// books that teach the meters quote the rare ones as often as the common.
float rarity(Meter meter)
{
    switch (meter) {
    case Meter::Madid: return 0.8f;
    case Meter::Mudari: return 0.6f;
    case Meter::Muqtadab: return 0.5f;
    case Meter::Mujtath: return 0.3f;
    case Meter::Mutadarik: return 0.6f;
    case Meter::Hazaj: return 0.1f;
    case Meter::Sari: return 0.1f;
    case Meter::Munsarih: return 0.1f;
    default: return 0;
    }
}

// The part of a meter's price owed to how seldom poets used it. المتدارك pays for how loosely
// its فعلن feet fit any text, and the others' small prices for their likeness to common meters:
// those are doubts about the fit and stay whole.
float seldomUsedPrice(Meter meter)
{
    switch (meter) {
    case Meter::Madid:
    case Meter::Mudari:
    case Meter::Muqtadab:
    case Meter::Mujtath: return rarity(meter);
    default: return 0;
    }
}

// The best way each form of each meter fills one hemistich.
struct HemistichFit {
    struct Best {
        float cost = kNever;     // the readings' and the feet's changes'
        float readings = 0;      // the readings' alone
        int pattern = -1;
    };
    std::vector<Best> byFormAndRole;  // [form * 2 + role]

    Best& at(int form, Role role) { return byFormAndRole[size_t(form) * 2 + size_t(role)]; }
};

struct State {
    int node;
    float cost;
};

// Walks the hemistich's readings through the tree of patterns, keeping for each node the
// cheapest way to reach it.
HemistichFit fit(const std::vector<Slot>& row)
{
    const PatternTrie& trie = PatternTrie::instance();
    thread_local std::vector<int> seenAt;  // per node: index in `next` + 1 of this step, or 0
    thread_local std::vector<int> touched;
    seenAt.resize(size_t(trie.nodeCount()), 0);

    std::vector<State> now{{0, 0}}, next;
    for (const Slot& slot : row) {
        next.clear();
        touched.clear();
        float best = kNever;
        for (const State& s : now) {
            for (const Reading& r : slot) {
                int at = s.node;
                for (int i = 0; i < r.length && at >= 0; ++i)
                    at = trie.node(at).child[(r.bits >> i) & 1];
                if (at < 0)
                    continue;
                const float cost = s.cost + r.cost;
                int& seen = seenAt[size_t(at)];
                if (seen == 0) {
                    next.push_back({at, cost});
                    seen = int(next.size());
                    touched.push_back(at);
                } else if (cost < next[size_t(seen - 1)].cost) {
                    next[size_t(seen - 1)].cost = cost;
                }
                best = std::min(best, cost);
            }
        }
        for (const int node : touched)
            seenAt[size_t(node)] = 0;
        now.clear();
        for (const State& s : next)
            if (s.cost <= best + kBeam)
                now.push_back(s);
        if (now.empty())
            break;
    }

    HemistichFit result;
    result.byFormAndRole.resize(meterForms().size() * 2);
    for (const State& s : now) {
        const PatternTrie::Node& node = trie.node(s.node);
        for (int p = node.firstPattern; p < node.endPattern; ++p) {
            const HemistichPattern& pattern = trie.pattern(p);
            HemistichFit::Best& best = result.at(pattern.form, pattern.role);
            const float cost = s.cost + pattern.cost;
            if (cost < best.cost)
                best = {cost, s.cost, p};
        }
    }
    return result;
}

struct Candidate {
    float cost = kNever;
    float readings = 0;
    int form = -1;
    std::vector<int> patterns;
};

const std::vector<MeterForm>& forms() { return meterForms(); }

// The form of another meter that reads the best fit's letters exactly as they are, foot for foot
// the same moving and silent letters, for no more than kSameFeetMostExtra in changes beyond the
// best's own.
std::optional<int> sameFeetUnderAnotherMeter(const MeterFit& best)
{
    const PatternTrie& trie = PatternTrie::instance();
    const size_t halves = best.footPatterns.size();
    std::vector<float> costByForm(forms().size(), 0);
    for (size_t h = 0; h < halves; ++h) {
        int at = 0;
        for (const std::string_view foot : best.footPatterns[h]) {
            for (const char c : foot) {
                at = at < 0 ? -1 : trie.node(at).child[c == '1'];
            }
        }
        const Role role = h + 1 == halves ? Role::Last : Role::First;
        std::vector<float> here(forms().size(), kNever);
        if (at >= 0) {
            const PatternTrie::Node& node = trie.node(at);
            for (int p = node.firstPattern; p < node.endPattern; ++p) {
                const HemistichPattern& pattern = trie.pattern(p);
                const bool commonChanges = std::all_of(pattern.feet.begin(), pattern.feet.end(),
                                                       [](const FootForm* foot) { return foot->cost <= kCommonChange; });
                if (pattern.role == role && commonChanges)
                    here[size_t(pattern.form)] = std::min(here[size_t(pattern.form)], pattern.cost);
            }
        }
        for (size_t f = 0; f < forms().size(); ++f)
            costByForm[f] += here[f];
    }
    float own = kNever;
    for (size_t f = 0; f < forms().size(); ++f)
        if (forms()[f].meter == best.meter && forms()[f].shape == best.shape)
            own = std::min(own, costByForm[f]);
    std::optional<int> other;
    float otherCost = kNever;
    for (size_t f = 0; f < forms().size(); ++f) {
        const MeterForm& form = forms()[f];
        // المتدارك's فعلن feet fit nearly any run of letters: its likeness is no second name.
        if (form.meter == best.meter || form.meter == Meter::Mutadarik || form.singleHemistich() != (halves == 1))
            continue;
        const float cost = costByForm[f] + rarity(form.meter);
        if (cost < otherCost) {
            otherCost = cost;
            other = int(f);
        }
    }
    if (!other || own == kNever || otherCost - (own + rarity(best.meter)) > kSameFeetMostExtra)
        return std::nullopt;
    return other;
}

// A word cut across the hemistichs is divided where the meter divides it, and pages set the
// cut a letter or two off that place (بِهِ الْـ / ـعَيْنانِ for بِهِ الْعَيْـ / ـنانِ). The verse's
// hemistichs as printed, then with one or two letters of the cut word moved across, each move at
// a small price so that the printed cut is kept when it fits as well.
struct Division {
    std::vector<QString> halves;
    float cost = 0;
};

constexpr float kMovedCutLetterCost = 0.3f;

std::vector<Division> divisionsOf(const std::vector<QString>& halves)
{
    std::vector<Division> divisions{{halves, 0}};
    constexpr QChar kTatweel(0x0640);
    if (halves.size() != 2 || !halves[0].endsWith(kTatweel))
        return divisions;
    const auto isMark = [](QChar c) { return c.unicode() >= 0x064B && c.unicode() <= 0x0652; };
    QString first = halves[0], second = halves[1];
    while (first.endsWith(kTatweel))
        first.chop(1);
    while (second.startsWith(kTatweel))
        second.remove(0, 1);
    // The cut word's letters with their marks, on each side of the cut.
    const auto unitsAtEnd = [&](const QString& text) {
        std::vector<qsizetype> starts;  // where each of the last letters begins, the last first
        qsizetype at = text.size();
        while (at > 0 && starts.size() < 3) {
            qsizetype begin = at - 1;
            while (begin > 0 && isMark(text[begin]))
                --begin;
            if (!text[begin].isLetter() || isMark(text[begin]))
                break;
            starts.push_back(begin);
            at = begin;
        }
        return starts;
    };
    const auto unitsAtStart = [&](const QString& text) {
        std::vector<qsizetype> ends;  // where each of the first letters ends, the first first
        qsizetype at = 0;
        while (at < text.size() && ends.size() < 3 && text[at].isLetter() && !isMark(text[at])) {
            ++at;
            while (at < text.size() && isMark(text[at]))
                ++at;
            ends.push_back(at);
        }
        return ends;
    };
    const QString cut(kTatweel);
    // Never the whole of either part: one letter at least stays on each side.
    const std::vector<qsizetype> fromFirst = unitsAtEnd(first);
    for (size_t n = 1; n <= 2 && n < fromFirst.size(); ++n) {
        const qsizetype at = fromFirst[n - 1];
        divisions.push_back({{first.left(at) + cut, cut + first.mid(at) + second}, kMovedCutLetterCost * float(n)});
    }
    const std::vector<qsizetype> fromSecond = unitsAtStart(second);
    for (size_t n = 1; n <= 2 && n < fromSecond.size(); ++n) {
        const qsizetype at = fromSecond[n - 1];
        divisions.push_back({{first + second.left(at) + cut, cut + second.mid(at)}, kMovedCutLetterCost * float(n)});
    }
    return divisions;
}

}  // namespace

std::vector<QString> hemistichsOf(const QString& verse)
{
    // Books and pages copied from print set the hemistichs apart with stars (*** or ٭) or a wide
    // gap; a line break or a TAB is the program's own way.
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]+"));
    static const QRegularExpression printedBreak(QStringLiteral("\\s*[*\u066D\u2042\u2733]+\\s*| {3,}"));
    const bool ownBorder = verse.contains(u'\t') || verse.contains(u'\n') || verse.contains(u'\r');
    const QString text = ownBorder ? verse : QString(verse).replace(printedBreak, QStringLiteral("\t"));
    std::vector<QString> halves;
    for (const QString& piece : text.split(breaks)) {
        const QString trimmed = piece.trimmed();
        if (!trimmed.isEmpty())
            halves.push_back(trimmed);
    }
    return halves;
}

std::vector<MeterFit> meterFits(const QString& verse)
{
    const std::vector<QString> halves = hemistichsOf(verse);
    std::vector<MeterFit> fitsByMeter;
    if (halves.empty() || halves.size() > 2)
        return fitsByMeter;

    const std::vector<Division> divisions = divisionsOf(halves);
    std::vector<std::vector<HemistichFit>> fitsByDivision;
    for (const Division& d : divisions) {
        std::vector<HemistichFit>& fits = fitsByDivision.emplace_back();
        for (const std::vector<Slot>& row : prosodicWriting(d.halves))
            fits.push_back(fit(row));
    }

    const std::vector<MeterForm>& forms = meterForms();
    const PatternTrie& trie = PatternTrie::instance();
    std::vector<Candidate> perMeter(kMeterCount);
    for (int f = 0; f < int(forms.size()); ++f) {
        const MeterForm& form = forms[f];
        Candidate c;
        c.form = f;
        if (halves.size() == 2) {
            if (form.singleHemistich())
                continue;
            for (size_t d = 0; d < divisions.size(); ++d) {
                const auto first = fitsByDivision[d][0].at(f, Role::First);
                const auto last = fitsByDivision[d][1].at(f, Role::Last);
                const float cost = first.cost + last.cost + divisions[d].cost;
                if (cost < c.cost) {
                    c.cost = cost;
                    c.readings = first.readings + last.readings + divisions[d].cost;
                    c.patterns = {first.pattern, last.pattern};
                }
            }
            if (c.cost == kNever)
                continue;
        } else {
            // One hemistich alone is a halved or cut verse; half of a longer one tells too little.
            if (!form.singleHemistich())
                continue;
            const auto last = fitsByDivision[0][0].at(f, Role::Last);
            c.cost = last.cost;
            c.readings = last.readings;
            c.patterns = {last.pattern};
        }
        c.cost += rarity(form.meter);
        Candidate& best = perMeter[size_t(form.meter)];
        if (c.cost < best.cost)
            best = std::move(c);
    }
    for (const Candidate& c : perMeter) {
        if (c.form < 0 || c.cost == kNever)
            continue;
        MeterFit m;
        m.meter = forms[c.form].meter;
        m.shape = forms[c.form].shape;
        m.cost = c.cost;
        m.readingCost = c.readings;
        for (const int p : c.patterns) {
            std::vector<std::string_view> feet, patterns;
            for (const FootForm* foot : trie.pattern(p).feet) {
                feet.push_back(foot->name);
                patterns.push_back(foot->pattern);
            }
            m.feet.push_back(std::move(feet));
            m.footPatterns.push_back(std::move(patterns));
        }
        fitsByMeter.push_back(std::move(m));
    }
    std::sort(fitsByMeter.begin(), fitsByMeter.end(),
              [](const MeterFit& a, const MeterFit& b) { return a.cost < b.cost; });
    return fitsByMeter;
}

Scansion scanVerse(const QString& verse)
{
    const std::vector<MeterFit> fits = meterFits(verse);
    Scansion scansion;
    if (fits.empty())
        return scansion;
    const MeterFit& best = fits[0];
    // A seldom used meter that fits nearly as well leaves a common one in doubt, the more so the
    // more the text's readings are in doubt: against it the lead is taken without part of the
    // price of its rarity, in proportion to that doubt. (Now that the common words are known, a
    // quarter of that price is enough: more only left right names unknown.)
    float runnerUp = kNever;
    const float doubt = kSeldomUsedDoubt * std::min(1.0f, best.readingCost);
    for (size_t i = 1; i < fits.size(); ++i)
        runnerUp = std::min(runnerUp, fits[i].cost - seldomUsedPrice(fits[i].meter) * doubt);
    const auto letters = std::count_if(verse.begin(), verse.end(), [](QChar c) { return c.isLetter(); });
    if (best.cost - rarity(best.meter) > kMostCostPerLetter * float(letters))
        return scansion;
    // The same feet, foot for foot, under another meter's name: a verse alone cannot tell the two
    // apart, whatever the changes cost (الهزج read as مجزوء الوافر pays for every foot معصوب).
    // Two names are better than a wrong one.
    if (const auto other = sameFeetUnderAnotherMeter(best)) {
        scansion.ambiguous = true;
        scansion.meter = best.meter;
        scansion.shape = best.shape;
        scansion.otherMeter = forms()[size_t(*other)].meter;
        scansion.otherShape = forms()[size_t(*other)].shape;
        scansion.feet = best.feet;
        return scansion;
    }
    if (runnerUp - best.cost < kClearMargin + kMarginPerReadingCost * best.readingCost)
        return scansion;
    scansion.known = true;
    scansion.meter = best.meter;
    scansion.shape = best.shape;
    scansion.feet = best.feet;
    return scansion;
}

Scansion scanVerseBytes(std::string_view verse)
{
    return scanVerse(codepage::toUnicode(verse));
}

std::string feetText(const std::vector<std::string_view>& feet)
{
    std::string text;
    for (const std::string_view foot : feet) {
        if (!text.empty())
            text += ' ';
        text += foot;
    }
    return text;
}

std::string meterWithShape(Meter meter, Shape shape)
{
    const std::string name(meterName(meter));
    // الهزج، المضارع، المقتضب and المجتث are only ever مجزوء: the name alone says it.
    const bool alwaysShortened =
        meter == Meter::Hazaj || meter == Meter::Mudari || meter == Meter::Muqtadab || meter == Meter::Mujtath;
    switch (shape) {
    case Shape::Full: return name;
    case Shape::Shortened: return alwaysShortened ? name : "مجزوء " + name;
    case Shape::Halved: return "مشطور " + name;
    case Shape::Cut: return "منهوك " + name;
    }
    return name;
}

std::string describe(const Scansion& scansion)
{
    if (scansion.ambiguous) {
        std::string text = meterWithShape(scansion.meter, scansion.shape) + " أو " +
                           meterWithShape(scansion.otherMeter, scansion.otherShape) + ": ";
        for (size_t h = 0; h < scansion.feet.size(); ++h)
            text += (h > 0 ? " / " : "") + feetText(scansion.feet[h]);
        return text;
    }
    if (!scansion.known)
        return std::string(kUnknownMeter);
    std::string text = std::string(meterName(scansion.meter)) + " (" +
                       std::string(shapeName(scansion.shape)) + "): ";
    for (size_t h = 0; h < scansion.feet.size(); ++h) {
        if (h > 0)
            text += " / ";
        text += feetText(scansion.feet[h]);
    }
    return text;
}

}  // namespace barqeen::prosody
