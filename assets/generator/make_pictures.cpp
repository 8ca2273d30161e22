// Draws Barqeen's own pictures (main window background, logo, picture buttons,
// small icons) as PNG files: make_pictures <output directory>. Everything is
// painted with QPainter, Arabic lettering is shaped by Qt from the embedded Amiri
// font, and noise uses fixed seeds so every run gives the same files.

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

QString g_amiri; // family name returned when the embedded Amiri faces are registered
QDir g_out;
bool g_failed = false;

void save(const QImage& img, const QString& name) {
    const bool ok = img.save(g_out.filePath(name), "PNG");
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "FAILED", qPrintable(name));
    g_failed |= !ok;
}

// Repeatable value in [-1, 1] for a pair of integers, used to vary stones and reeds.
double jitter(int i, int j, quint32 seed = 0) {
    quint32 h = quint32(i) * 73856093u ^ quint32(j) * 19349663u ^ seed * 83492791u;
    h ^= h >> 13; h *= 0x5bd1e995u; h ^= h >> 15;
    return (h % 2001) / 1000.0 - 1.0;
}

QColor shade(const QColor& c, double f) {
    auto ch = [f](int v) { return qBound(0, int(std::lround(v * f)), 255); };
    return QColor(ch(c.red()), ch(c.green()), ch(c.blue()), c.alpha());
}

QFont amiri(bool bold, double pixelSize) {
    QFont f(g_amiri);
    f.setBold(bold);
    f.setPixelSize(int(std::lround(pixelSize)));
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Outline of a shaped Arabic string, scaled so its ink fills `box` as far as the
// aspect allows, centred. Working on the ink (not the font's line metrics) is what
// lets short button labels use the whole button without clipping dots or alefs.
QPainterPath fittedText(const QString& text, bool bold, const QRectF& box) {
    QPainterPath path;
    path.addText(0, 0, amiri(bold, 200), text);
    const QRectF ink = path.boundingRect();
    const double k = std::min(box.width() / ink.width(), box.height() / ink.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(k, k);
    t.translate(-ink.center().x(), -ink.center().y());
    return t.map(path);
}

// ---------------------------------------------------------------- background
// Looking down a long pointed-arch passage whose floor is water; we sit inside it,
// so the nearest arches frame the picture and the rest recede to daylight.
// World units: x across, h up from the water, d away from the viewer.
namespace passage {
constexpr double VX = 400, VY = 300, K = 360;   // vanishing point and focal length (px)
constexpr double EYE = 0.62;                     // eye height above the water
constexpr double SPRING = 0.315, E = 0.18;       // wall height; pointed-arch centre offset
constexpr double R = 1.0 + E;                    // arc radius for a half-width of 1
constexpr double WET = 0.035;                    // stone darkened by the water just above it
constexpr int ARCHES = 16;
constexpr double STEP = 0.32, RIB = 0.07, INSET = 0.09, NEAR = 0.4, END = 1.0 + STEP * ARCHES;
const QColor STONE(218, 162, 96);

QPointF project(double x, double h, double d, bool mirror) {
    const double s = K / d;
    return {VX + x * s, VY + (EYE + (mirror ? h : -h)) * s};
}

// Cross-section from the left foot, over the pointed vault, down to the right
// foot; `inset` shrinks it concentrically (arch ribs stand inside the vault).
std::vector<QPointF> section(double inset) {
    const double r = R - inset, top = std::acos(-E / r);
    std::vector<QPointF> left;
    for (double h : {0.0, WET, SPRING / 2, SPRING}) left.push_back({-1.0 + inset, h});
    for (int i = 1; i <= 14; ++i) {
        const double a = M_PI + (top - M_PI) * i / 14;
        left.push_back({E + r * std::cos(a), SPRING + r * std::sin(a)});
    }
    std::vector<QPointF> all = left;
    for (int i = int(left.size()) - 2; i >= 0; --i) all.push_back({-left[i].x(), left[i].y()});
    return all;
}

QPolygonF at(const std::vector<QPointF>& sec, double d, bool mirror) {
    QPolygonF poly;
    for (const QPointF& w : sec) poly << project(w.x(), w.y(), d, mirror);
    return poly;
}

// Light comes in from the far opening, so stone brightens with depth.
double light(double d) { return 0.36 + 0.64 * std::pow(std::max(0.0, d - NEAR) / (END - NEAR), 1.4); }

// Wall and vault stones between two depths, a course of blocks per slice. The
// first courses behind an arch are `tucked` into its shadow, which separates the arches.
void vault(QPainter& p, double d0, double d1, bool mirror) {
    const std::vector<QPointF> sec = section(0);
    const int courses = std::max(1, int(std::lround((d1 - d0) / 0.085)));
    for (int c = 0; c < courses; ++c) {
        const double a = d0 + (d1 - d0) * c / courses, b = d0 + (d1 - d0) * (c + 1) / courses;
        const double tucked = 0.82 + 0.18 * std::min(1.0, double(c) / 1.5);
        const QPolygonF near = at(sec, a, mirror), far = at(sec, b, mirror);
        for (size_t i = 0; i + 1 < sec.size(); ++i) {
            const int block = int(i + (c % 2)) / 2;
            // The crown sits in shadow; the foot of the wall is wet.
            const double up = sec[i].y() > SPRING + 0.6 ? 0.85 : sec[i + 1].y() <= WET ? 0.6 : 1.0;
            p.setBrush(shade(STONE, light(b) * up * tucked * (1.0 + 0.08 * jitter(block, int(a * 100)))));
            p.drawPolygon(QPolygonF{near[i], near[i + 1], far[i + 1], far[i]});
        }
        p.setPen(QPen(QColor(40, 25, 10, 60), 0.8));
        p.drawPolyline(near);
        p.setPen(Qt::NoPen);
    }
}

// One transverse arch standing proud of the vault: its face turned towards us,
// cut into voussoirs, and its edge outlined so it reads against the stone behind.
void rib(QPainter& p, double d, bool mirror) {
    const QPolygonF outer = at(section(0), d - RIB, mirror), inner = at(section(INSET), d - RIB, mirror);
    const QPolygonF back = at(section(INSET), d, mirror);
    p.setBrush(shade(STONE, light(d) * 1.05));   // the underside, facing the daylight
    for (qsizetype i = 0; i + 1 < inner.size(); ++i) p.drawPolygon(QPolygonF{inner[i], inner[i + 1], back[i + 1], back[i]});
    QPainterPath face, hole;
    face.addPolygon(outer);
    hole.addPolygon(inner);
    face -= hole;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillPath(face, shade(STONE.lighter(118), light(d) * 0.95));
    const double wetTop = project(0, WET, d - RIB, mirror).y(), foot = project(0, 0, d - RIB, mirror).y();
    QPainterPath wet;   // the foot of the arch, darkened by the water
    wet.addRect(QRectF(0, std::min(wetTop, foot), 800, std::abs(foot - wetTop)));
    p.fillPath(face & wet, shade(STONE, light(d) * 0.55));
    p.setPen(QPen(QColor(45, 28, 12, 120), 0.9));
    for (qsizetype i = 3; i < outer.size() - 3; i += 2) p.drawLine(outer[i], inner[i]);
    p.setPen(QPen(QColor(35, 20, 8, 150), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(inner);
    p.setPen(Qt::NoPen);
    p.setRenderHint(QPainter::Antialiasing, false);
}

// The whole passage, or its mirror image under the water line when `mirror` is set.
QImage render(bool mirror) {
    QImage img(800, 600, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    // Daylight beyond the far end.
    QRadialGradient sky(project(0, 0.5, END, mirror), 80);
    sky.setColorAt(0, QColor(255, 250, 228));
    sky.setColorAt(1, QColor(240, 200, 132));
    p.setBrush(sky);
    p.drawPolygon(at(section(0), END, mirror));
    for (int k = ARCHES - 1; k >= 0; --k) {
        const double d = 1.0 + STEP * k;
        vault(p, d, k == ARCHES - 1 ? END : d + STEP - RIB, mirror);
        rib(p, d, mirror);
    }
    vault(p, NEAR, 1.0 - RIB, mirror);
    // A warm glow from the opening spreading over the nearer stone.
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    QRadialGradient glow(project(0, 0.6, END, mirror), 380);
    glow.setColorAt(0, QColor(255, 206, 140, 130));
    glow.setColorAt(1, QColor(255, 214, 150, 0));
    p.fillRect(img.rect(), glow);
    return img;
}
} // namespace passage

// Mirror image tinted green-blue and darkened towards us; every row is shifted
// by a smooth wave (sub-pixel, blended) so the reflection ripples, with the
// waves growing wider near the viewer, and a few faint glints on the surface.
QImage water(const QImage& mirrored) {
    const int w = mirrored.width();
    QImage out(mirrored.size(), QImage::Format_ARGB32_Premultiplied);
    QRandomGenerator rng(1207);
    for (int y = 0; y < out.height(); ++y) {
        const double near = std::clamp((y - passage::VY) / 300.0, 0.0, 1.0);
        const double dx = (0.4 + 2.6 * near) * std::sin(y * (1.1 - 0.6 * near) + 2.0 * std::sin(y * 0.07));
        const double keep = 0.80 - 0.30 * near, glint = rng.bounded(100) < 12 ? 1.10 : 1.0;
        const QRgb* src = reinterpret_cast<const QRgb*>(mirrored.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double sx = std::clamp(x + dx, 0.0, w - 1.001), f = sx - std::floor(sx);
            const QRgb a = src[int(sx)], b = src[int(sx) + 1];
            auto mix = [&](int (*channel)(QRgb), double deep) {
                const double v = channel(a) * (1 - f) + channel(b) * f;
                return qBound(0, int((v * keep + deep * (1 - keep)) * glint), 255);
            };
            dst[x] = qRgb(mix(qRed, 30), mix(qGreen, 46), mix(qBlue, 48));
        }
    }
    return out;
}

// Parchment panel with ten lines of al-Mutanabbi, each line in its two halves.
void versePanel(QPainter& p, const QRectF& r) {
    static const char* const lines[10][2] = {
        {"الخيل والليل والبيداء تعرفني", "والسيف والرمح والقرطاس والقلم"},
        {"أنا الذي نظر الأعمى إلى أدبي", "وأسمعت كلماتي من به صمم"},
        {"على قدر أهل العزم تأتي العزائم", "وتأتي على قدر الكرام المكارم"},
        {"وتعظم في عين الصغير صغارها", "وتصغر في عين العظيم العظائم"},
        {"ما كل ما يتمنى المرء يدركه", "تجري الرياح بما لا تشتهي السفن"},
        {"إذا أنت أكرمت الكريم ملكته", "وإن أنت أكرمت اللئيم تمردا"},
        {"أعز مكان في الدنى سرج سابح", "وخير جليس في الزمان كتاب"},
        {"إذا غامرت في شرف مروم", "فلا تقنع بما دون النجوم"},
        {"ومن يك ذا فم مر مريض", "يجد مرا به الماء الزلالا"},
        {"لا يسلم الشرف الرفيع من الأذى", "حتى يراق على جوانبه الدم"},
    };
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int i = 6; i >= 1; --i)   // soft shadow lifting the panel off the stone
        p.fillRect(r.translated(2, 3).adjusted(-i, -i, i, i), QColor(0, 0, 0, 9));
    QLinearGradient paper(r.topLeft(), r.bottomRight());
    paper.setColorAt(0, QColor(248, 240, 218, 208));
    paper.setColorAt(1, QColor(236, 222, 188, 208));
    p.setPen(QPen(QColor(120, 88, 48), 1.4));
    p.setBrush(paper);
    p.drawRoundedRect(r, 5, 5);
    p.setPen(QPen(QColor(150, 115, 65, 160), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(5, 5, -5, -5), 3, 3);

    const double padX = 18, padY = 12, gap = 22;
    const double colW = (r.width() - 2 * padX - gap) / 2, rowH = (r.height() - 2 * padY) / 10;
    auto widest = [&](double size) {
        const QFontMetricsF fm(amiri(false, size));
        double w = 0;
        for (auto& line : lines)
            for (const char* half : line) w = std::max(w, fm.horizontalAdvance(QString::fromUtf8(half)));
        return w;
    };
    double size = 22;   // largest size at which every half-line fits its column
    while (widest(size) > colW || size * 1.25 > rowH) size -= 0.5;
    const QFont font = amiri(false, size);
    const QFontMetricsF fm(font);
    p.setFont(font);
    p.setPen(QColor(48, 30, 16));
    QTextOption opt(Qt::AlignHCenter | Qt::AlignTop);
    opt.setTextDirection(Qt::RightToLeft);
    for (int i = 0; i < 10; ++i) {
        const double baseline = r.top() + padY + rowH * (i + 0.72);
        const double top = baseline - fm.ascent();
        // The first half of a line is read first, so it takes the right-hand column.
        p.drawText(QRectF(r.right() - padX - colW, top, colW, fm.height()), QString::fromUtf8(lines[i][0]), opt);
        p.drawText(QRectF(r.left() + padX, top, colW, fm.height()), QString::fromUtf8(lines[i][1]), opt);
    }
}

// Daylight caught on the water near the viewer: a wide pool, bright and almost
// even in the middle so dark text on it reads, fading through a weak halo into
// the water; its rim is broken by the same kind of ripple as the reflection and
// faint horizontal shimmer runs through it.
void lightPool(QImage& img, const QPointF& centre, double rx, double ry) {
    const QColor light(244, 233, 204);
    auto smooth = [](double from, double to, double v) {
        const double t = std::clamp((v - from) / (to - from), 0.0, 1.0);
        return t * t * (3 - 2 * t);
    };
    constexpr double reach = 1.6;   // the halo's extent, in pool radii
    for (int y = int(centre.y() - ry * reach); y <= int(centre.y() + ry * reach); ++y) {
        if (y < 0 || y >= img.height()) continue;
        const double wave = 3.0 * std::sin(y * 0.9 + 2.0 * std::sin(y * 0.07)) + 2.5 * std::sin(y * 0.31);
        const double shimmer = 1.0 - 0.06 * (0.5 + 0.5 * std::sin(y * 1.7 + 0.8 * std::sin(y * 0.23)));
        const double width = rx * (1.0 + 0.07 * std::sin(y * 1.3 + 3.0 * std::sin(y * 0.11)));   // streaky rim
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = int(centre.x() - rx * reach); x <= int(centre.x() + rx * reach); ++x) {
            if (x < 0 || x >= img.width()) continue;
            const double u = (x + wave - centre.x()) / width, v = (y - centre.y()) / ry;
            const double e = std::sqrt(u * u + v * v);
            const double core = 0.9 * (1.0 - smooth(0.62, 1.0, e)), halo = 0.2 * (1.0 - smooth(0.8, reach, e));
            const double a = std::max(core, halo) * shimmer;
            if (a <= 0) continue;
            auto mix = [a](int from, int to) { return qBound(0, int(std::lround(from + (to - from) * a)), 255); };
            line[x] = qRgb(mix(qRed(line[x]), light.red()), mix(qGreen(line[x]), light.green()),
                           mix(qBlue(line[x]), light.blue()));
        }
    }
}

void background() {
    QImage img = water(passage::render(true));
    QPainter(&img).drawImage(0, 0, passage::render(false));
    // Fine grain so flat stone and water don't look plastic.
    QRandomGenerator rng(20240611);
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int n = int(rng.bounded(15)) - 7;
            auto add = [n](int v) { return qBound(0, v + n, 255); };
            line[x] = qRgb(add(qRed(line[x])), add(qGreen(line[x])), add(qBlue(line[x])));
        }
    }
    QPainter p(&img);
    // Darker corners keep the eye on the middle and let the edge buttons stand out.
    QRadialGradient vignette(QPointF(400, 300), 520);
    vignette.setColorAt(0.45, QColor(0, 0, 0, 0));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 120));
    p.fillRect(img.rect(), vignette);
    // Between the logo (ends near y 139) and the exit button (starts near y 467).
    versePanel(p, QRectF(186, 152, 428, 302));
    p.end();
    // The credit line and the web address are written over the water below the exit button.
    lightPool(img, QPointF(400, 562), 205, 42);
    save(img.convertToFormat(QImage::Format_RGB32), "background.png");
}

// ---------------------------------------------------------------- logo
// The window writes its version (black, about 11 px) over the lower part of the
// band, logo x 129..250, y 63..76, so the name sits in the upper part and the
// strip below it is left plain: no ink, no shadow and no rule under the version.
void logo() {
    QImage img(321, 79, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Ivory band, darkening softly towards its edges.
    p.fillRect(img.rect(), QColor(226, 210, 172));
    const QRectF band = QRectF(img.rect()).adjusted(1, 1, -1, -1);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) {
        const int v = 226 + (252 - 226) * (i + 1) / 8;
        p.setBrush(QColor(v, v - 8 + i / 2, v - 30 + 2 * i));
        p.drawRoundedRect(band.adjusted(i, i * 0.8, -i, -i * 0.8), 10, 10);
    }
    // Gold inner border, open along the bottom where the version is written; the
    // two ends of the opening finish in small dots.
    constexpr double gapFrom = 104, gapTo = 276;
    const QRectF border = band.adjusted(4, 4, -4, -4);
    QPainterPath frame;
    frame.addRoundedRect(border, 7, 7);
    QPainterPath open, gap;
    open.addRect(img.rect());
    gap.addRect(QRectF(gapFrom, border.bottom() - 3, gapTo - gapFrom, 6));
    p.save();
    p.setClipPath(open - gap);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(168, 130, 64), 1.0));
    p.drawPath(frame);
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(168, 130, 64));
    for (double x : {gapFrom - 1.2, gapTo + 1.2}) p.drawEllipse(QPointF(x, border.bottom()), 1.6, 1.6);

    QPainterPath name = fittedText(QString::fromUtf8("برقين"), true, QRectF(44, 6, 233, 51));
    // Joined letters overlap; merged into one outline, the overlaps neither cut
    // holes in the fill nor show their edges in the outline.
    name.setFillRule(Qt::WindingFill);
    name = name.simplified();
    for (int i = 1; i <= 3; ++i)   // soft shadow
        p.fillPath(name.translated(i * 0.6, i * 0.7), QColor(40, 30, 10, 34));
    const QRectF b = name.boundingRect();
    // Gold rules with a lozenge on either side of the name fill the long band,
    // level with the middle of the name.
    const double y = b.top() + b.height() * 0.5;
    for (const auto& [from, to] : {std::pair{18.0, b.left() - 12}, std::pair{302.0, b.right() + 12}}) {
        QLinearGradient fade(QPointF(from, y), QPointF(to, y));
        fade.setColorAt(0, QColor(168, 130, 64, 0));
        fade.setColorAt(1, QColor(168, 130, 64, 230));
        p.setPen(QPen(fade, 1.2));
        p.drawLine(QPointF(from, y), QPointF(to, y));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(168, 130, 64));
        p.drawPolygon(QPolygonF{QPointF(to, y - 4), QPointF(to + 4, y), QPointF(to, y + 4), QPointF(to - 4, y)});
    }
    QLinearGradient green(b.topLeft(), b.bottomLeft());
    green.setColorAt(0, QColor(46, 150, 78));
    green.setColorAt(0.5, QColor(31, 122, 58));
    green.setColorAt(1, QColor(22, 96, 44));
    p.setPen(QPen(QColor(12, 66, 30), 1.1));
    p.setBrush(green);
    p.drawPath(name);
    p.end();
    save(img, "logo.png");
}

// ---------------------------------------------------------------- picture buttons
// Basket weave: square cells alternately hold two horizontal or two vertical
// reeds, each shaded across its width so it looks round.
void weave(QPainter& p, const QSize& size, int seed) {
    const int cell = 8, reed = cell / 2;
    for (int cy = 0; cy * cell < size.height(); ++cy)
        for (int cx = 0; cx * cell < size.width(); ++cx) {
            const bool across = (cx + cy) % 2 == 0;
            for (int k = 0; k < 2; ++k) {
                const double f = 1.0 + 0.04 * jitter(cx * 2 + k, cy, seed);
                const QRectF r = across ? QRectF(cx * cell, cy * cell + k * reed, cell, reed)
                                        : QRectF(cx * cell + k * reed, cy * cell, reed, cell);
                QLinearGradient g = across ? QLinearGradient(r.topLeft(), r.bottomLeft())
                                           : QLinearGradient(r.topLeft(), r.topRight());
                g.setColorAt(0, shade(QColor(200, 176, 134), f));
                g.setColorAt(0.45, shade(QColor(236, 220, 186), f));
                g.setColorAt(1, shade(QColor(188, 162, 118), f));
                p.fillRect(r, g);
            }
        }
}

void button(const QString& file, const char* label, int width) {
    QImage img(width, 40, QImage::Format_RGB32);
    QPainter p(&img);
    weave(p, img.size(), width + int(file.size()));
    p.setRenderHint(QPainter::Antialiasing, true);
    // A bevel and a thin dark border, so the texture reads as a button.
    const double r = width - 1.5;
    p.setPen(QPen(QColor(255, 248, 228, 150), 1));
    p.drawPolyline(QPolygonF{QPointF(1.5, 37.5), QPointF(1.5, 1.5), QPointF(r - 1, 1.5)});
    p.setPen(QPen(QColor(90, 66, 34, 120), 1));
    p.drawPolyline(QPolygonF{QPointF(1.5, 38.5), QPointF(r, 38.5), QPointF(r, 1.5)});
    p.setPen(QPen(QColor(96, 70, 38), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, width - 1, 39));

    const QPainterPath text = fittedText(QString::fromUtf8(label), true, QRectF(6, 4, width - 12, 32));
    p.strokePath(text, QPen(QColor(246, 236, 210, 170), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(text, Qt::black);
    p.end();
    save(img, file);
}

// ---------------------------------------------------------------- 16 x 16 icons
template <typename Draw> void icon(const QString& file, Draw draw) {
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    draw(p);
    p.end();
    save(img, file);
}

void icons() {
    icon("minimize.png", [](QPainter& p) {   // a bar in the lower third
        p.setPen(QPen(QColor(14, 80, 30), 1));
        p.setBrush(QColor(46, 150, 62));
        p.drawRoundedRect(QRectF(2.5, 10.5, 11, 3), 1, 1);
    });
    icon("close.png", [](QPainter& p) {   // two bowed strokes of unequal length, as if drawn with a pen
        QPainterPath a(QPointF(3.0, 3.2)), b(QPointF(12.6, 2.6));
        a.quadTo(QPointF(7.2, 8.6), QPointF(12.8, 13.1));
        b.quadTo(QPointF(8.9, 7.0), QPointF(3.4, 12.6));
        for (const auto& [w, c] : {std::pair{3.4, QColor(10, 70, 28)}, std::pair{2.0, QColor(52, 160, 66)}}) {
            p.strokePath(a, QPen(c, w, Qt::SolidLine, Qt::RoundCap));
            p.strokePath(b, QPen(c, w * 0.92, Qt::SolidLine, Qt::RoundCap));
        }
    });
    icon("send.png", [](QPainter& p) {   // a yellow clipboard with a few written lines
        p.setPen(QPen(QColor(140, 98, 10), 1));
        p.setBrush(QColor(246, 200, 44));
        p.drawRoundedRect(QRectF(2.5, 2.5, 11, 13), 1.5, 1.5);
        p.setPen(QPen(QColor(150, 108, 20), 1));
        for (double y : {6.5, 9.5, 12.5}) p.drawLine(QPointF(5, y), QPointF(11, y));
        p.setPen(QPen(QColor(60, 60, 64), 1));
        p.setBrush(QColor(170, 172, 178));
        p.drawRoundedRect(QRectF(5.5, 0.5, 5, 3.5), 1, 1);
    });
    icon("book.png", [](QPainter& p) {   // an open book: two cream pages over a blue cover
        p.setPen(QPen(QColor(20, 50, 120), 1));
        p.setBrush(QColor(50, 90, 180));
        QPainterPath cover(QPointF(0.5, 4.5));
        cover.lineTo(8, 6.2); cover.lineTo(15.5, 4.5); cover.lineTo(15.5, 14.5); cover.lineTo(8, 15.5);
        cover.lineTo(0.5, 14.5); cover.closeSubpath();
        p.drawPath(cover);
        p.setPen(QPen(QColor(120, 100, 60), 0.8));
        p.setBrush(QColor(252, 246, 222));
        for (const double side : {-1.0, 1.0}) {
            QPainterPath page(QPointF(8, 5.2));
            page.cubicTo(QPointF(8 + side * 2.5, 2.6), QPointF(8 + side * 5, 2.6), QPointF(8 + side * 6.8, 3.2));
            page.lineTo(8 + side * 6.8, 13.0);
            page.cubicTo(QPointF(8 + side * 5, 12.4), QPointF(8 + side * 2.5, 12.4), QPointF(8, 14.6));
            page.closeSubpath();
            p.drawPath(page);
            p.setPen(QPen(QColor(140, 140, 150), 0.7));
            for (double y : {6.0, 8.0, 10.0})
                p.drawLine(QPointF(8 + side * 2.0, y), QPointF(8 + side * 5.6, y - 0.4));
            p.setPen(QPen(QColor(120, 100, 60), 0.8));
        }
    });
    icon("giveup.png", [](QPainter& p) {   // an arrow bending back on itself: red body, black edge
        QPainterPath arc(QPointF(13.2, 14.5));
        arc.cubicTo(QPointF(14.2, 3.0), QPointF(4.6, 0.8), QPointF(4.6, 8.2));
        p.strokePath(arc, QPen(Qt::black, 4.0, Qt::SolidLine, Qt::RoundCap));
        p.setPen(QPen(Qt::black, 1.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(QColor(220, 30, 30));
        p.drawPolygon(QPolygonF{QPointF(0.7, 8.0), QPointF(8.5, 8.0), QPointF(4.6, 14.8)});
        p.strokePath(arc, QPen(QColor(220, 30, 30), 2.0, Qt::SolidLine, Qt::FlatCap));
    });
}

// ---------------------------------------------------------------- the program's icon
// The logo's ivory band and gold border as a rounded tile, with the first letter of the name in
// the logo's green. The same shapes give the scalable icon (SVG, written by hand from the
// outlines) and the PNG sizes of the desktop's icon theme.
namespace programIcon {
constexpr double UNIT = 256;   // the icon's own coordinates
const QRectF TILE(8, 8, 240, 240), BORDER(22, 22, 212, 212);
constexpr double TILE_R = 44, BORDER_R = 32, BORDER_W = 6, LETTER_W = 4;
const QColor IVORY_TOP(252, 244, 220), IVORY_BOTTOM(222, 204, 160), GOLD(168, 130, 64);
const QColor GREEN_TOP(46, 150, 78), GREEN_BOTTOM(22, 96, 44), GREEN_EDGE(12, 66, 30);

QPainterPath letter() {
    QPainterPath path = fittedText(QString::fromUtf8("ب"), true, QRectF(42, 48, 172, 160));
    path.setFillRule(Qt::WindingFill);
    return path.simplified();
}

void paint(QPainter& p, int size) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / UNIT, size / UNIT);
    QLinearGradient ivory(TILE.topLeft(), TILE.bottomLeft());
    ivory.setColorAt(0, IVORY_TOP);
    ivory.setColorAt(1, IVORY_BOTTOM);
    p.setPen(Qt::NoPen);
    p.setBrush(ivory);
    p.drawRoundedRect(TILE, TILE_R, TILE_R);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(GOLD, BORDER_W));
    p.drawRoundedRect(BORDER, BORDER_R, BORDER_R);
    const QPainterPath name = letter();
    const QRectF b = name.boundingRect();
    QLinearGradient green(b.topLeft(), b.bottomLeft());
    green.setColorAt(0, GREEN_TOP);
    green.setColorAt(1, GREEN_BOTTOM);
    p.setPen(QPen(GREEN_EDGE, LETTER_W, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(green);
    p.drawPath(name);
}

QString svgPath(const QPainterPath& path) {
    QString d;
    auto num = [](double v) { return QString::number(v, 'f', 2); };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += QStringLiteral("M%1 %2").arg(num(e.x), num(e.y));
        } else if (e.isLineTo()) {
            d += QStringLiteral("L%1 %2").arg(num(e.x), num(e.y));
        } else if (e.isCurveTo()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1), to = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6").arg(num(e.x), num(e.y), num(c2.x), num(c2.y), num(to.x), num(to.y));
            i += 2;
        }
    }
    return d + QLatin1Char('Z');
}

void svg() {
    const QRectF b = letter().boundingRect();
    auto rgb = [](const QColor& c) { return c.name(); };
    const QString text = QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
        "  <defs>\n"
        "    <linearGradient id=\"ivory\" x1=\"0\" y1=\"%1\" x2=\"0\" y2=\"%2\" gradientUnits=\"userSpaceOnUse\">"
        "<stop offset=\"0\" stop-color=\"%3\"/><stop offset=\"1\" stop-color=\"%4\"/></linearGradient>\n"
        "    <linearGradient id=\"green\" x1=\"0\" y1=\"%5\" x2=\"0\" y2=\"%6\" gradientUnits=\"userSpaceOnUse\">"
        "<stop offset=\"0\" stop-color=\"%7\"/><stop offset=\"1\" stop-color=\"%8\"/></linearGradient>\n"
        "  </defs>\n")
        .arg(TILE.top()).arg(TILE.bottom()).arg(rgb(IVORY_TOP), rgb(IVORY_BOTTOM))
        .arg(b.top()).arg(b.bottom()).arg(rgb(GREEN_TOP), rgb(GREEN_BOTTOM)) +
        QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%3\" rx=\"%4\" fill=\"url(#ivory)\"/>\n")
            .arg(TILE.x()).arg(TILE.y()).arg(TILE.width()).arg(TILE_R) +
        QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%3\" rx=\"%4\" fill=\"none\" stroke=\"%5\" stroke-width=\"%6\"/>\n")
            .arg(BORDER.x()).arg(BORDER.y()).arg(BORDER.width()).arg(BORDER_R).arg(rgb(GOLD)).arg(BORDER_W) +
        QStringLiteral("  <path d=\"%1\" fill=\"url(#green)\" stroke=\"%2\" stroke-width=\"%3\" stroke-linejoin=\"round\"/>\n</svg>\n")
            .arg(svgPath(letter()), rgb(GREEN_EDGE)).arg(LETTER_W);
    QFile file(g_out.filePath("barqeen.svg"));
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0;
    std::fprintf(ok ? stdout : stderr, "%s barqeen.svg\n", ok ? "wrote" : "FAILED");
    g_failed |= !ok;
}

void pngs() {
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        paint(p, size);
        p.end();
        save(img, QStringLiteral("barqeen-%1.png").arg(size));
    }
}
}  // namespace programIcon

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) return std::fprintf(stderr, "usage: make_pictures <output directory>\n"), 2;
    g_out = QDir(QString::fromLocal8Bit(argv[1]));
    if (!g_out.mkpath(".")) return 1;
    for (const char* font : {":/fonts/Amiri-Regular.ttf", ":/fonts/Amiri-Bold.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(font));
        if (id < 0) return std::fprintf(stderr, "cannot load %s\n", font), 1;
        g_amiri = QFontDatabase::applicationFontFamilies(id).value(0);
    }
    background();
    logo();
    button("game.png", "مطارحة", 120);
    button("search.png", "بحث", 120);
    button("poemedit.png", "أبيات الشعر", 120);
    button("categories.png", "مواضيع الشعر", 120);
    button("authors.png", "الشعراء", 110);
    button("history.png", "سجل المطارحة", 120);
    button("exit.png", "خروج", 120);
    icons();
    programIcon::svg();
    programIcon::pngs();
    return g_failed ? 1 : 0;
}
