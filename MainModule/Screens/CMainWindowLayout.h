// The main window's controls placed by a fixed rule rather than in flowing rows: on a Pocket PC the
// toolbar takes a band at the bottom (portrait) or the right edge (landscape), then the city switch
// takes the top, the separator the next two pixels and the temperature graph the rest.
#pragma once

#include "UserInterface/CDlgLayout.h"

class CMainWindowLayout : public UserInterface::CDlgLayout {
public:
    // The fixed ids of the window's controls.
    enum ControlId { kSwitch = 0, kSeparator = 1, kTempGraph = 2, kToolbar = 3 };

    void Arrange() override;

    // The rectangles of the rule for a view, in the view's coordinates; exposed for the tests.
    struct Bands {
        RECT toolbar;  // empty without a toolbar
        RECT switchBand;
        RECT separator;
        RECT graph;
    };
    static Bands ComputeBands(const RECT& view, bool withToolbar, bool portrait);

private:
    void PlaceControl(int id, const RECT& rect);
};
