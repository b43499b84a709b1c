#include "warmup.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <iterator>

#include "language.h"
#include "looks.h"

namespace {

// The sizes the screens' forms, style sheets and code give their texts (the screen walker's test
// names a text in any other), and the ones the machinery draws itself: the tip's 15 px and the
// job bar's 36 px.
struct FontSize
{
    int size;
    bool pixels;          // a pixel size (style sheets, code), else a point size (the forms)
    const char *family;   // null: the application's
};
constexpr FontSize kFontSizes[] = {
    {6, false, nullptr}, {7, false, nullptr},  {8, false, nullptr},  {9, false, nullptr},
    {10, false, nullptr}, {11, false, nullptr}, {12, false, nullptr}, {13, false, nullptr},
    {11, false, "Ubuntu"}, {7, true, nullptr},  {8, true, nullptr},   {9, true, nullptr},
    {10, true, nullptr},  {12, true, nullptr},  {13, true, nullptr},  {15, true, nullptr},
    {20, true, nullptr},  {36, true, nullptr},
};

// A font's glyphs are drawn this many at a time: a step stays short even on the panel.
constexpr int kGlyphsPerItem = 12;
// A step warms until this much time has gone, at least one thing.
constexpr qint64 kStepNs = 1000000;

// The panel's size: every screen draws into a picture this big.
constexpr QSize kPanel(320, 240);

// One thing to warm: a run of a font's glyphs, a picture, or a drawing of a sample screen.
struct Item
{
    enum Kind { Glyphs, Picture, SampleScreen };
    Kind kind;
    int font;       // into the fonts, for glyphs
    QString text;   // the glyphs, or the picture's path
};

// A screen of the usual parts, drawn off the panel and thrown away. The first drawing of a
// panel-sized picture and of each kind of control in its style sheet pays for what a first open
// would otherwise pay, the memory for that picture among it; the second leaves that memory where
// the next screen finds it, as a later open does.
void draw_sample_screen()
{
    QDialog screen;
    screen.resize(kPanel);
    screen.setStyleSheet(look_style(Look::DialogText, LookState::Normal));
    auto *label = new QLabel(QStringLiteral("ABC 123"), &screen);
    label->setGeometry(10, 10, 120, 20);
    set_look(label, Look::Text);
    auto *button = new QPushButton(QStringLiteral("ABC 123"), &screen);
    button->setGeometry(10, 40, 120, 30);
    set_look(button, Look::Menu, LookState::Focus);
    auto *field = new QLineEdit(QStringLiteral("123"), &screen);
    field->setGeometry(10, 80, 120, 20);
    set_look(field, Look::Thin);
    auto *box = new QComboBox(&screen);
    box->addItem(QStringLiteral("ABC 123"));
    box->setGeometry(10, 110, 120, 20);
    set_look(box, Look::Combo);
    screen.grab();
}

class Warmer : public QObject
{
public:
    // The list is made on the first step, after the first frame.
    void make_list()
    {
        if (m_listed)
            return;
        m_listed = true;
        m_fonts = Warmup::screen_fonts();
        const QString sample = Warmup::sample_text();
        // The first run of every font before the rest of any: matching a font costs more than
        // its glyphs, and a screen's first open needs its fonts first.
        for (int from = 0; from < sample.size(); from += kGlyphsPerItem)
            for (int f = 0; f < int(m_fonts.size()); ++f)
                m_items.push_back({Item::Glyphs, f, sample.mid(from, kGlyphsPerItem)});
        for (const QString &path : Warmup::language_pictures())
            m_items.push_back({Item::Picture, -1, path});
        m_items.push_back({Item::SampleScreen, -1, QString()});
        m_items.push_back({Item::SampleScreen, -1, QString()});
    }

    bool step()
    {
        make_list();
        QElapsedTimer clock;
        clock.start();
        do {
            if (m_next >= m_items.size())
                return false;
            warm(m_items[m_next++]);
        } while (clock.nsecsElapsed() < kStepNs);
        return m_next < m_items.size();
    }

    int pending()
    {
        make_list();
        return int(m_items.size() - m_next);
    }

    void watch(QWidget *home)
    {
        m_home = home;
        home->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_home && event->type() == QEvent::Paint) {
            m_home->removeEventFilter(this);
            // The paint ends the first frame. A zero interval runs a step whenever the event loop
            // has gone through what waited, the ticks and the keys first.
            auto *timer = new QTimer(this);
            timer->setInterval(0);
            connect(timer, &QTimer::timeout, this, [this, timer] {
                if (!step())
                    timer->deleteLater();
            });
            timer->start();
        }
        return false;
    }

private:
    void warm(const Item &item)
    {
        if (item.kind == Item::Picture) {
            png(item.text);
            return;
        }
        if (item.kind == Item::SampleScreen) {
            draw_sample_screen();
            return;
        }
        // Drawing matches the font and rasterises the glyphs into the cache the screens draw
        // from; the picture drawn on is thrown away.
        const QFont &font = m_fonts[size_t(item.font)];
        QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&scratch);
        p.setFont(font);
        if (auto hook = Warmup::drawn_hook.load())
            hook(p.font(), item.text);
        p.drawText(0, QFontMetrics(font).ascent(), item.text);
    }

    std::vector<QFont> m_fonts;
    std::vector<Item> m_items;
    size_t m_next = 0;
    bool m_listed = false;
    QPointer<QWidget> m_home;
};

Warmer *warmer()
{
    static Warmer *w = new Warmer;
    return w;
}

}

std::atomic<void (*)(const QFont &, const QString &)> Warmup::drawn_hook{nullptr};

std::vector<QFont> Warmup::screen_fonts()
{
    std::vector<QFont> out;
    for (const FontSize &s : kFontSizes) {
        QFont f = QApplication::font();
        if (s.family)
            f.setFamily(QLatin1String(s.family));
        if (s.pixels)
            f.setPixelSize(s.size);
        else
            f.setPointSize(s.size);
        out.push_back(f);
    }
    return out;
}

// Beyond ASCII, the characters the screens' texts show in each language: a glyph drawn for the
// first time is rasterised then, and a Chinese screen shows dozens of them. The walker test fails
// on a text with a character missing here.
namespace {
const char kHansGlyphs[] =
        "…一上下不中串为主义亮从他以件位体作使保信候偏停像入全关其冷出击分切列删到刷前加"
        "动勿化升卡厂参发取变口可号名启和回固图在地址垂型备复多大子存它定宽对局屏工已布带"
        "平应度开式当快态恢息截户扫投拔择拼持换据捷接掩描操收效数文断新方无时显晶智暖更最"
        "有未果查检模横止正步比水没波测消液淡温源点然特状率用电画界白盘直码确示称移稍竖箱"
        "类红级线络绿缝网置老能自色英蓝行言认讯设试询语请读调质走载输返连送选通部量钟锁锐"
        "镜长闭除面音饱骤高黑默，";
const char kRussianGlyphs[] =
        "АБВГДЖЗИКМНОПРСТУФХЧШЭЯабвгдежзийклмнопр"
        "стуфхцчшщыьэюяё";
const char kVietnameseGlyphs[] =
        "ÂàáâãéêìíòóôùúýăĐđơưẠạẢảấầẫậắặẻếềểệỉịọỏố"
        "ồổộớờởợụủứừửữự…";
// Shown whatever the language: the language names, each in its own script, and
// the ageing state the device words in Chinese only.
const char kEveryLanguageGlyphs[] = "\u4e2d\u6587\u0420\u0443\u0441\u0441\u043a\u0438\u0439\u1ebf\u1ec7\u7e41\u9ad4\u6b63\u5728\u8001\u5316";
const char kHantGlyphs[] =
        "…一上下不中串主亮他以件佈位作使保信候偏停備像入全其冷出分切列删到刷前加動勿化升"
        "卡參取口可名和啟回固圖在地址垂型多大子存它定寬對局屏工已帶平度廠式從快恢息態應截"
        "戶投拔拼持捷掃接掩描換擇擊操據收效數文新斷方昇時晶智暖更最有未果查模橫檢止正步比"
        "水沒波消液淡測源溫無然爲特狀率用界畫當白盤直確碼示移稍稱箱紅級綠網線縫置義老能自"
        "色藍號行複言訊設詢試認語調請讀變豎質走路載輸返送通連選部量銳鎖鏡鐘長閉開關除電音"
        "類顯飽驟體高髮麵黑默點，";
}

QString Warmup::sample_text()
{
    // The glyphs every language shares (figures, Latin letters, the signs of values and units),
    // then a word of the language's own script, which has the fonts pick their fallback for it.
    QString text;
    for (char c = ' '; c <= '~'; ++c)
        text += QLatin1Char(c);
    return text + QString::fromUtf8(kEveryLanguageGlyphs) +
           tr5(kHansGlyphs, "", kRussianGlyphs, kVietnameseGlyphs, kHantGlyphs);
}

QStringList Warmup::language_pictures()
{
    // A picture drawn for each language is named with the language's prefix but for Chinese's,
    // which has none: a language's own picture stands in for the unprefixed one of that name.
    static const char *const kPrefixes[] = {"en_", "ru_", "vn_", "tn_"};
    const QString own = lang_png(QString()).mid(QStringLiteral(":/png/").size());
    QStringList names;
    QDirIterator it(QStringLiteral(":/png"), QDir::Files);
    while (it.hasNext()) {
        it.next();
        names << it.fileName();
    }
    QStringList out;
    for (const QString &name : qAsConst(names)) {
        const auto prefixed = [&name](const char *p) { return name.startsWith(QLatin1String(p)); };
        const bool ours = std::none_of(std::begin(kPrefixes), std::end(kPrefixes), prefixed)
                              ? own.isEmpty() || !names.contains(own + name)
                              : name.startsWith(own) && !own.isEmpty();
        if (ours)
            out << QStringLiteral(":/png/") + name;
    }
    out.sort();
    return out;
}

void Warmup::after_first_paint(QWidget *home)
{
    static bool started = false;
    if (started || !home)
        return;
    started = true;
    warmer()->watch(home);
}

int Warmup::pending()
{
    return warmer()->pending();
}

bool Warmup::step()
{
    return warmer()->step();
}
