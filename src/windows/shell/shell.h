#pragma once
// What a window asks of the rest of the program: the tables and the search state the main window
// holds for the run, and the requests that open another window. Program answers them; a window
// knows this interface, never another window.
#include "core/store/poem_store.h"

#include <string>
#include <string_view>

class QDateTime;
class QString;
class QWidget;

namespace barqeen {

class VerseSearch;
class MeterWorker;

class Shell {
public:
    virtual ~Shell() = default;

    // ---- held by the main window for the whole run ----
    virtual PoemStore& store() = 0;
    virtual VerseSearch& search() = 0;
    // The meters of all verses for the search by meter, worked out after the tables open.
    virtual MeterWorker& meterWorker() = 0;
    // Set while the search window shows a search: the verse table's record filter then lets
    // through only the verses the search finds.
    virtual bool searchActive() const = 0;
    virtual void setSearchActive(bool active) = 0;
    // The windows centre on its screen; the one window that is not modal closes with it.
    virtual QWidget& mainWindow() = 0;

    // ---- requests: each shows a window, modally except the recorded verses ----
    // The verse window; a non-empty field gets the focus (a verse refused for it being empty).
    virtual void openVerseWindowAt(const std::string& fieldName) = 0;
    void openVerseWindow() { openVerseWindowAt({}); }
    virtual void openAuthors() = 0;
    virtual void openCategories() = 0;
    virtual void openSearch() = 0;
    virtual void openHistory() = 0;
    // The recorded-verses window, over the verses the player table's filter lets through.
    virtual void openRecordedVerses(const QString& playerName, const QDateTime& playTime) = 0;
    // One game, from the name prompt to its end.
    virtual void startGame() = 0;
    // The starter collection brought in by an ordinary import, in the verse window with its
    // progress and summary.
    virtual void importStarterCollection() = 0;
    // The verse table moved: the verse window's ticks, count and meter follow.
    virtual void verseTableMoved() = 0;

    // ---- the same for every window ----
    Table& cdsPoem() { return store().cdsPoem; }
    Table& cdsAuthors() { return store().cdsAuthors; }
    Table& cdsCategories() { return store().cdsCategories; }
    Table& cdsHistory() { return store().cdsHistory; }
    Table& cdsPlayerPoem() { return store().cdsPlayerPoem; }

    // Paints the backdrop gradient on a secondary window; called from that window's paint event.
    static void PaintGradient(QWidget* window);
    // Text rules the windows share. CheckVerse shows the message of the first rule a verse
    // breaks (a plain box) and answers whether it passed.
    static std::string NormalizeText(std::string_view text);
    static bool CheckVerse(std::string text);
};

}  // namespace barqeen
