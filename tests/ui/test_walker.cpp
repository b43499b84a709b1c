// Every screen of the catalog in the five languages: no text left empty, no text wider or taller
// than its label, no picture that resolves to nothing, no slot named for a signal that does not
// exist.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTextDocument>

#include "catalog.h"
#include "mainfixture.h"

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
};

bool known_overflow(const char *screen, const QString &object, int language)
{
    for (const KnownOverflow &k : kKnownOverflows)
        if (qstrcmp(k.screen, screen) == 0 && object == QLatin1String(k.object) && (k.language < 0 || k.language == language))
            return true;
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
        if (!button->icon().isNull())
            return QString();
        text = button->text();
        flags = Qt::AlignCenter;
        auto *push = qobject_cast<QPushButton *>(button);
        empty_allowed = push && push->isFlat();
    } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        text = edit->text();
    } else if (auto *box = qobject_cast<QComboBox *>(w)) {
        text = box->currentText();
        room.adjust(0, 0, -20, 0);
    } else {
        return QString();
    }
    if (text.isEmpty())
        return empty_allowed ? QString() : QStringLiteral("empty text");
    const QSize need = text_size(w, text, flags, room.width());
    // A pixel row of anti-aliased ink past the edge is not a clipped glyph.
    if (need.width() > room.width() || need.height() > room.height() + 1)
        return QStringLiteral("\"%1\" needs %2x%3 in %4x%5")
            .arg(text.left(40)).arg(need.width()).arg(need.height()).arg(room.width()).arg(room.height());
    return QString();
}

}

class TestWalker : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { mainfx::start(); }
    void cleanupTestCase() { uitest::close_all(); }
    void every_screen_in_every_language_data()
    {
        columns<int, int>({"language", "entry"});
        const char *const names[5] = {"zh", "en", "ru", "vi", "tw"};
        for (int lang = 0; lang < 5; ++lang)
            for (int i = 0; i < int(screen_catalog().size()); ++i)
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(screen_catalog()[size_t(i)].name, names[lang])))
                    << lang << i;
    }
    void every_screen_in_every_language()
    {
        QFETCH(int, language);
        QFETCH(int, entry);
        const ScreenEntry &e = screen_catalog()[size_t(entry)];
        set_language(language);
        g_warnings.clear();
        const int missing_before = missing_pictures().size();
        const QtMessageHandler previous = qInstallMessageHandler(capture);
        Screen *screen = e.page == PAGE_MAINWINDOW ? g_mainwindow : e.make();
        QWidget *w = screen->widget();
        screen->language_changed();
        w->show();
        QCoreApplication::processEvents();
        qInstallMessageHandler(previous);

        QStringList faults;
        for (const QString &warning : g_warnings)
            if (warning.contains(QLatin1String("No matching signal")))
                faults << warning;
        const auto check_texts = [&](QWidget *root) {
            for (QWidget *child : root->findChildren<QWidget *>()) {
                if (!child->isVisibleTo(w))
                    continue;
                const QString fault = text_fault(child);
                if (!fault.isEmpty() && !(fault != QLatin1String("empty text") && known_overflow(e.name, child->objectName(), language)))
                    faults << child->objectName() + QStringLiteral(": ") + fault;
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
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestWalker)
#include "test_walker.moc"
