#include "numberkeyboard.h"

#include <QDebug>
#include <QIcon>
#include <QKeyEvent>
#include <QRegularExpressionValidator>


NumberKeyboard *g_numberkeyboard = nullptr;

// The digits typed since the keyboard was last filled.
QString l_str;

namespace {
// What the buffer reads as a decimal number is only ever compared with zero; deciding that on the
// text keeps a long run of digits from reading as 0 (an int would overflow).
bool reads_as_zero(const QString &buffer)
{
    if (buffer.isEmpty())
        return true;
    bool nonzero = false;
    for (const QChar c : buffer) {
        if (!c.isDigit())
            return true;
        if (c != QLatin1Char('0'))
            nonzero = true;
    }
    return !nonzero;
}

// The buffer may begin with what a backspace left of the start text (an access code's stars): the
// limit is on the digits the user typed after it.
int typed_digits(const QString &buffer)
{
    int n = 0;
    for (const QChar c : buffer)
        n += c.isDigit() ? 1 : 0;
    return n;
}
}

NumberKeyboard::NumberKeyboard(QWidget *parent) : QDialog(parent)
{
    ui.setupUi(this);
    ui.lineEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[*0-9]+$")), ui.lineEdit));
    ui.ButtonX->setIcon(cached_icon(QStringLiteral(":/png/delete.png")));
    ui.ButtonX->setIconSize(QSize(20, 20));
    menulist_init();
    language_changed();
}

NumberKeyboard *NumberKeyboard::create_shared()
{
    if (!g_numberkeyboard) {
        g_numberkeyboard = new NumberKeyboard;
        g_numberkeyboard->setWindowFlags(Qt::FramelessWindowHint);
    }
    return g_numberkeyboard;
}

void NumberKeyboard::menulist_init()
{
    QPushButton *const keys[] = {ui.Button1, ui.Button2, ui.Button3, ui.Button4, ui.Button5,
                                 ui.Button6, ui.Button7, ui.Button8, ui.Button9, ui.Button0,
                                 ui.ButtonC, ui.ButtonX, ui.Button_close};
    m_focus.clear();
    for (QPushButton *key : keys)
        m_focus.add(key, Look::KeyWhite);
    m_focus.add(ui.Button_ok, Look::KeyBlue);
    // Index 0, but nothing highlighted until the first left or right key.
    m_focus.set_index(0);
    m_focus.unfocus_current();
}

void NumberKeyboard::language_changed()
{
    ui.Button_close->setText(tr5("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
    ui.Button_ok->setText(tr5("确定", "OK", "OK", "Đồng ý", "確定"));
}

void NumberKeyboard::label_show(const QString &title, const QString &text)
{
    ui.label->setText(title);
    l_str.clear();
    ui.lineEdit->setText(text);
    language_changed();
}

QString NumberKeyboard::typed() const
{
    return l_str;
}

QString NumberKeyboard::shown() const
{
    return ui.lineEdit->text();
}

void NumberKeyboard::press_digit(int digit)
{
    if (digit == 0 && reads_as_zero(l_str)) {
        ui.lineEdit->setText(QStringLiteral("0"));
        l_str.clear();
        return;
    }
    if (typed_digits(l_str) < kMaxDigits)
        l_str.append(QChar(QLatin1Char(static_cast<char>('0' + digit))));
    ui.lineEdit->setText(l_str);
    qDebug().noquote() << QStringLiteral("l_str = %1").arg(l_str);
}

void NumberKeyboard::on_ButtonC_clicked()
{
    ui.lineEdit->setText(QStringLiteral("0"));
    l_str.clear();
}

void NumberKeyboard::on_ButtonX_clicked()
{
    QString text = ui.lineEdit->text();
    if (!text.isEmpty())
        text.chop(1);
    ui.lineEdit->setText(text);
    l_str = text;
}

NumberKeyboard::Request NumberKeyboard::take_request()
{
    Request request = std::move(m_request);
    m_request = Request{};
    return request;
}

void NumberKeyboard::ask(QObject *owner, const QString &title, const QString &start, Confirm confirm,
                         std::function<void()> cancel)
{
    m_request = Request{owner, std::move(confirm), std::move(cancel)};
    label_show(title, start);
    run_modal(this);
}

void NumberKeyboard::on_Button_ok_clicked()
{
    const QString text = ui.lineEdit->text();
    // Taken first: what the confirm does may ask the keyboard again.
    const Request request = take_request();
    emit sendKeyBoardUIDataToLineEdit(text);
    hide();
    if (request.owner && request.confirm)
        request.confirm(text);
}

void NumberKeyboard::on_Button_close_clicked()
{
    const Request request = take_request();
    hide();
    if (request.owner && request.cancel)
        request.cancel();
}

void NumberKeyboard::keyPressEvent(QKeyEvent *event)
{
    const PanelKey key = panel_key(event->key());
    if (key == PanelKey::Ok)
        qDebug().noquote() << "this is OK button(NumberKeyboard)[Press]\n";
    else if (key == PanelKey::Back)
        qDebug().noquote() << "this is back button(NumberKeyboard)[Press]\n";
}

void NumberKeyboard::keyReleaseEvent(QKeyEvent *event)
{
    const QString select = QStringLiteral("0x") + QString::number(m_focus.index(), 16);
    switch (panel_key(event->key())) {
    case PanelKey::Right:
        qDebug().noquote() << QStringLiteral("this is right-code [NumberKeyboard][Release] ui_select=") + select;
        m_focus.move(+1);
        break;
    case PanelKey::Left:
        qDebug().noquote() << QStringLiteral("this is left-code [NumberKeyboard][Release] ui_select=") + select;
        m_focus.move(-1);
        break;
    case PanelKey::Back:
        qDebug().noquote() << "this is back button(NumberKeyboard)[Release]\n";
        on_Button_close_clicked();
        break;
    case PanelKey::Ok:
        qDebug().noquote() << "this is OK button(NumberKeyboard)[Release]\n";
        // The digit keys answer only here (1..9 at 0..8, 0 at 9); the other four act as a touch.
        if (m_focus.index() <= 9)
            press_digit((m_focus.index() + 1) % 10);
        else
            m_focus.click_current();
        break;
    default:
        break;
    }
}

void NumberKeyboard::showEvent(QShowEvent *event)
{
    // As it shows, a dialog hands the widget it last had in focus (kept while hidden, even from an
    // activation that came after the keyboard had closed) a tab-reason focus-in, on which a line
    // edit selects its whole text. Forgotten here, the focus comes from the activation alone, as
    // at the first opening: the cursor after the start text, nothing selected.
    if (!ui.lineEdit->hasFocus())
        ui.lineEdit->clearFocus();
    QDialog::showEvent(event);
}

void reset_number_keyboard()
{
    l_str.clear();
    if (g_numberkeyboard) {
        g_numberkeyboard->hide();
        g_numberkeyboard->take_request();
    }
}
