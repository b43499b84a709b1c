#include "looks.h"

#include <QVariant>
#include <QWidget>
#include <array>
#include <iterator>
#include <string_view>

namespace {

using std::string_view;

const char kLookProperty[] = "look";

// The palette. A look names its colours as $name: by what a colour means where it means one
// thing, by what it is where it serves several.
struct Colour
{
    string_view name;
    string_view css;
};
constexpr Colour kPalette[] = {
    {"ground", "rgb(33, 36, 53)"},       // a control's own ground
    {"dialog", "rgb(16, 16, 28)"},       // the dialog's ground around the controls
    {"white", "rgb(255, 255, 255)"},     // text, and the frame of a control at rest
    {"black", "rgb(0, 0, 0)"},
    {"focus", "rgb(255, 171, 84)"},      // where the keys are
    {"focus_crop", "rgb(255, 168, 84)"}, // the crop cells have always drawn their focus a shade off
    {"edit", "rgb(255, 0, 0)"},          // a value being changed
    {"blue", "rgb(71, 119, 255)"},       // a choice held while the keys work below it, the confirm
                                         // key, the ground of a chosen row
    {"unavailable", "gray"},             // an entry that leads nowhere now
    {"line", "#CCCCCC"},                 // a card's frame at rest
    {"in_use", "#00D65B"},               // the source or slot in use, the chosen port
    {"on_stick", "#00FF00"},             // a file on the USB stick
    {"empty", "#B2B2B2"},                // a user-mode slot with nothing saved
};

constexpr bool is_name_char(char c)
{
    return (c >= 'a' && c <= 'z') || c == '_';
}

// The end of the colour name that starts at `from`.
constexpr size_t name_end(string_view style, size_t from)
{
    while (from < style.size() && is_name_char(style[from]))
        ++from;
    return from;
}

constexpr const Colour *find_colour(string_view name)
{
    for (const Colour &c : kPalette) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

constexpr int kStates = static_cast<int>(LookState::Initial) + 1;

// Per kind: normal, focus, edit, unavailable, unavailable focus, initial; null where the kind
// has no such look.
struct Row
{
    Look kind;
    const char *styles[kStates];
};

// Looks that several kinds share.
constexpr char kThin[] = "background-color: $ground;color:$white;border:1px solid $white;";
constexpr char kThinFocus[] = "background-color: $ground;color:$white;border:1px solid $focus;";
constexpr char kComboFocus[] = "QComboBox{\ncolor:$white;\nborder:1px solid $focus;\n}\n"
                               "QComboBox:drop-down{\nborder-style:none\n}";
constexpr char kMenuUnavailable[] =
    "background-color: $unavailable;border:2px;border-radius:10px;padding:2px 4px;color:$white";
constexpr char kOctetFocus[] = "color: $white; background-color: $ground;border:1px solid $focus;";
constexpr char kSlotGround[] = "background-color: $ground;border-radius:5px;";

constexpr Row kRows[] = {
    {Look::Large,
     {"background-color: $ground;border:2px;border-radius:10px;padding:2px 4px",
      "background-color: $ground;border:2px solid $focus;border-radius:10px;padding:2px 4px;"}},
    {Look::Small,
     {"background-color: $ground;border:1px;border-radius:1px;padding:1px 1px",
      "background-color: $ground;border:1px solid $focus;border-radius:1px;padding:1px 1px"}},
    {Look::Thin, {kThin, kThinFocus, "background-color: $ground;color:$white;border:1px solid $edit;"}},
    {Look::Combo,
     {"QComboBox{\ncolor:$white;\nborder:1px solid $white;\n}\nQComboBox:drop-down{\nborder-style:none\n}",
      kComboFocus,
      "QComboBox{\ncolor:$white;\nborder:1px solid $edit;\n}\nQComboBox:drop-down{\nborder-style:none\n}"}},
    {Look::Menu,
     {"background-color: $ground;border:2px;border-radius:10px;padding:2px 4px;color:$white",
      "background-color: $ground; border:2px solid $focus;border-radius:10px;padding:2px 4px;color:$white",
      nullptr,
      kMenuUnavailable,
      "background-color: $unavailable; border:2px solid $focus;border-radius:10px;padding:2px 4px;color:$white",
      "background-color: $ground; border:2px solid $focus;border-radius:10px;padding:2px 4px"}},
    {Look::MenuText,
     {"color:$white;background-color: $ground ; border:2px ;border-radius:10px;padding:2px 4px",
      "color:$white;background-color: $ground; border:2px solid $focus;border-radius:10px;padding:2px 4px"}},
    {Look::KeyWhite, {"background-color: $white;border:1px ;", "background-color: $white;border:1px solid $focus;"}},
    {Look::KeyBlue, {"background-color: $blue;border:1px ;", "background-color: $blue;border:1px solid $focus;"}},
    {Look::Swatch, {"color: $white;", "border:1px solid $focus;"}},
    {Look::ThinDark,
     {"color: $white;background-color:$black;border:1px solid $white;",
      "color: $white; background-color:$black;border:1px solid $focus;"}},
    {Look::PortSlot,
     {"background-color:transparent; border:1px solid $white;border-radius:1px;padding:2px 4px",
      "background-color:transparent; border:0px solid $white;border-radius:1px;padding:2px 4px"}},
    {Look::Outline, {"color:$white;\nborder:1px solid $white;", "color:$white;\nborder:1px solid $focus;"}},
    {Look::ImageTabFrame, {"border:2px solid $blue;", "border:2px solid $focus;"}},
    // The ground is the dialog's, so the source row's highlight shares it.
    {Look::OpenTab,
     {"border:1px solid;background-color: $dialog;border-left-color:$blue;border-right-color:$blue;"
      "border-top-color:$blue;",
      "border:1px solid;background-color: $dialog;border-left-color:$focus;border-right-color:$focus;"
      "border-top-color:$focus;"}},
    {Look::EdidTab,
     {"border:1px solid;border-bottom-color:$dialog;border-left-color:$blue;border-right-color:$blue;"
      "border-top-color:$blue;",
      "border:1px solid;border-bottom-color:$dialog;border-left-color:$focus;border-right-color:$focus;"
      "border-top-color:$focus;"}},
    // By name, so that the cards inside keep their own borders.
    {Look::ListFrame,
     {"#frame,#frame_source{border:1px solid $blue;}", "#frame,#frame_source{border:1px solid $focus;}"}},
    {Look::EntryCard,
     {"#source_frame{border:1px solid $line;border-radius:5px;}",
      "#source_frame{border:1px solid $focus;border-radius:5px;}"}},
    {Look::EntryCardInUse,
     {"#source_frame{border:1px solid $in_use;border-radius:5px;}",
      "#source_frame{border:1px solid $focus;border-radius:5px;}"}},
    {Look::CropCell,
     {"background-color: $ground;border:1px solid $line;", "background-color: $ground;border:1px solid $focus_crop;"}},
    {Look::AddButton, {"border:0px solid $black;", "border:1px solid $focus;"}},
    {Look::Thin10,
     {"color:$white;background-color: $ground;border:1px solid $white;font:10px",
      "color:$white;background-color: $ground;border:1px solid $focus;font:10px"}},
    {Look::ComboFilled,
     {"QComboBox{\ncolor:$white;\nbackground-color:$ground;\nborder:1px solid $white;\n}\n"
      "QComboBox:drop-down{\nborder-style:none\n}",
      "QComboBox{\ncolor:$white;\nbackground-color:$ground;\nborder:1px solid $focus;\n}\n"
      "QComboBox:drop-down{\nborder-style:none\n}",
      "QComboBox{\ncolor:$white;\nbackground-color:$ground;\nborder:1px solid $edit;\n}\n"
      "QComboBox:drop-down{\nborder-style:none\n}"}},
    {Look::OctetFirst,
     {"color: $white;background-color: $ground;border-top:1px solid $white;border-bottom:1px solid $white;"
      "border-left:1px solid $white;",
      kOctetFocus}},
    {Look::OctetMiddle,
     {"color: $white;background-color: $ground;border-top:1px solid $white;border-bottom:1px solid $white;",
      kOctetFocus}},
    {Look::OctetLast,
     {"color: $white;background-color: $ground;border-top:1px solid $white;border-bottom:1px solid $white;"
      "border-right:1px solid $white;",
      kOctetFocus}},
    {Look::WizardEntry, {kThin, kThinFocus, "color:$white;border:1px solid $blue;", kMenuUnavailable}},
    {Look::PortGroup, {kThin, kThinFocus, "background-color: $blue;color: $white;border:1px solid $white;"}},
    {Look::PortCell,
     {"background-color: $ground;border:1px solid $white;", "background-color: $ground;border:1px solid $in_use;"}},
    {Look::FileRow,
     {"background-color: $ground;color: $white",
      "background-color:$blue;color: $white;border:1px solid $focus;",
      "background-color:$blue;color: $white;border:1px solid $white;"}},
    {Look::FileRowUsb,
     {"background-color: $ground;color: $on_stick",
      "background-color:$blue;color: $on_stick;border:1px solid $focus;",
      "background-color:$blue;color: $on_stick;border:1px solid $white;"}},
    {Look::ModeChoice,
     {"QComboBox{\ncolor:$white;\nborder:1px solid $blue;\n}\nQComboBox:drop-down{\nborder-style:none\n}",
      kComboFocus}},
    {Look::ModeChoiceArrow,
     {"color: $white;border:1px solid $blue;background-color:$black",
      "color: $white;border:1px solid $focus;background-color:$black"}},
    {Look::SlotRing,
     {"background-color:transparent;", "background-color:transparent;border-radius:5px;border:2px solid $focus;"}},
    {Look::SlotFrame,
     {kSlotGround, nullptr, "background-color: $in_use;border-radius:5px;",
      "background-color: $empty;border-radius:5px;"}},
    {Look::BusyDot, {kSlotGround, "background-color: $focus;border-radius:5px;"}},
    {Look::Panel, {"background-color: $ground;"}},
    {Look::Text, {"color: $white"}},
    {Look::DialogText, {"background-color: $dialog;color: $white;"}},
};

constexpr bool rows_follow_the_enum()
{
    if (std::size(kRows) != static_cast<size_t>(Look::Kinds))
        return false;
    for (size_t i = 0; i < std::size(kRows); ++i) {
        if (kRows[i].kind != static_cast<Look>(i))
            return false;
    }
    return true;
}
static_assert(rows_follow_the_enum(), "the looks table needs one row per kind, in the order of the enum");

constexpr bool is_hex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Every $name is in the palette, and no colour is written out: "rgb(" or a # with three or more
// hex digits (an object name such as #frame has fewer).
constexpr bool colours_from_the_palette(string_view style)
{
    for (size_t i = 0; i < style.size(); ++i) {
        if (style[i] == '$') {
            const size_t end = name_end(style, i + 1);
            if (!find_colour(style.substr(i + 1, end - i - 1)))
                return false;
            i = end - 1;
        } else if (style.substr(i, 4) == "rgb(") {
            return false;
        } else if (style[i] == '#') {
            size_t digits = 0;
            while (i + 1 + digits < style.size() && is_hex(style[i + 1 + digits]))
                ++digits;
            if (digits >= 3)
                return false;
        }
    }
    return true;
}

constexpr bool table_uses_the_palette()
{
    for (const Row &row : kRows) {
        for (const char *style : row.styles) {
            if (style && !colours_from_the_palette(style))
                return false;
        }
    }
    return true;
}
static_assert(table_uses_the_palette(), "a look names its colours from the palette ($name)");

QString expand(string_view style)
{
    QString out;
    size_t from = 0;
    for (size_t i = style.find('$'); i != string_view::npos; i = style.find('$', from)) {
        out += QLatin1String(style.data() + from, static_cast<int>(i - from));
        const size_t end = name_end(style, i + 1);
        const string_view css = find_colour(style.substr(i + 1, end - i - 1))->css;
        out += QLatin1String(css.data(), static_cast<int>(css.size()));
        from = end;
    }
    out += QLatin1String(style.data() + from, static_cast<int>(style.size() - from));
    return out;
}

using Styles = std::array<QString, kStates>;

// The style sheets, made once on first use.
const Styles &styles(Look kind)
{
    static const auto table = [] {
        std::array<Styles, std::size(kRows)> out;
        for (size_t k = 0; k < out.size(); ++k) {
            for (int s = 0; s < kStates; ++s) {
                if (const char *style = kRows[k].styles[s])
                    out[k][static_cast<size_t>(s)] = expand(style);
            }
        }
        return out;
    }();
    return table[static_cast<size_t>(kind)];
}

const char *state_name(LookState state)
{
    static const char *const names[] = {"normal", "focus", "edit", "unavailable", "unavailable-focus", "initial"};
    static_assert(std::size(names) == kStates, "one name per state");
    return names[static_cast<int>(state)];
}

}

const QString &look_style(Look kind, LookState state)
{
    const Styles &s = styles(kind);
    const auto in = [&s](LookState st) -> const QString & { return s[static_cast<size_t>(st)]; };
    if (!in(state).isEmpty())
        return in(state);
    const bool focused =
        state == LookState::Edit || state == LookState::UnavailableFocus || state == LookState::Initial;
    return focused && !in(LookState::Focus).isEmpty() ? in(LookState::Focus) : in(LookState::Normal);
}

void set_look(QWidget *w, Look kind, LookState state)
{
    if (!w)
        return;
    // A new sheet re-polishes the control and its children, a third of the time to the very look
    // it has. One sheet for every state, selecting on the property, measured slower still: Qt
    // parses a control's own sheet again on every re-polish, and that sheet is the longer.
    const QString &style = look_style(kind, state);
    if (w->styleSheet() != style)
        w->setStyleSheet(style);
    w->setProperty(kLookProperty, QLatin1String(state_name(state)));
}

LookState look_state(const QWidget *w)
{
    const QString name = w ? w->property(kLookProperty).toString() : QString();
    for (int s = 0; s < kStates; ++s) {
        if (name == QLatin1String(state_name(static_cast<LookState>(s))))
            return static_cast<LookState>(s);
    }
    return LookState::Normal;
}
