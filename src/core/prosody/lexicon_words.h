#pragma once
// The lexicon as text a reader can check against a dictionary. Sections open with a line
// "@noun" (nouns, adjectives and names), "@verb" (the past, third person masculine) or
// "@present" (the present, third person masculine, with its يـ). Each line holds one or more
// vowelled words; '|' joins the readings of one written word, the likeliest first. A noun's case
// ending and a present verb's mood ending are left unmarked: the scanner chooses them. A past
// verb ends on its fatha. '#' opens a note.

namespace barqeen::prosody {

extern const char* const kLexiconNouns;
extern const char* const kLexiconVerbs;

}  // namespace barqeen::prosody
