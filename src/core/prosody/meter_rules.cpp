#include "core/prosody/meter_rules.h"

namespace barqeen::prosody {
namespace {

// The feet of the inner positions with the changes each meter allows there. The cost grows as
// the books call a change rarer (حسن، صالح، قبيح); a sound foot costs nothing.

// فعولن: قبض (فعول).
const FootChoices kFaulun = {{"فعولن", "11010", 0}, {"فعول", "1101", 0.2f}};
// مفاعيلن in الطويل: كف (مفاعيل), قبض (مفاعلن, rare inside the hemistich).
const FootChoices kMafailunTawil = {
    {"مفاعيلن", "1101010", 0}, {"مفاعيل", "110101", 0.6f}, {"مفاعلن", "110110", 1.0f}};
// مفاعيلن in الهزج: كف, قبض.
const FootChoices kMafailunHazaj = {
    {"مفاعيلن", "1101010", 0}, {"مفاعيل", "110101", 0.4f}, {"مفاعلن", "110110", 0.8f}};
// فاعلن: خبن (فعِلن).
const FootChoices kFailun = {{"فاعلن", "10110", 0}, {"فعلن", "1110", 0.2f}};
// فاعلاتن: خبن (فعِلاتن), كف (فاعلاتُ), شكل (فعِلاتُ).
const FootChoices kFailatun = {{"فاعلاتن", "1011010", 0},
                               {"فعلاتن", "111010", 0.2f},
                               {"فاعلات", "101101", 0.8f},
                               {"فعلات", "11101", 1.0f}};
// مستفعلن: خبن (مفاعلن), طي (مفتعلن), خبل (فعِلَتن).
const FootChoices kMustafilun = {{"مستفعلن", "1010110", 0},
                                 {"مفاعلن", "110110", 0.2f},
                                 {"مفتعلن", "101110", 0.4f},
                                 {"فعلتن", "11110", 1.0f}};
// مستفعلن in البسيط and المنسرح: خبن, طي (the خبل is rare there).
const FootChoices kMustafilunBasit = {{"مستفعلن", "1010110", 0},
                                      {"مفاعلن", "110110", 0.2f},
                                      {"مفتعلن", "101110", 0.5f},
                                      {"فعلتن", "11110", 1.4f}};
// مستفع لن (the separated foot of الخفيف and المجتث): خبن only.
const FootChoices kMustafiLun = {{"مستفع لن", "1010110", 0}, {"مفاعلن", "110110", 0.2f}};
// مفعولاتُ in المنسرح: طي (فاعلاتُ), خبن (فعولاتُ).
const FootChoices kMafulatu = {
    {"مفعولات", "1010101", 0.3f}, {"فاعلات", "101101", 0.1f}, {"فعولات", "110101", 0.6f}};
// متفاعلن: إضمار (مستفعلن), وقص (مفاعلن), خزل (مفتعلن).
const FootChoices kMutafailun = {{"متفاعلن", "1110110", 0},
                                 {"مستفعلن", "1010110", 0.2f},
                                 {"مفاعلن", "110110", 0.9f},
                                 {"مفتعلن", "101110", 1.2f}};
// مفاعلتن: عصب (مفاعيلن), عقل (مفاعلن, rare).
const FootChoices kMufaalatun = {
    {"مفاعلتن", "1101110", 0}, {"مفاعيلن", "1101010", 0.45f}, {"مفاعلن", "110110", 1.3f}};
// فاعلن in المتدارك: خبن (فعِلن), and in the running form قطع (فعْلن).
const FootChoices kFailunKhabab = {{"فاعلن", "10110", 0.3f}, {"فعلن", "1110", 0}, {"فعلن", "1010", 0.1f}};
// فاع لاتن of المضارع: كف (فاع لاتُ).
const FootChoices kFaLatun = {{"فاع لاتن", "1011010", 0}, {"فاع لات", "101101", 0.6f}};
// مفاعيلن of المضارع must be مقبوض or مكفوف.
const FootChoices kMafailunMudari = {{"مفاعيل", "110101", 0}, {"مفاعلن", "110110", 0.2f}};
// مفعولاتُ of المقتضب: مطوي (فاعلاتُ) or مخبون (فعولاتُ).
const FootChoices kMafulatuMuqtadab = {{"فاعلات", "101101", 0}, {"فعولات", "110101", 0.3f}};

// Joins lists of choices, for the endings a hemistich may take.
FootChoices operator+(FootChoices a, const FootChoices& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The same choices, each made less likely (for a form the poets seldom used).
FootChoices seldom(FootChoices choices, float extra)
{
    for (FootForm& f : choices)
        f.cost += extra;
    return choices;
}

std::vector<MeterForm> makeForms()
{
    using M = Meter;
    using S = Shape;
    std::vector<MeterForm> f;

    // الطويل: فعولن مفاعيلن فعولن مفاعيلن. العروض مقبوضة؛ الضرب صحيح، مقبوض، محذوف.
    f.push_back({M::Tawil, S::Full, {kFaulun, kMafailunTawil, kFaulun},
                 {{"مفاعلن", "110110", 0}},
                 {{"مفاعيلن", "1101010", 0}, {"مفاعلن", "110110", 0}, {"فعولن", "11010", 0.2f}}});

    // المديد (مجزوء الدائرة): فاعلاتن فاعلن فاعلاتن. العروض صحيحة، محذوفة، محذوفة مخبونة؛
    // الضرب صحيح، مقصور، محذوف، محذوف مخبون، أبتر.
    f.push_back({M::Madid, S::Shortened, {kFailatun, kFailun},
                 {{"فاعلاتن", "1011010", 0}, {"فعلاتن", "111010", 0.2f}, {"فاعلن", "10110", 0},
                  {"فعلن", "1110", 0.2f}},
                 {{"فاعلاتن", "1011010", 0}, {"فعلاتن", "111010", 0.2f}, {"فاعلان", "101100", 0.2f},
                  {"فاعلن", "10110", 0}, {"فعلن", "1110", 0.2f}, {"فعلن", "1010", 0.3f}}});

    // البسيط: مستفعلن فاعلن مستفعلن فاعلن. العروض مخبونة؛ الضرب مخبون، مقطوع.
    f.push_back({M::Basit, S::Full, {kMustafilunBasit, kFailun, kMustafilunBasit},
                 {{"فعلن", "1110", 0}, {"فاعلن", "10110", 0.6f}},
                 {{"فعلن", "1110", 0}, {"فعلن", "1010", 0}, {"فاعلن", "10110", 0.6f}}});
    // مجزوء البسيط (seldom used): مستفعلن فاعلن مستفعلن؛ الضرب صحيح، مذيل، مقطوع. ومخلعه، وهو
    // الشائع: مستفعلن فاعلن فعولن.
    f.push_back({M::Basit, S::Shortened, {kMustafilunBasit, kFailun},
                 seldom(kMustafilunBasit, 0.6f) + FootChoices{{"فعولن", "11010", 0}},
                 seldom(kMustafilunBasit + FootChoices{{"مستفعلان", "10101100", 0.3f},
                                                       {"مفعولن", "101010", 0.3f}},
                        0.6f) +
                     FootChoices{{"فعولن", "11010", 0}}});

    // الوافر: مفاعلتن مفاعلتن فعولن (مقطوفة في العروض والضرب).
    f.push_back({M::Wafir, S::Full, {kMufaalatun, kMufaalatun}, {{"فعولن", "11010", 0}},
                 {{"فعولن", "11010", 0}}});
    // مجزوء الوافر: مفاعلتن مفاعلتن، صحيحة أو معصوبة.
    f.push_back({M::Wafir, S::Shortened, {kMufaalatun}, kMufaalatun, kMufaalatun});

    // الكامل: متفاعلن ×3. العروض صحيحة، حذاء؛ الضرب صحيح، مقطوع، أحذ، أحذ مضمر.
    f.push_back({M::Kamil, S::Full, {kMutafailun, kMutafailun},
                 kMutafailun + FootChoices{{"فعلن", "1110", 0.3f}, {"فعلن", "1010", 0.5f}},
                 kMutafailun + FootChoices{{"فعلاتن", "111010", 0.2f},
                                           {"مفعولن", "101010", 0.4f},
                                           {"فعلن", "1110", 0.3f},
                                           {"فعلن", "1010", 0.5f}}});
    // مجزوء الكامل: متفاعلن متفاعلن؛ الضرب صحيح، مرفل، مذيل، مقطوع.
    f.push_back({M::Kamil, S::Shortened, {kMutafailun}, kMutafailun,
                 kMutafailun + FootChoices{{"متفاعلاتن", "111011010", 0.2f},
                                           {"مستفعلاتن", "101011010", 0.4f},
                                           {"متفاعلان", "11101100", 0.3f},
                                           {"مستفعلان", "10101100", 0.5f},
                                           {"فعلاتن", "111010", 0.3f},
                                           {"مفعولن", "101010", 0.5f}}});

    // الهزج (مجزوء): مفاعيلن مفاعيلن؛ الضرب صحيح، محذوف.
    f.push_back({M::Hazaj, S::Shortened, {kMafailunHazaj}, {{"مفاعيلن", "1101010", 0}},
                 {{"مفاعيلن", "1101010", 0}, {"فعولن", "11010", 0.2f}}});

    // الرجز: مستفعلن ×3، ومجزوؤه ×2، ومشطوره ×3، ومنهوكه ×2؛ الضرب صحيح أو مقطوع.
    const FootChoices rajazEnd = kMustafilun + FootChoices{{"مفعولن", "101010", 0.3f},
                                                           {"فعولن", "11010", 0.5f}};
    f.push_back({M::Rajaz, S::Full, {kMustafilun, kMustafilun}, kMustafilun, rajazEnd, 0});
    f.push_back({M::Rajaz, S::Shortened, {kMustafilun}, kMustafilun, rajazEnd, 0});
    f.push_back({M::Rajaz, S::Halved, {kMustafilun, kMustafilun}, {}, rajazEnd});
    f.push_back({M::Rajaz, S::Cut, {kMustafilun}, {}, rajazEnd});

    // الرمل: فاعلاتن فاعلاتن فاعلن. العروض محذوفة؛ الضرب صحيح، مقصور، محذوف.
    const FootChoices ramalEnd = {{"فاعلن", "10110", 0}, {"فعلن", "1110", 0.2f}};
    f.push_back({M::Ramal, S::Full, {kFailatun, kFailatun}, ramalEnd,
                 ramalEnd + FootChoices{{"فاعلاتن", "1011010", 0.2f},
                                        {"فعلاتن", "111010", 0.3f},
                                        {"فاعلان", "101100", 0.2f},
                                        {"فعلان", "11100", 0.3f}}});
    // مجزوء الرمل: فاعلاتن فاعلاتن؛ الضرب صحيح، مسبغ، محذوف.
    f.push_back({M::Ramal, S::Shortened, {kFailatun}, kFailatun,
                 kFailatun + ramalEnd + FootChoices{{"فاعلاتان", "10110100", 0.4f}}});

    // السريع: مستفعلن مستفعلن مفعولاتُ. العروض مطوية مكشوفة (فاعلن) أو مخبولة مكشوفة (فعلن)؛
    // الضرب مطوي موقوف (فاعلان)، مطوي مكشوف، أصلم (فعْلن).
    f.push_back({M::Sari, S::Full, {kMustafilun, kMustafilun},
                 {{"فاعلن", "10110", 0}, {"فعلن", "1110", 0.2f}},
                 {{"فاعلن", "10110", 0}, {"فاعلان", "101100", 0.2f}, {"فعلن", "1010", 0.3f},
                  {"فعلن", "1110", 0.2f}}});
    // مشطور السريع: مستفعلن مستفعلن مفعولانْ أو مفعولن.
    f.push_back({M::Sari, S::Halved, {kMustafilun, kMustafilun}, {},
                 {{"مفعولان", "1010100", 0.2f}, {"مفعولن", "101010", 0.3f}}});

    // المنسرح: مستفعلن مفعولاتُ مستفعلن. العروض صحيحة أو مطوية؛ الضرب مطوي أو مقطوع.
    f.push_back({M::Munsarih, S::Full, {kMustafilunBasit, kMafulatu},
                 {{"مستفعلن", "1010110", 0.2f}, {"مفتعلن", "101110", 0}, {"مفاعلن", "110110", 0.4f}},
                 {{"مفتعلن", "101110", 0}, {"مفعولن", "101010", 0.3f}, {"مستفعلن", "1010110", 0.4f}}});
    // منهوك المنسرح: مستفعلن مفعولاتْ أو مفعولن.
    f.push_back({M::Munsarih, S::Cut, {kMustafilunBasit}, {},
                 {{"مفعولات", "1010100", 0.2f}, {"مفعولن", "101010", 0.3f}}});

    // الخفيف: فاعلاتن مستفع لن فاعلاتن. العروض صحيحة أو محذوفة؛ الضرب صحيح، محذوف، مشعث.
    const FootChoices khafifEnd = {{"فاعلاتن", "1011010", 0},
                                   {"فعلاتن", "111010", 0.2f},
                                   {"فاعلن", "10110", 0.3f},
                                   {"فعلن", "1110", 0.4f},
                                   {"فالاتن", "101010", 0.4f}};
    f.push_back({M::Khafif, S::Full, {kFailatun, kMustafiLun}, khafifEnd, khafifEnd});
    // مجزوء الخفيف: فاعلاتن مستفع لن؛ الضرب صحيح أو مقصور مخبون (فعولن).
    f.push_back({M::Khafif, S::Shortened, {kFailatun}, kMustafiLun,
                 kMustafiLun + FootChoices{{"فعولن", "11010", 0.3f}}});

    // المضارع (مجزوء): مفاعيلُ فاع لاتن.
    f.push_back({M::Mudari, S::Shortened, {kMafailunMudari}, kFaLatun, kFaLatun});

    // المقتضب (مجزوء): مفعولاتُ مستفعلن → فاعلاتُ مفتعلن.
    f.push_back({M::Muqtadab, S::Shortened, {kMafulatuMuqtadab},
                 {{"مفتعلن", "101110", 0}}, {{"مفتعلن", "101110", 0}}});

    // المجتث (مجزوء): مستفع لن فاعلاتن.
    f.push_back({M::Mujtath, S::Shortened, {kMustafiLun}, kFailatun,
                 kFailatun + FootChoices{{"فالاتن", "101010", 0.5f}}});

    // المتقارب: فعولن ×4. العروض صحيحة، مقبوضة، محذوفة؛ الضرب صحيح، مقصور، محذوف، أبتر.
    const FootChoices mutaqaribEnd = {{"فعولن", "11010", 0},
                                      {"فعول", "1101", 0.4f},
                                      {"فعول", "1100", 0.2f},
                                      {"فعل", "110", 0.2f},
                                      {"فع", "10", 0.5f}};
    f.push_back({M::Mutaqarib, S::Full, {kFaulun, kFaulun, kFaulun}, mutaqaribEnd, mutaqaribEnd});
    f.push_back({M::Mutaqarib, S::Shortened, {kFaulun, kFaulun}, mutaqaribEnd, mutaqaribEnd});

    // المتدارك (الخبب): فاعلن ×4، ومجزوؤه ×3؛ الضرب صحيح، مخبون، مقطوع، مذيل، مرفل.
    const FootChoices khababEnd = kFailunKhabab + FootChoices{{"فاعلان", "101100", 0.3f},
                                                              {"فعلان", "11100", 0.4f},
                                                              {"فاعلاتن", "1011010", 0.4f}};
    f.push_back({M::Mutadarik, S::Full, {kFailunKhabab, kFailunKhabab, kFailunKhabab}, kFailunKhabab,
                 khababEnd});
    // ... and as the books first give it, of sound فاعلن with the خبن allowed (جاءنا عامر سالما).
    const FootChoices failunEnd = kFailun + FootChoices{{"فاعلان", "101100", 0.3f},
                                                        {"فاعلاتن", "1011010", 0.4f}};
    f.push_back({M::Mutadarik, S::Full, {kFailun, kFailun, kFailun}, kFailun, failunEnd});
    f.push_back({M::Mutadarik, S::Shortened, {kFailunKhabab, kFailunKhabab}, kFailunKhabab,
                 khababEnd});
    return f;
}

}  // namespace

const std::vector<MeterForm>& meterForms()
{
    static const std::vector<MeterForm> forms = makeForms();
    return forms;
}

std::string_view meterName(Meter meter)
{
    static constexpr std::string_view names[kMeterCount] = {
        "الطويل", "المديد", "البسيط", "الوافر", "الكامل", "الهزج", "الرجز", "الرمل",
        "السريع", "المنسرح", "الخفيف", "المضارع", "المقتضب", "المجتث", "المتقارب", "المتدارك"};
    return names[int(meter)];
}

std::string_view shapeName(Shape shape)
{
    static constexpr std::string_view names[] = {"تام", "مجزوء", "مشطور", "منهوك"};
    return names[int(shape)];
}

std::string_view meterKeyVerse(Meter meter)
{
    // The couplets of صفي الدين الحلي: each names its meter and then spells its feet.
    static constexpr std::string_view verses[kMeterCount] = {
        "طَوِيلٌ لَهُ دُونَ البُحُورِ فَضَائِلُ\tفَعُولُنْ مَفَاعِيلُنْ فَعُولُنْ مَفَاعِلُ",
        "لِمَدِيدِ الشِّعْرِ عِنْدِي صِفَاتُ\tفَاعِلَاتُنْ فَاعِلُنْ فَاعِلَاتُ",
        "إِنَّ البَسِيطَ لَدَيْهِ يُبْسَطُ الأَمَلُ\tمُسْتَفْعِلُنْ فَعِلُنْ مُسْتَفْعِلُنْ فَعِلُ",
        "بُحُورُ الشِّعْرِ وَافِرُهَا جَمِيلُ\tمُفَاعَلَتُنْ مُفَاعَلَتُنْ فَعُولُ",
        "كَمَلَ الجَمَالُ مِنَ البُحُورِ الكَامِلُ\tمُتَفَاعِلُنْ مُتَفَاعِلُنْ مُتَفَاعِلُ",
        "عَلَى الأَهْزَاجِ تَسْهِيلُ\tمَفَاعِيلُنْ مَفَاعِيلُ",
        "فِي أَبْحُرِ الأَرْجَازِ بَحْرٌ يَسْهُلُ\tمُسْتَفْعِلُنْ مُسْتَفْعِلُنْ مُسْتَفْعِلُ",
        "رَمَلُ الأَبْحُرِ تَرْوِيهِ الثِّقَاتُ\tفَاعِلَاتُنْ فَاعِلَاتُنْ فَاعِلَاتُ",
        "بَحْرٌ سَرِيعٌ مَا لَهُ سَاحِلُ\tمُسْتَفْعِلُنْ مُسْتَفْعِلُنْ فَاعِلُ",
        "مُنْسَرِحٌ فِيهِ يُضْرَبُ المَثَلُ\tمُسْتَفْعِلُنْ مَفْعُولَاتُ مُفْتَعِلُ",
        "يَا خَفِيفًا خَفَّتْ بِهِ الحَرَكَاتُ\tفَاعِلَاتُنْ مُسْتَفْعِلُنْ فَاعِلَاتُ",
        "تُعَدُّ المُضَارِعَاتُ\tمَفَاعِيلُ فَاعِلَاتُ",
        "اقْتَضِبْ كَمَا سَأَلُوا\tمَفْعُلَاتُ مُفْتَعِلُ",
        "إِنْ جُثَّتِ الحَرَكَاتُ\tمُسْتَفْعِلُنْ فَاعِلَاتُ",
        "عَنِ المُتَقَارِبِ قَالَ الخَلِيلُ\tفَعُولُنْ فَعُولُنْ فَعُولُنْ فَعُولُ",
        "حَرَكَاتُ المُحْدَثِ تَنْتَقِلُ\tفَعِلُنْ فَعِلُنْ فَعِلُنْ فَعِلُ",
    };
    return verses[int(meter)];
}

}  // namespace barqeen::prosody
