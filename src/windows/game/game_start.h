#pragma once
// The game button's flow: the contestant's name, the start letter and the options, then the game.
namespace barqeen {

class TfmGame;
class TfmStartLetter;

// Asks for the name (offered again, unchanged, while the code page cannot hold it or it is longer
// than the history keeps) and the start letter; either cancelled, no game starts. Returns when the
// game has ended.
void playGame(TfmGame& game, TfmStartLetter& startLetter);

}  // namespace barqeen
