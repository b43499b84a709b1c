#include "ledset.h"

#include <algorithm>
#include <limits>

#include "chip_request.h"
#include "fields.h"
#include "fpga_view.h"
#include "ram_layout.h"
#include "zemrampara.h"

ledset *g_ledset = nullptr;

namespace {

enum Row { kWidthRow, kHeightRow, kApplyRow, kCancelRow };

// A width typed, and any entry above the maximum, keeps the other side within this area; beside
// an entry above the maximum the other side gives way to kGiveWay.
constexpr int64_t kAreaLimit = 0x3C0000;
constexpr int kGiveWay = 480;
// A height typed within the limits keeps the width under a larger area than a width typed keeps
// the height under: the two paths have always differed, and stored sizes were made with them.
constexpr int64_t kHeightTypedAreaLimit = 13000000;

// A text as the number it shows: a run of digits too long for an int is larger than any limit,
// anything that is no number is 0.
int read_number(const QString &text)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok)
        return v;
    const QString t = text.trimmed();
    const bool digits = !t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    return digits ? std::numeric_limits<int>::max() : 0;
}

// What a field applies: its number, at most the maximum (a size from elsewhere may be larger than
// 16 bits hold, and must not wrap to a small one).
int field_size(const QString &text)
{
    return std::min(read_number(text), int(ledset::kMaxSize));
}

}

ledset::ledset() : ScreenOf(PAGE_LEDSET)
{
    ui.setupUi(this);
    ui.label_warning->setPixmap(png(QStringLiteral(":/png/warning.png")));
    const auto accept = [this](My_lineEdit *field) {
        return [this, field](const QString &text) { confirmString(field, text); };
    };
    // Each field owns its keyboard road (touch or OK).
    new NumberField(ui.lineEdit_ledw, [] { return tr5("宽", "W", "W", "W", "寬"); },
                    accept(ui.lineEdit_ledw));
    new NumberField(ui.lineEdit_ledh, [] { return tr5("高", "H", "H", "H", "高"); },
                    accept(ui.lineEdit_ledh));
    para_init();
    menulist_init();
    language_changed();
}

void ledset::para_init()
{
    const ZemRamPara *para = Screen::para();
    if (!para)
        return;
    ui.lineEdit_ledw->setText(QString::number(para->rd16(Ram::kLedWidth)));
    ui.lineEdit_ledh->setText(QString::number(para->rd16(Ram::kLedHeight)));
}

void ledset::menulist_init()
{
    m_focus.set({ui.lineEdit_ledw, ui.lineEdit_ledh, ui.Button_apply, ui.Button_cancle}, Look::Thin);
    // Apply and Cancel answer the keys only: a touch on them does nothing.
    m_focus.set_action(kApplyRow, [this] { apply_size(); });
    m_focus.set_action(kCancelRow, [this] { back(); });
}

void ledset::language_changed()
{
    ui.label_ledset->setText(tr5("LED设置", "LED Setting", "Настройка LED", "Cài đặt LED", "LED設置"));
    ui.label_note_led_w->setText(
        tr5("设置LED屏宽高", "Set LED W&H", "Разрешение LED шир и выс", "Cài đặt thông số led", "設置LED屏寬高"));
    ui.label_ledw->setText(tr5("宽", "W", "Ширина", "Rộng", "寬"));
    ui.label_ledh->setText(tr5("高", "H", "Высота", "Cao", "高"));
    const QString tip = tr5("可设LED屏最大点数:%d(宽),%d(高)", "LED max:%d(w),%d(h)", "Ширина:%d(px)Высота:%d(px)",
                            "Điểm ảnh lớn nhất:%d(ngang),%d(dọc)", "可設LED屏最大點數:%d(寬),%d(高)");
    ui.label_tip->setText(QString::asprintf(tip.toUtf8().constData(), kMaxSize, kMaxSize));
    ui.Button_apply->setText(tr5("应用", "Apply", "OK", "Đồng ý", "應用"));
    ui.Button_cancle->setText(tr5("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
}

void ledset::syncUpdate(int)
{
    const ZemRamPara *para = Screen::para();
    // Taken before the language check, which may change the image.
    const bool size_changed = para && (para->differs16(Ram::kLedWidth) || para->differs16(Ram::kLedHeight));
    sync_language();
    // A new size in the image replaces the fields, applied or not.
    if (size_changed)
        para_init();
}

void ledset::confirmString(My_lineEdit *field, const QString &text)
{
    const bool width = field == ui.lineEdit_ledw;
    My_lineEdit *other = width ? ui.lineEdit_ledh : ui.lineEdit_ledw;
    const int v = read_number(text);
    const int64_t o = field_size(other->text());
    if (v > kMaxSize) {
        field->setText(QString::number(kMaxSize));
        if (o * kMaxSize > kAreaLimit)
            other->setText(QString::number(kGiveWay));
    } else if (v >= kMinSize) {
        field->setText(text);
        const int64_t limit = width ? kAreaLimit : kHeightTypedAreaLimit;
        if (o * v > limit)
            other->setText(QString::number(limit / v));
    } else {
        field->setText(QString::number(kMinSize));
    }
}

void ledset::apply_size()
{
    ZemRamPara *para = Screen::para();
    if (!para)
        return;
    const uint16_t w = static_cast<uint16_t>(field_size(ui.lineEdit_ledw->text()));
    const uint16_t h = static_cast<uint16_t>(field_size(ui.lineEdit_ledh->text()));

    ChipWrite chip;
    check_mark_once_saved({});
    for (int off : {Ram::kLedWidth, Ram::kOut1W, Ram::kOut2W})
        para->wr16(off, w);
    for (int off : {Ram::kLedHeight, Ram::kOut1H, Ram::kOut2H})
        para->wr16(off, h);
    for (int off : {Ram::kSpliceMode, Ram::kOut1Y, Ram::kOut1X, Ram::kOut2Y, Ram::kOut2X})
        para->wr16(off, 0);
    if (w == para->shadow16(Ram::kLedWidth) && h == para->shadow16(Ram::kLedHeight))
        return;

    const int window0 = Ram::layer(0);
    para->wr16(window0 + Ram::kLayerW, w);
    para->wr16(window0 + Ram::kLayerH, h);
    for (int k = 1; k < Ram::kWindows; ++k)
        para->wr16(Ram::layer(k) + Ram::kLayerEnable, 0);
    para->wr16(window0 + Ram::kLayerX, 0);
    para->wr16(window0 + Ram::kLayerY, 0);
    if (FpgaView::running())
        chip.request_led_setup();
    // The check mark says the size is saved.
    check_mark_once_saved([w, h](const ZemRamPara &saved) {
        return saved.shadow16(Ram::kLedWidth) == w && saved.shadow16(Ram::kLedHeight) == h;
    });
}

