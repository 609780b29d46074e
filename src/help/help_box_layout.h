#pragma once
// Where the parts of a quick help box go: the title on top, the body wrapped below it, the More
// Information command and the don't-show-again choice under the body, and the box's height.
// Everything is in pixels; the designed gaps are twips, converted with the screen's twips per pixel.
#include <functional>

namespace spotlex {

// The size a text takes when wrapped to a given width: its longest line and its height.
struct TextExtent {
    int width = 0;
    int height = 0;
};
using MeasureText = std::function<TextExtent(int wrapWidth)>;

// The box and the fixed parts of its design, in pixels.
struct HelpBoxFrame {
    int boxWidth = 0;     // outer width
    int clientWidth = 0;  // inner width
    int titleLeft = 0;
    int titleTop = 0;
    int bodyLeft = 0;
    int checkHeight = 0;
};

struct HelpBoxLayout {
    int titleWidth = 0;
    int titleHeight = 0;
    int bodyTop = 0;
    int bodyWidth = 0;
    int bodyHeight = 0;
    int commandTop = 0;  // the More Information button, and its caption when it shows
    bool showCommand = false;
    int checkTop = 0;
    bool showCheck = false;
    int boxHeight = 0;  // outer height
};

// Lays out the box. The body is narrowed in steps until its wrapped text no longer reaches the
// right margin; a word wider than the box never fits, and then the first width is kept.
HelpBoxLayout LayOutHelpBox(const HelpBoxFrame& frame, double twipsPerPixel, bool hasCommand,
                            bool offerDontShow, const MeasureText& measureTitle,
                            const MeasureText& measureBody);

}  // namespace spotlex
