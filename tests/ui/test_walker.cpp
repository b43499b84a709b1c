// Every screen of the catalog in the five languages, as it opens and in the states that only keys
// bring up (the edit frames): no text left empty, no text wider or taller than its label or than
// the room a button's picture leaves it, no text in a font the start-up does not warm, no picture
// that resolves to nothing, no slot named for a signal that does not exist.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QStackedWidget>
#include <QTextDocument>
#include <QToolButton>

#include "catalog.h"
#include "colouredline.h"
#include "mainfixture.h"
#include "warmup.h"

namespace {

QStringList g_warnings;

// Texts that do not fit the place the layout gives them, kept as they stand: the texts and the
// geometry are both the device's own. Screen, object, language (-1: all).
struct KnownOverflow
{
    const char *screen;
    const char *object;
    int language;
};
const KnownOverflow kKnownOverflows[] = {
    {"MachineState", "label_FPGA1", -1},   // the FPGA date runs past the label's fixed 140 px
    {"LockWindow", "label_input", LANG_RU},
    {"LinkOption", "Button_usb", LANG_VI},
    {"CustomMode", "label_name", LANG_VI},   // the stacked accents are taller than the 12-px line
    {"ledset", "label_note_led_w", LANG_VI},   // the same on the note's 12-px line
    {"ledset", "label_ledw", LANG_RU},         // "Ширина" beside its field in 50 px
    {"netset", "w_label", LANG_RU},            // the two captions in 43 and 45 px
    {"netset", "h_label", LANG_RU},
    // The pattern captions: 50 to 70 px under their icons, at 7 pt.
    {"test_chart", "label_wline", LANG_EN},
    {"testimage", "label_wline", LANG_EN},
    {"test_chart", "label_red", LANG_VI},
    {"test_chart", "label_green", LANG_VI},
    {"test_chart", "label_blue", LANG_VI},
    {"test_chart", "label_white", LANG_VI},
    {"test_chart", "label_black", LANG_VI},
    {"testimage", "label_red", LANG_VI},
    {"testimage", "label_green", LANG_VI},
    {"testimage", "label_blue", LANG_VI},
    {"testimage", "label_white", LANG_VI},
    {"testimage", "label_black", LANG_VI},
    {"othersetup", "label_name_volume", LANG_VI},   // Vietnamese past the fixed widths of caption and list
    {"othersetup", "label_wifi", LANG_VI},
    {"othersetup", "switch_state", LANG_VI},
    {"EDIDset", "card_edid", -1},          // a 1920x1080@60Hz timing is wider than the card's 88 px
    // The EDID edit frame: "Refresh rate" at 7 pt in 60 px, "Ширина" in 28 px, "Сохранить" at
    // 9 px in 50 px.
    {"EDIDset", "label_freq", LANG_EN},
    {"EDIDset", "label_W", LANG_RU},
    {"EDIDset", "Button_save", LANG_RU},
    {"InputCut", "cell_size", -1},         // a 1920x1080@60Hz timing in the crop cell's 88 px too
    {"InputCut", "label_crop", LANG_RU},   // the crop edit frame's Russian captions in 30 px
    {"InputCut", "label_W", LANG_RU},
    {"InputChoose", "badge", LANG_RU},       // the in-use word on the card's 30-px badge
    {"ImageLayout", "label_W", LANG_RU},   // the Russian captions of width and height in 35 px
    {"ImageLayout", "label_H", LANG_RU},
    {"quality", "label_reset", LANG_VI},    // the Vietnamese reset caption in the 140-px label
    {"lcdshow", "label_backmainwindow", LANG_RU},   // the captions in 120 px beside their lists
    {"lcdshow", "label_backmainwindow", LANG_VI},
    {"lcdshow", "label_autolock", LANG_VI},
    {"factory", "label_lang", LANG_EN},     // "language" in its 60 px, a pixel short
    {"factory", "label_lang", LANG_VI},
    {"factory", "label_edid", LANG_VI},     // the Vietnamese reset captions in 150 px
    {"factory", "label_all", LANG_VI},
    {"factory", "FontCN", LANG_ZH_HANS},    // the Chinese font lines, 2 px wider than their 130 px
    {"factory", "FontEN", LANG_ZH_HANS},
    // The dots between the octets: a period's advance in 5 px, its ink well inside them.
    {"linkwlan", "labelIpDot1", -1},
    {"linkwlan", "labelIpDot2", -1},
    {"linkwlan", "labelIpDot3", -1},
    {"linkwlan", "labelMaskDot1", -1},
    {"linkwlan", "labelMaskDot2", -1},
    {"linkwlan", "labelGateDot1", -1},
    {"linkwlan", "labelGateDot2", -1},
    {"linkwlan", "labelGateDot3", -1},
    // The smart-mapping wizard's Step 3 captions beside their fields, and its routing page's Cancel.
    {"SmartMapping", "label_horizon", LANG_EN},    // "Horizontal offset" at 7 pt in 71 px
    {"SmartMapping", "label_vert", LANG_EN},       // "Vertical offset" at 7 pt in 66 px
    {"SmartMapping", "label_routeway", LANG_RU},   // 7 pt in 145 px
    {"SmartMapping", "label_step3", LANG_VI},      // the title keeps 9 pt in 220 px
    {"SmartMapping", "Button_cancel", LANG_RU},    // "Отмена" at 9 pt in 50 px
    // The routing pattern's number: "Routing %d" at 7 pt beside the 30-px picture of the 71-px
    // Step 3 button, and under the pictures of the 40-px routing buttons, which elide it.
    {"SmartMapping", "Button_route", LANG_EN},
    {"SmartMapping", "Button_route", LANG_VI},
    {"SmartMapping", "Button_route#", LANG_EN},
    {"SmartMapping", "Button_route#", LANG_VI},
    {"SmartMapping", "Button_route1#", LANG_RU},    // "Путь 10" to "Путь 16", 2 px too wide
};

// "name#": the name followed by a number (a row of numbered buttons).
bool object_matches(const QString &object, const char *known)
{
    const QString name = QLatin1String(known);
    if (!name.endsWith(QLatin1Char('#')))
        return object == name;
    const QString stem = name.chopped(1);
    bool number = false;
    if (object.startsWith(stem))
        object.mid(stem.size()).toInt(&number);
    return number;
}

// The entries of the table that matched a fault, so that one no longer needed is found.
QSet<const KnownOverflow *> g_known_used;

bool known_overflow(const char *screen, const QString &object, int language)
{
    for (const KnownOverflow &k : kKnownOverflows)
        if (qstrcmp(k.screen, screen) == 0 && object_matches(object, k.object) && (k.language < 0 || k.language == language)) {
            g_known_used.insert(&k);
            return true;
        }
    return false;
}

void capture(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg || type == QtCriticalMsg)
        g_warnings << message;
}

void set_language(int lang)
{
    g_language = static_cast<uint8_t>(lang);
    uitest::para()->RAM_PARA[Ram::kLanguage] = static_cast<uint8_t>(lang);
    uitest::para()->RAM_PARA_SHADOW[Ram::kLanguage] = static_cast<uint8_t>(lang);
}

// The room the text's ink takes: the widest line, and the lines' spacing down to the last line's
// ink (a label may be shorter than the font's line height and still show its glyphs whole).
QSize text_size(const QWidget *w, const QString &text, int flags, int width)
{
    if (Qt::mightBeRichText(text)) {
        QTextDocument doc;
        doc.setDefaultFont(w->font());
        doc.setDocumentMargin(0);
        doc.setHtml(text);
        return QSize(int(doc.idealWidth()), 0);
    }
    const QFontMetrics fm(w->font());
    const QRect box = fm.boundingRect(QRect(0, 0, width, 10000), flags, text);
    const int lines = qMax(1, box.height() / fm.lineSpacing());
    int ink = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        ink = qMax(ink, fm.tightBoundingRect(line).height());
    return QSize(box.width(), (lines - 1) * fm.lineSpacing() + ink);
}

// What is wrong with one widget's text, or nothing.
QString text_fault(QWidget *w)
{
    w->ensurePolished();
    QString text;
    QRect room = w->contentsRect();
    int flags = Qt::AlignLeft;
    bool empty_allowed = true;
    if (auto *label = qobject_cast<QLabel *>(w)) {
        if (!label->pixmap(Qt::ReturnByValue).isNull())
            return QString();
        text = label->text();
        flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
        room = room.adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
        room.adjust(label->indent() > 0 ? label->indent() : 0, 0, 0, 0);
    } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        text = button->text();
        flags = Qt::AlignCenter;
        auto *push = qobject_cast<QPushButton *>(button);
        empty_allowed = push && push->isFlat();
        if (!button->icon().isNull()) {
            // The picture takes its share of the button: beside the text, 4 px apart, or above it.
            const QSize icon = button->icon().actualSize(button->iconSize());
            auto *tool = qobject_cast<QToolButton *>(button);
            const Qt::ToolButtonStyle style = tool ? tool->toolButtonStyle() : Qt::ToolButtonTextBesideIcon;
            if (style == Qt::ToolButtonIconOnly)
                return QString();
            if (style == Qt::ToolButtonTextUnderIcon)
                room.setTop(room.top() + icon.height());
            else
                room.setWidth(room.width() - icon.width() - 4);
            empty_allowed = true;
        }
    } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        text = edit->text();
    } else if (auto *box = qobject_cast<QComboBox *>(w)) {
        text = box->currentText();
        room.adjust(0, 0, -20, 0);
    } else if (auto *line = qobject_cast<ColouredLine *>(w)) {
        text = line->text();
    } else {
        return QString();
    }
    if (text.isEmpty())
        return empty_allowed ? QString() : QStringLiteral("empty text");
    // A coloured line's runs each have their size: its width is theirs, its height a label's.
    auto *line = qobject_cast<ColouredLine *>(w);
    const QSize need = line ? QSize(line->natural_size().width(), 0) : text_size(w, text, flags, room.width());
    // A pixel row of anti-aliased ink past the edge is not a clipped glyph.
    if (need.width() > room.width() || need.height() > room.height() + 1)
        return QStringLiteral("\"%1\" needs %2x%3 in %4x%5")
            .arg(text.left(40)).arg(need.width()).arg(need.height()).arg(room.width()).arg(room.height());
    return QString();
}

// A font as the font cache tells fonts apart: a point size is the pixel size it comes to here.
QString font_key(const QFont &f)
{
    static const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    const qreal pixels = f.pixelSize() > 0 ? f.pixelSize() : f.pointSizeF() * dpi / 72;
    return QStringLiteral("%1 %2px %3%4").arg(f.family()).arg(pixels, 0, 'f', 2).arg(f.weight()).arg(f.italic() ? " italic" : "");
}

// The fonts warmed ahead of a screen's first open.
const QSet<QString> &warm_fonts()
{
    static const QSet<QString> keys = [] {
        QSet<QString> out;
        for (const QFont &f : Warmup::screen_fonts())
            out.insert(font_key(f));
        return out;
    }();
    return keys;
}

// The fonts a widget draws its text in: none when it shows none.
std::vector<QFont> text_fonts(QWidget *w)
{
    if (auto *line = qobject_cast<ColouredLine *>(w)) {
        std::vector<QFont> out;
        for (const ColouredLine::Run &run : line->runs()) {
            QFont f = w->font();
            if (run.pixel_size > 0)
                f.setPixelSize(run.pixel_size);
            out.push_back(f);
        }
        return out;
    }
    auto *label = qobject_cast<QLabel *>(w);
    auto *button = qobject_cast<QAbstractButton *>(w);
    auto *edit = qobject_cast<QLineEdit *>(w);
    auto *box = qobject_cast<QComboBox *>(w);
    const bool text = (label && label->pixmap(Qt::ReturnByValue).isNull() && !label->text().isEmpty()) ||
                      (button && !button->text().isEmpty()) || (edit && !edit->text().isEmpty()) ||
                      (box && box->count() > 0);
    return text ? std::vector<QFont>{w->font()} : std::vector<QFont>{};
}

// The characters a widget shows as text.
QString shown_text(QWidget *w)
{
    if (auto *line = qobject_cast<ColouredLine *>(w)) {
        QString out;
        for (const ColouredLine::Run &run : line->runs())
            out += run.text;
        return out;
    }
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->pixmap(Qt::ReturnByValue).isNull() ? label->text() : QString();
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        return button->text();
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    QString out;
    if (auto *box = qobject_cast<QComboBox *>(w))
        for (int i = 0; i < box->count(); ++i)
            out += box->itemText(i);
    return out;
}

// Parts of a screen that only keys bring up, walked as its opening is: the screen, the state,
// the keys to it (uitest::key_codes), and the widget that must then show.
struct LaterState
{
    const char *screen;
    const char *state;
    const char *keys;
    const char *shows;
};
const LaterState kLaterStates[] = {
    {"EDIDset", "edit frame", "o", "frame_add"},
    {"InputCut", "new crop", "roo", "frame_add"},
    {"InputCut", "crop edit", "rorro", "Button_delete"},
};

// HDMI2 with a signal and two crops, one of them with the longest numbers a field shows; every
// EDID at 1920x1080@60. What a later state's keys find to open.
void stage_inputs()
{
    uitest::set_timing(2, 1920, 1080, 60);
    const int crops[][5] = {{1, 0, 0, 960, 540}, {2, 32767, 32767, 32767, 32767}};
    for (int i = 0; i < 2; ++i) {
        uitest::wr16(Ram::crop(i), Ram::crop_word(crops[i][0], 2));
        for (int f = 0; f < 4; ++f)
            uitest::wr16(Ram::crop(i) + 2 + 2 * f, uint16_t(crops[i][1 + f]));
    }
    for (int e = 0; e < 4; ++e) {
        uitest::wr16(Ram::edid(e), 1920);
        uitest::wr16(Ram::edid(e) + 2, 1080);
        uitest::wr16(Ram::edid(e) + 4, 60);
    }
    uitest::para()->ZemCropSourceInit();
}
}

class TestWalker : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { mainfx::start(); }
    void cleanupTestCase() { uitest::close_all(); }
    // A row is a screen of the catalog as it opens (state -1) or one of its later states.
    void every_screen_in_every_language_data()
    {
        columns<int, int, int>({"language", "entry", "state"});
        m_rows = 0;
        const char *const names[5] = {"zh", "en", "ru", "vi", "tw"};
        const auto &catalog = screen_catalog();
        for (int lang = 0; lang < 5; ++lang) {
            for (int i = 0; i < int(catalog.size()); ++i, ++m_rows)
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(catalog[size_t(i)].name, names[lang]))) << lang << i << -1;
            for (int k = 0; k < int(std::size(kLaterStates)); ++k) {
                const LaterState &later = kLaterStates[k];
                const auto at = std::find_if(catalog.begin(), catalog.end(),
                                             [&later](const ScreenEntry &e) { return qstrcmp(e.name, later.screen) == 0; });
                QVERIFY2(at != catalog.end(), later.screen);
                QTest::newRow(qPrintable(QStringLiteral("%1, %2 %3").arg(later.screen, later.state, names[lang])))
                    << lang << int(at - catalog.begin()) << k;
                ++m_rows;
            }
        }
    }
    void every_screen_in_every_language()
    {
        QFETCH(int, language);
        QFETCH(int, entry);
        QFETCH(int, state);
        const ScreenEntry &e = screen_catalog()[size_t(entry)];
        set_language(language);
        uint8_t image[Ram::kSize];
        std::memcpy(image, uitest::para()->RAM_PARA, sizeof image);
        if (state >= 0)
            stage_inputs();
        g_warnings.clear();
        const int missing_before = missing_pictures().size();
        const QtMessageHandler previous = qInstallMessageHandler(capture);
        Screen *screen = e.page == PAGE_MAINWINDOW ? g_mainwindow : e.make();
        QWidget *w = screen->widget();
        screen->language_changed();
        w->show();
        if (state >= 0)
            uitest::press(w, QLatin1String(kLaterStates[state].keys));
        QCoreApplication::processEvents();
        qInstallMessageHandler(previous);

        QStringList faults;
        const QWidget *shown = state >= 0 ? w->findChild<QWidget *>(QLatin1String(kLaterStates[state].shows)) : nullptr;
        if (state >= 0 && !(shown && shown->isVisible()))
            faults << QStringLiteral("the keys did not bring up ") + QLatin1String(kLaterStates[state].shows);
        for (const QString &warning : g_warnings)
            if (warning.contains(QLatin1String("No matching signal")))
                faults << warning;
        const QSet<QString> &warm = warm_fonts();
        const QString glyphs = Warmup::sample_text();
        const auto check_texts = [&](QWidget *root) {
            for (QWidget *child : root->findChildren<QWidget *>()) {
                if (!child->isVisibleTo(w))
                    continue;
                const QString fault = text_fault(child);
                if (!fault.isEmpty() && !(fault != QLatin1String("empty text") && known_overflow(e.name, child->objectName(), language)))
                    faults << child->objectName() + QStringLiteral(": ") + fault;
                for (const QChar c : shown_text(child)) {
                    if (c.isPrint() && !glyphs.contains(c))
                        faults << child->objectName() + QStringLiteral(": a character not warmed ahead: ") + c;
                }
                for (const QFont &f : text_fonts(child)) {
                    const QString font = font_key(f);
                    if (!warm.contains(font))
                        faults << child->objectName() + QStringLiteral(": its font is not warmed ahead: ") + font;
                }
            }
        };
        check_texts(w);
        // The pages a stack does not show at first are walked too.
        for (QStackedWidget *stack : w->findChildren<QStackedWidget *>()) {
            const int shown = stack->currentIndex();
            for (int page = 0; page < stack->count(); ++page) {
                if (page == shown)
                    continue;
                stack->setCurrentIndex(page);
                check_texts(stack->widget(page));
            }
            stack->setCurrentIndex(shown);
        }
        for (const QString &path : missing_pictures().mid(missing_before))
            faults << QStringLiteral("no picture ") + path;
        if (w != g_mainwindow)
            delete w;
        uitest::flush();
        std::memcpy(uitest::para()->RAM_PARA, image, sizeof image);
        uitest::para()->ZemCropSourceInit();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        ++m_rows_passed;
    }
    // A text that fits again leaves the table, so that the table lists only what is still wrong.
    void every_known_overflow_still_seen()
    {
        if (m_rows_passed < m_rows)
            QSKIP("the walk did not run or pass whole");
        QStringList stale;
        for (const KnownOverflow &k : kKnownOverflows)
            if (!g_known_used.contains(&k))
                stale << QStringLiteral("%1 %2 %3").arg(QLatin1String(k.screen), QLatin1String(k.object)).arg(k.language);
        QVERIFY2(stale.isEmpty(), qPrintable(QStringLiteral("fits now: ") + stale.join(QStringLiteral(", "))));
    }

private:
    int m_rows = 0;
    int m_rows_passed = 0;
};

QTEST_MAIN(TestWalker)
#include "test_walker.moc"
