#include "core/rules/game_options.h"

#include <QSettings>

#include <algorithm>

namespace barqeen {
namespace {

const QString kVowelledKey = QStringLiteral("game/acceptVowelled");
const QString kLevelKey = QStringLiteral("game/level");
const QString kTurnSecondsKey = QStringLiteral("game/turnSeconds");

const QString kEasy = QStringLiteral("easy");
const QString kNormal = QStringLiteral("normal");
const QString kHard = QStringLiteral("hard");

// An ini file under the user's configuration folder, the same on every platform.
const QString kSettingsOwner = QStringLiteral("Barqeen");

}  // namespace

GameOptions GameOptions::read(QSettings& settings)
{
    GameOptions options;
    options.acceptVowelled = settings.value(kVowelledKey, false).toBool();
    const QString level = settings.value(kLevelKey, kNormal).toString();
    if (level == kEasy)
        options.level = PlayLevel::Easy;
    else if (level == kHard)
        options.level = PlayLevel::Hard;
    bool isNumber = false;
    const int seconds = settings.value(kTurnSecondsKey, 0).toInt(&isNumber);
    if (isNumber && std::find(kTurnLimits.begin(), kTurnLimits.end(), seconds) != kTurnLimits.end())
        options.turnSeconds = seconds;
    return options;
}

void GameOptions::write(QSettings& settings) const
{
    settings.setValue(kVowelledKey, acceptVowelled);
    settings.setValue(kLevelKey, level == PlayLevel::Easy ? kEasy : level == PlayLevel::Hard ? kHard : kNormal);
    settings.setValue(kTurnSecondsKey, turnSeconds);
    settings.sync();
}

GameOptions GameOptions::load()
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, kSettingsOwner, kSettingsOwner);
    return read(settings);
}

void GameOptions::save() const
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, kSettingsOwner, kSettingsOwner);
    write(settings);
}

}  // namespace barqeen
