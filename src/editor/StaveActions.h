// The stave and system commands as the document runs them: their actions,
// keys and enabled states, over the commands in commands/StaveCommands.
#pragma once

#include "editor/Actions.h"
#include "model/Score.h"

namespace sw {

class DocumentController;
struct MusicKey;

// Whether a stave command can act on stave s as the score stands (the
// stave pop-up's rules; the mode is the controller's business).
bool StaveCommandApplies(const Score& score, int s, Action a);

struct StaveActions {
    static bool IsStaveAction(Action a);
    static bool command(DocumentController& d, Action a);
    static void refreshActions(DocumentController& d);
    // Music keys: Ctrl+[ joins or separates, `[` and `{` bracket and brace,
    // `+` the stave size.
    static void joinKey(DocumentController& d, const MusicKey& k);
    static void bracketKey(DocumentController& d, const MusicKey& k);
    static void braceKey(DocumentController& d, const MusicKey& k);
    static void sizeKey(DocumentController& d, const MusicKey& k);

  private:
    static void binding(DocumentController& d, bool brace);
};

}  // namespace sw
