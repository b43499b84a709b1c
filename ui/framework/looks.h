#pragma once
#include <QString>
#include <cstdint>

class QWidget;

// The looks of every control the keys move over, and of the plain ones several screens share,
// defined once over one palette. A kind has a normal and a focused look, and some an edit look (a
// value being changed) and the two unavailable looks. A control changes look only through
// set_look, which also records the state in its "look" property: the tests read that, not the
// style sheet.
enum class Look : uint8_t {
    Large,          // the main menu's entries
    Small,          // the main menu's lock and tools entries and its tool row
    Thin,           // a 1-px framed field or button of the setting screens
    Combo,          // a combo box of the setting screens
    Menu,           // an entry of the Setting and advanced menus
    MenuText,       // a text entry of the communication, output and recovery menus
    KeyWhite,       // a key of the numeric keyboard
    KeyBlue,        // its confirm key
    Swatch,         // a test pattern's picture: only the focus draws a frame
    ThinDark,       // a 1-px framed button on black (the test patterns' Close)
    PortSlot,       // a slot of the output-port strip: framed; the selected one bare under its tab
    Outline,        // a 1-px framed button on the dialog's own background (ageing log, source choice)
    // The frames that mark a choice: focused while the keys move it, normal (blue) while they
    // work in the level below and the choice is held.
    ImageTabFrame,  // around the source choice's focused image tab
    OpenTab,        // around an input's tab or the source row's chosen source
    EdidTab,        // around the EDID screen's chosen input
    ListFrame,      // around an entry or crop list, and the EDID input card
    EntryCard,      // a source-choice entry card
    EntryCardInUse, // the one the selected image shows: green, focused as EntryCard
    CropCell,       // a crop-list cell
    AddButton,      // the crop list's add button: no frame until focused
    Thin10,         // Thin in a 10-px font: the crop edit frame's fields and buttons
    ComboFilled,    // a combo box on the buttons' colour (the colour-temperature type)
    // The cells of an address drawn as one boxed field (the network address): the white frame
    // runs along the top and bottom of the row, closed by the first cell on the left and the last
    // on the right; a focused cell has a frame of its own.
    OctetFirst,
    OctetMiddle,
    OctetLast,
    // The smart-mapping wizard's own.
    WizardEntry,    // an entry of its main column: edit while its flow holds the keys
    PortGroup,      // its port-group button: edit while the group is the chosen one
    PortCell,       // a cell of its port grid: focus on the chosen port
    FileRow,        // a scan file of the device: focus chosen by the keys, edit by a touch
    FileRowUsb,     // a scan file on the USB stick, the same in green
    // The user modes' own.
    ModeChoice,     // the user-mode screen's slot box: focus while the keys move through the slots,
                    // normal (blue) while they move between its buttons and the slot is held
    ModeChoiceArrow, // the arrows on either side of that box, the same on black
    SlotRing,       // the ring on a slot of the main menu's user-mode popup: the focus alone
    SlotFrame,      // that slot's frame: normal when saved, unavailable (grey) when empty,
                    // edit (green) once a touch or OK chose it
    BusyDot,        // a dot of the upgrade's running row: focus on the one lit
    // Looks without a focus, shared by controls that never change look.
    Panel,          // a plain area on the controls' ground
    Text,           // white text on whatever lies below
    DialogText,     // white text on the dialog's ground (summaries and logs)

    Kinds           // not a kind: their number, which the table is checked against
};

enum class LookState : uint8_t {
    Normal,
    Focus,
    Edit,               // the focused row's value is being changed
    Unavailable,        // an entry that leads nowhere now
    UnavailableFocus,
    Initial,            // the Setting menu's first entry before any key: the focus frame alone
};

// The style sheet of a kind in a state; a state the kind does not define falls back to its
// focused look (edit, unavailable focus, initial) or its normal look.
const QString &look_style(Look kind, LookState state);
void set_look(QWidget *w, Look kind, LookState state = LookState::Normal);
// The state set_look last gave the control (Normal when it never did).
LookState look_state(const QWidget *w);
