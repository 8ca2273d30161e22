#include "core/prosody/pattern_trie.h"

#include <map>
#include <string>
#include <tuple>

namespace barqeen::prosody {
namespace {

using Key = std::tuple<std::string, int, Role>;

void spellOut(const std::vector<const FootChoices*>& positions, size_t at, std::string pattern,
              HemistichPattern& made, std::map<Key, HemistichPattern>& out)
{
    if (at == positions.size()) {
        auto [it, inserted] = out.try_emplace(Key{pattern, made.form, made.role}, made);
        if (!inserted && made.cost < it->second.cost)
            it->second = made;
        return;
    }
    for (const FootForm& foot : *positions[at]) {
        made.feet.push_back(&foot);
        made.cost += foot.cost;
        spellOut(positions, at + 1, pattern + std::string(foot.pattern), made, out);
        made.cost -= foot.cost;
        made.feet.pop_back();
    }
}

}  // namespace

const PatternTrie& PatternTrie::instance()
{
    static const PatternTrie trie;
    return trie;
}

PatternTrie::PatternTrie()
{
    std::map<Key, HemistichPattern> all;
    const std::vector<MeterForm>& forms = meterForms();
    for (int f = 0; f < int(forms.size()); ++f) {
        const MeterForm& form = forms[f];
        std::vector<const FootChoices*> positions;
        for (const FootChoices& choices : form.inner)
            positions.push_back(&choices);

        HemistichPattern made{f, Role::Last, 0, {}};
        positions.push_back(&form.lastEnds);
        spellOut(positions, 0, "", made, all);
        if (form.singleHemistich())
            continue;

        made.role = Role::First;
        positions.back() = &form.firstEnds;
        spellOut(positions, 0, "", made, all);
        made.cost = form.rhymedOpeningCost;  // the first ending as the last
        positions.back() = &form.lastEnds;
        spellOut(positions, 0, "", made, all);
    }

    // Patterns sorted by their text end up grouped by trie node.
    nodes_.emplace_back();
    std::string previous = "\x01";
    for (auto& [key, pattern] : all) {
        const std::string& text = std::get<0>(key);
        int at = 0;
        for (const char c : text) {
            const int bit = c == '1';
            if (nodes_[at].child[bit] < 0) {
                nodes_[at].child[bit] = int(nodes_.size());
                nodes_.emplace_back();
            }
            at = nodes_[at].child[bit];
        }
        if (text != previous)
            nodes_[at].firstPattern = int(patterns_.size());
        patterns_.push_back(std::move(pattern));
        nodes_[at].endPattern = int(patterns_.size());
        previous = text;
    }
}

}  // namespace barqeen::prosody
