#include "windows/shell/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace barqeen::fonts {
namespace {

QString family(const char* resource, const char* fallback)
{
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(resource));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString::fromLatin1(fallback) : families.first();
}

QString& plainName()
{
    static QString name;
    return name;
}

QString& calligraphicName()
{
    static QString name;
    return name;
}

}  // namespace

void load()
{
    if (!plainName().isEmpty())
        return;
    plainName() = family(":/fonts/NotoSansArabic-Regular.ttf", "Noto Sans Arabic");
    family(":/fonts/NotoSansArabic-Bold.ttf", "Noto Sans Arabic");
    calligraphicName() = family(":/fonts/Amiri-Regular.ttf", "Amiri");
    family(":/fonts/Amiri-Bold.ttf", "Amiri");
}

QString plainFamily()
{
    load();
    return plainName();
}

QString calligraphicFamily()
{
    load();
    return calligraphicName();
}

QFont plain(int pointSize)
{
    return QFont(plainFamily(), pointSize);
}

QFont plainPixels(int pixels)
{
    QFont f(plainFamily());
    f.setPixelSize(pixels);
    return f;
}

QFont calligraphicPixels(int pixels, bool bold)
{
    QFont f(calligraphicFamily());
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

}  // namespace barqeen::fonts
