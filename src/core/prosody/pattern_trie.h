#pragma once
// Every hemistich the meters allow, spelled out as patterns of moving and silent letters and
// kept in one binary tree, so a hemistich is matched against all meters in a single walk.
#include "core/prosody/meter_rules.h"

#include <vector>

namespace barqeen::prosody {

// Which hemistich of a verse a pattern is: the first (ending in العروض) or the last (ending in
// الضرب; the only one of a halved or cut meter).
enum class Role : unsigned char { First, Last };

// One way a form of a meter fills a hemistich: its feet and the cost of their changes.
struct HemistichPattern {
    int form;  // index in meterForms()
    Role role;
    float cost;
    std::vector<const FootForm*> feet;
};

class PatternTrie {
public:
    struct Node {
        int child[2] = {-1, -1};   // after a silent ('0') and a moving ('1') letter
        int firstPattern = 0;      // patterns that end here: [firstPattern, endPattern)
        int endPattern = 0;
    };

    static const PatternTrie& instance();

    const Node& node(int index) const { return nodes_[index]; }
    int nodeCount() const { return int(nodes_.size()); }
    const HemistichPattern& pattern(int index) const { return patterns_[index]; }
    int patternCount() const { return int(patterns_.size()); }

private:
    PatternTrie();
    std::vector<Node> nodes_;
    std::vector<HemistichPattern> patterns_;
};

}  // namespace barqeen::prosody
