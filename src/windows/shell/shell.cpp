#include "windows/shell/shell.h"

#include "windows/shell/dialogs.h"
#include "windows/shell/painting.h"
#include "core/text/codepage.h"
#include "core/text/letters.h"
#include "core/text/verse_check.h"

#include <QPainter>
#include <QWidget>

namespace barqeen {

void Shell::PaintGradient(QWidget* window)
{
    QPainter painter(window);
    paintBackdrop(painter, *window);
}

std::string Shell::NormalizeText(std::string_view text)
{
    return barqeen::NormalizeText(text);
}

bool Shell::CheckVerse(std::string text)
{
    const VerseFault fault = CheckVerseRules(std::move(text));
    if (fault == VerseFault::None)
        return true;
    Dialogs::message(codepage::toUnicode(VerseFaultMessage(fault)));
    return false;
}

}  // namespace barqeen
