#include "print/print_surface.h"

namespace ardmoor {

void PrintSurface::SetFontSize(int points) {
    if (points == fontSize_) return;
    fontSize_ = points;
    FontChanged();
}

void PrintSurface::SetBold(bool bold) {
    if (bold == bold_) return;
    bold_ = bold;
    FontChanged();
}

Status PrintSurface::PrintLine(std::wstring_view text) {
    if (!text.empty())
        if (Status drawn = DrawTextAt(x_, y_, text); !drawn) return drawn;
    y_ += LineHeight();
    x_ = 0;
    return {};
}

}  // namespace ardmoor
