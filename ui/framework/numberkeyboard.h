#pragma once
#include <QDialog>
#include <QPointer>
#include <functional>

#include "screen.h"
#include "ui_numberkeyboard.h"

// The one numeric keyboard (g_numberkeyboard), run modally over the right half of the LCD. Whoever
// opens it asks once (ask): the confirmed text goes to that request only, and only while the one
// who asked still exists; cancel ends the request without a text.
class NumberKeyboard : public QDialog
{
    Q_OBJECT
public:
    // The user types at most this many digits: every field's value fits an int.
    static constexpr int kMaxDigits = 9;

    explicit NumberKeyboard(QWidget *parent = nullptr);

    using Confirm = std::function<void(const QString &text)>;
    // Fills the keyboard (title, start text), runs it modally and hands the confirmed text to
    // `confirm`, the cancel to `cancel`, while `owner` exists. A later ask replaces an open one.
    void ask(QObject *owner, const QString &title, const QString &start, Confirm confirm,
             std::function<void()> cancel = {});

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
    void showEvent(QShowEvent *event) override;

private:
    friend void reset_number_keyboard();
    void press_digit(int digit);
    struct Request
    {
        QPointer<QObject> owner;
        Confirm confirm;
        std::function<void()> cancel;
    };
    Request take_request();

    Ui::NumberKeyboard ui;
    FocusList m_focus;   // its index is the keyboard's ui_select
    Request m_request;
};

extern NumberKeyboard *g_numberkeyboard;

// Hidden, empty, without a request (a test's fresh start).
void reset_number_keyboard();
