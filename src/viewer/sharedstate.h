#pragma once

#include <QString>

namespace viewer {

// The program-wide values that the main window's handlers share for the whole run. The six
// geometry values are twips as decimal text, held exactly as quorvin.ini stores them and
// converted to numbers only where they are applied to the window.
struct SharedState
{
    QString VersionText;
    QString WinTop;
    QString WinLeft;
    QString NfoHeight;
    QString NfoWidth;
    QString DizHeight;
    QString DizWidth;
    QString NfoWidthAtStart; // NfoWidth as start-up read it: the final width of an NFO switch
    bool DizMode = false; // the file on show is a DIZ file
    bool DizSized = false; // the last load that recognised a type gave the DIZ size
};

} // namespace viewer
