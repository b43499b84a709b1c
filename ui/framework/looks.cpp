#include "looks.h"

#include <QVariant>
#include <QWidget>

namespace {

const char kLookProperty[] = "look";

// Per kind: normal, focus, edit, unavailable, unavailable focus, initial; empty where the kind
// has no such look.
struct Row
{
    QString styles[6];
};

const Row &row(Look kind)
{
    static const Row rows[] = {
        // Large
        {{QStringLiteral("background-color: rgb(33, 36, 53);border:2px;border-radius:10px;padding:2px 4px"),
          QStringLiteral("background-color: rgb(33, 36, 53);border:2px solid rgb(255,171,84);border-radius:10px;"
                         "padding:2px 4px;")}},
        // Small
        {{QStringLiteral("background-color: rgb(33, 36, 53);border:1px;border-radius:1px;padding:1px 1px"),
          QStringLiteral("background-color: rgb(33, 36, 53);border:1px solid rgb(255,171,84);border-radius:1px;"
                         "padding:1px 1px")}},
        // Thin
        {{QStringLiteral("background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);"
                         "border:1px solid rgb(255, 255, 255);"),
          QStringLiteral("background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);"
                         "border:1px solid rgb(255,171,84);"),
          QStringLiteral("background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);border:1px solid rgb(255,0,0);")}},
        // Combo
        {{QStringLiteral("QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid rgb(255,255,255);\n}\n"
                         "QComboBox:drop-down{\nborder-style:none\n}"),
          QStringLiteral("QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid rgb(255,171,84);\n}\n"
                         "QComboBox:drop-down{\nborder-style:none\n}"),
          QStringLiteral("QComboBox{\ncolor:rgb(255,255,255);\nborder:1px solid rgb(255,0,0);\n}\n"
                         "QComboBox:drop-down{\nborder-style:none\n}")}},
        // Menu
        {{QStringLiteral("background-color: rgb(33, 36, 53);border:2px;border-radius:10px;padding:2px 4px;"
                         "color:rgb(255,255,255)"),
          QStringLiteral("background-color: rgb(33, 36, 53); border:2px solid rgb(255,171,84);border-radius:10px;"
                         "padding:2px 4px;color:rgb(255,255,255)"),
          QString(),
          QStringLiteral("background-color: gray;border:2px;border-radius:10px;padding:2px 4px;color:rgb(255,255,255)"),
          QStringLiteral("background-color: gray; border:2px solid rgb(255,171,84);border-radius:10px;"
                         "padding:2px 4px;color:rgb(255,255,255)"),
          QStringLiteral("background-color: rgb(33, 36, 53); border:2px solid rgb(255,171,84);border-radius:10px;"
                         "padding:2px 4px")}},
        // MenuText
        {{QStringLiteral("color:rgb(255,255,255);background-color: rgb(33, 36, 53) ; border:2px ;border-radius:10px;"
                         "padding:2px 4px"),
          QStringLiteral("color:rgb(255,255,255);background-color: rgb(33, 36, 53); border:2px solid rgb(255,171,84);"
                         "border-radius:10px;padding:2px 4px")}},
        // KeyWhite
        {{QStringLiteral("background-color: rgb(255, 255, 255);border:1px ;"),
          QStringLiteral("background-color: rgb(255, 255, 255);border:1px solid rgb(255,171,84);")}},
        // KeyBlue
        {{QStringLiteral("background-color: rgb(71, 119, 255);border:1px ;"),
          QStringLiteral("background-color: rgb(71, 119, 255);border:1px solid rgb(255,171,84);")}},
        // Swatch
        {{QStringLiteral("color: rgb(255, 255, 255);"), QStringLiteral("border:1px solid rgb(255,171,84);")}},
        // ThinDark
        {{QStringLiteral("color: rgb(255, 255, 255);background-color:rgb(0,0,0);border:1px solid rgb(255,255,255);"),
          QStringLiteral("color: rgb(255, 255, 255); background-color:rgb(0,0,0);border:1px solid rgb(255,171,84);")}},
        // PortSlot
        {{QStringLiteral("background-color:transparent; border:1px solid rgb(255, 255, 255);border-radius:1px;"
                         "padding:2px 4px"),
          QStringLiteral("background-color:transparent; border:0px solid rgb(255, 255, 255);border-radius:1px;"
                         "padding:2px 4px")}},
        // Outline
        {{QStringLiteral("color:rgb(255,255,255);\nborder:1px solid rgb(255, 255, 255);"),
          QStringLiteral("color:rgb(255,255,255);\nborder:1px solid rgb(255,171,84);")}},
        // ImageTabFrame
        {{QStringLiteral("border:2px solid rgb(71, 119, 255);"), QStringLiteral("border:2px solid rgb(255,171,84);")}},
        // OpenTab: the ground is the dialog's, so the source row's highlight shares it
        {{QStringLiteral("border:1px solid;background-color: rgb(16,16, 28);border-left-color:rgb(71, 119, 255);"
                         "border-right-color:rgb(71, 119, 255);border-top-color:rgb(71, 119, 255);"),
          QStringLiteral("border:1px solid;background-color: rgb(16,16, 28);border-left-color:rgb(255,171,84);"
                         "border-right-color:rgb(255,171,84);border-top-color:rgb(255,171,84);")}},
        // EdidTab
        {{QStringLiteral("border:1px solid;border-bottom-color:rgb(16,16,28);border-left-color:rgb(71, 119, 255);"
                         "border-right-color:rgb(71, 119, 255);border-top-color:rgb(71, 119, 255);"),
          QStringLiteral("border:1px solid;border-bottom-color:rgb(16,16,28);border-left-color:rgb(255,171,84);"
                         "border-right-color:rgb(255,171,84);border-top-color:rgb(255,171,84);")}},
        // ListFrame: by name, so that the cards inside keep their own borders
        {{QStringLiteral("#frame,#frame_source{border:1px solid rgb(71, 119, 255);}"),
          QStringLiteral("#frame,#frame_source{border:1px solid rgb(255,171,84);}")}},
        // EntryCard
        {{QStringLiteral("#source_frame{border:1px solid #CCCCCC;border-radius:5px;}"),
          QStringLiteral("#source_frame{border:1px solid #FFAB54;border-radius:5px;}")}},
        // EntryCardInUse
        {{QStringLiteral("#source_frame{border:1px solid #00D65B;border-radius:5px;}"),
          QStringLiteral("#source_frame{border:1px solid #FFAB54;border-radius:5px;}")}},
        // CropCell
        {{QStringLiteral("background-color: #212435;border:1px solid #CCCCCC;"),
          QStringLiteral("background-color: #212435;border:1px solid #FFA854;")}},
        // AddButton
        {{QStringLiteral("border:0px solid rgb(0,0,0);"), QStringLiteral("border:1px solid rgb(255,171,84);")}},
        // Thin10
        {{QStringLiteral("color:rgb(255, 255, 255);background-color: rgb(33, 36, 53);border:1px solid rgb(255, 255, 255);"
                         "font:10px"),
          QStringLiteral("color:rgb(255, 255, 255);background-color: rgb(33, 36, 53);border:1px solid rgb(255,171,84);"
                         "font:10px")}},
        // ComboFilled
        {{QStringLiteral("QComboBox{\ncolor:rgb(255,255,255);\nbackground-color:rgb(33,36,53);\n"
                         "border:1px solid rgb(255,255,255);\n}\nQComboBox:drop-down{\nborder-style:none\n}"),
          QStringLiteral("QComboBox{\ncolor:rgb(255,255,255);\nbackground-color:rgb(33,36,53);\n"
                         "border:1px solid rgb(255,171,84);\n}\nQComboBox:drop-down{\nborder-style:none\n}"),
          QStringLiteral("QComboBox{\ncolor:rgb(255,255,255);\nbackground-color:rgb(33,36,53);\n"
                         "border:1px solid rgb(255,0,0);\n}\nQComboBox:drop-down{\nborder-style:none\n}")}},
        // OctetFirst
        {{QStringLiteral("color: rgb(255, 255, 255);background-color: rgb(33, 36, 53);"
                         "border-top:1px solid rgb(255, 255, 255);border-bottom:1px solid rgb(255, 255, 255);"
                         "border-left:1px solid rgb(255, 255, 255);"),
          QStringLiteral("color: rgb(255, 255, 255); background-color: rgb(33, 36, 53);border:1px solid rgb(255,171,84);")}},
        // OctetMiddle
        {{QStringLiteral("color: rgb(255, 255, 255);background-color: rgb(33, 36, 53);"
                         "border-top:1px solid rgb(255, 255, 255);border-bottom:1px solid rgb(255, 255, 255);"),
          QStringLiteral("color: rgb(255, 255, 255); background-color: rgb(33, 36, 53);border:1px solid rgb(255,171,84);")}},
        // OctetLast
        {{QStringLiteral("color: rgb(255, 255, 255);background-color: rgb(33, 36, 53);"
                         "border-top:1px solid rgb(255, 255, 255);border-bottom:1px solid rgb(255, 255, 255);"
                         "border-right:1px solid rgb(255, 255, 255);"),
          QStringLiteral("color: rgb(255, 255, 255); background-color: rgb(33, 36, 53);border:1px solid rgb(255,171,84);")}},
        // WizardEntry: normal and focus as Thin
        {{QStringLiteral("background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);"
                         "border:1px solid rgb(255, 255, 255);"),
          QStringLiteral("background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);"
                         "border:1px solid rgb(255,171,84);"),
          QStringLiteral("color:rgb(255, 255, 255);border:1px solid rgb(71, 119, 255);"),
          QStringLiteral("background-color: gray;border:2px;border-radius:10px;padding:2px 4px;color:rgb(255,255,255)")}},
        // PortGroup: normal and focus as Thin
        {{QStringLiteral("background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);"
                         "border:1px solid rgb(255, 255, 255);"),
          QStringLiteral("background-color: rgb(33, 36, 53);color:rgb(255, 255, 255);"
                         "border:1px solid rgb(255,171,84);"),
          QStringLiteral("background-color: #4777FF;color: rgb(255, 255, 255);border:1px solid rgb(255, 255, 255);")}},
        // PortCell
        {{QStringLiteral("background-color: #212435;border:1px solid #FFFFFF;"),
          QStringLiteral("background-color: #212435;border:1px solid #00D65B;")}},
        // FileRow
        {{QStringLiteral("background-color: rgb(33, 36, 53);color: #FFFFFF"),
          QStringLiteral("background-color:#4777FF;color: #FFFFFF;border:1px solid rgb(255,171,84);"),
          QStringLiteral("background-color:#4777FF;color: #FFFFFF;border:1px solid rgb(255,255,255);")}},
        // FileRowUsb
        {{QStringLiteral("background-color: rgb(33, 36, 53);color: #00FF00"),
          QStringLiteral("background-color:#4777FF;color: #00FF00;border:1px solid rgb(255,171,84);"),
          QStringLiteral("background-color:#4777FF;color: #00FF00;border:1px solid rgb(255,255,255);")}},
    };
    return rows[static_cast<int>(kind)];
}

const char *state_name(LookState state)
{
    static const char *const names[] = {"normal", "focus", "edit", "unavailable", "unavailable-focus", "initial"};
    return names[static_cast<int>(state)];
}

}

const QString &look_style(Look kind, LookState state)
{
    const Row &r = row(kind);
    const QString &style = r.styles[static_cast<int>(state)];
    if (!style.isEmpty())
        return style;
    const bool focused = state == LookState::Edit || state == LookState::UnavailableFocus || state == LookState::Initial;
    return r.styles[focused ? 1 : 0];
}

void set_look(QWidget *w, Look kind, LookState state)
{
    if (!w)
        return;
    w->setStyleSheet(look_style(kind, state));
    w->setProperty(kLookProperty, QLatin1String(state_name(state)));
}

LookState look_state(const QWidget *w)
{
    const QString name = w ? w->property(kLookProperty).toString() : QString();
    for (int s = 0; s <= static_cast<int>(LookState::Initial); ++s) {
        if (name == QLatin1String(state_name(static_cast<LookState>(s))))
            return static_cast<LookState>(s);
    }
    return LookState::Normal;
}
