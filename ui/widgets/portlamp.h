#pragma once
#include <QWidget>

class QLabel;

// One output network port: its number over the lamp that shows its link.
class PortLamp : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 16;
    static constexpr int kHeight = 28;

    PortLamp(int port, bool online, QWidget *parent);
    void set_online(bool online);

private:
    QLabel *m_lamp;
};
