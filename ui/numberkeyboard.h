#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QPointer>

#include "screen.h"

namespace Ui {
class NumberKeyboard;
}

// The one numeric keyboard (g_numberkeyboard), run modally over the right half of the LCD. It
// hands the confirmed text to the field in g_lineedit through sendKeyBoardUIDataToLineEdit.
class NumberKeyboard : public QDialog
{
    Q_OBJECT
public:
    // The typed number never grows past this many characters: every field's value fits an int.
    static constexpr int kMaxDigits = 9;

    explicit NumberKeyboard(QWidget *parent = nullptr);
    ~NumberKeyboard() override;

    void label_show(const QString &title, const QString &text);
    void language_changed();
    void menulist_init();

    // g_numberkeyboard, created frameless on first use; main and the test fixtures call it.
    static NumberKeyboard *create_shared();

    int focus_index() const { return m_focus.index(); }
    QString typed() const;          // the digit buffer
    QString shown() const;          // the line edit

signals:
    void sendKeyBoardUIDataToLineEdit(QString data);

public slots:
    void on_ButtonC_clicked();
    void on_ButtonX_clicked();
    void on_Button_ok_clicked();
    void on_Button_close_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void press_digit(int digit);

    Ui::NumberKeyboard *ui;
    FocusList m_focus;   // its index is the keyboard's ui_select
    const QString m_white = QStringLiteral("background-color: rgb(255, 255, 255);border:1px ;");
    const QString m_white_focus = QStringLiteral("background-color: rgb(255, 255, 255);border:1px solid rgb(255,171,84);");
    const QString m_blue = QStringLiteral("background-color: rgb(71, 119, 255);border:1px ;");
    const QString m_blue_focus = QStringLiteral("background-color: rgb(71, 119, 255);border:1px solid rgb(255,171,84);");
};

extern NumberKeyboard *g_numberkeyboard;
// The field the keyboard's next result is for; cleared by Qt when the field's screen goes.
extern QPointer<QLineEdit> g_lineedit;

// A screen's show_numberkeyboard_ui in one call: `field` becomes g_lineedit, the keyboard gets the
// title and the field's text and runs modally.
void open_number_keyboard(QLineEdit *field, const QString &title);
// For a screen's confirmString: g_lineedit when it is one of `screen`'s fields, else null. Every
// open screen hears the keyboard's signal; only the one that asked may take the text.
QLineEdit *number_keyboard_field(const QWidget *screen);
