#pragma once
// No error may cross a Qt slot or event handler. Every handler runs through guarded(): an error
// ends the handler, its text is shown in the error box, and the program goes on.
#include "windows/shell/dialogs.h"

#include <exception>
#include <utility>

namespace barqeen {

void showError(const std::exception& e);

template <class Handler>
void runGuarded(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        showError(e);
    }
}

template <class Handler>
auto guarded(Handler handler)
{
    return [handler = std::move(handler)](auto&&...) mutable { runGuarded(handler); };
}

}  // namespace barqeen
