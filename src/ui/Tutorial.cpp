// The tutorial and the tips.
#include "ui/Tutorial.h"

#include <utility>

namespace sw {

namespace {

constexpr const char* kTutorial = R"(TUTORIAL - WRITING YOUR FIRST SCORE

1. Start a new score
Choose File, New. An empty page appears with one stave on it. The purple-blue mark on the stave is the cursor: new music goes where it stands.

2. Add a clef, a key and a time signature
Open the Add menu and choose Clef. The clef appears grey: it is provisional until you complete it. Press Enter to complete it. Move the cursor a little to the right, then add a Key Signature and a Time Signature in the same way.

3. Write notes
Press one of the letters A to G. A grey crotchet appears at the cursor. While it is grey you can change it: press the letter again to make it shorter (a quaver, then a semiquaver), Shift and the letter to make it longer (a minim, then a semibreve), the arrow keys up and down to move it an octave. Press the space bar to complete it and move on.

4. Bar lines
Press the bar key (|) to complete a bar. The next note starts after the bar line.

5. Text, lines and curves
F9 starts Text mode: click where the text goes and type, then press Enter. F11 starts Line mode and F12 Curve mode: the green guidance strip at the bottom of the window tells you what to do next. Esc always takes you back to Music mode.

6. Pages
The tabs at the bottom right of the window show the pages of your score. Click one to see that page, or use Alt+PgDn and Alt+PgUp.

7. Headers and footers
Choose Page, Page Layout and give the page a header margin. Then Alt+F3 lets you write text that appears at the top of every page.

8. Saving and printing
Ctrl+S saves your score. Print shows your printer's dialog; with no printer installed, the score is printed to a PDF file.

9. Look before you print
Preview shows whole pages, one or two at a time, as they will come out of the printer.

That is the end of the tutorial. Raise your user level (User menu) when you want more of the program's options.
)";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
        text.replace(at, from.size(), to), at += to.size();
    return text;
}

}  // namespace

std::string TutorialText(bool american) {
    std::string text = kTutorial;
    if (!american) return text;
    static const std::pair<const char*, const char*> kNames[] = {
        {"semiquaver", "sixteenth note"}, {"semibreve", "whole note"}, {"crotchet", "quarter note"},
        {"quaver", "eighth note"},        {"minim", "half note"},
    };
    for (const auto& [british, us] : kNames)
        text = Replace(text, british, us);
    return text;
}

const std::vector<std::string>& Tips() {
    static const std::vector<std::string> kTips = {
        "Esc abandons whatever you are placing and takes you back to Music mode.",
        "Alt+PgDn and Alt+PgUp turn the pages; the page tabs at the bottom right do the same.",
        "Hold the middle mouse button (or Shift+Ctrl and the left button) to drag the page about.",
        "The guidance strip at the bottom of the window tells you what each mode expects next.",
        "Page, Page Layout sets the paper, the margins and the header and footer heights.",
        "Every change can be undone, one command at a time, with Undo.",
        "An automatic backup of your score is kept while you work; if the program stops "
        "unexpectedly, it offers to recover it next time.",
        "Print preview shows facing pages side by side, as a printed book would.",
    };
    return kTips;
}

}  // namespace sw
